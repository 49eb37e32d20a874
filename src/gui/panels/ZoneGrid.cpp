#include "gui/panels/ZoneGrid.h"

#include "gui/GuiText.h"
#include "text/Format.h"
#include "text/Literals.h"

#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kvort::gui {

using namespace text::literals;

ZoneGrid::ZoneGrid(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("zonePanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* title = new QLabel(QStringLiteral("ЗОНА"), this);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    m_grid = new QTableWidget(kZoneCount, 2, this);
    m_grid->setObjectName(QStringLiteral("zoneGrid"));
    m_grid->setHorizontalHeaderLabels({qs("  ЗОНА"_cp), qs("    ТЕКСТ"_cp)});
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int z = 1; z <= kZoneCount; ++z) {
        auto* label =
            new QTableWidgetItem(qs(text::Format("%3.3d (%2.2d)", {z, (z - 1) / 32 + 1})));
        label->setFlags(Qt::ItemIsEnabled);
        label->setBackground(palette().button());
        m_grid->setItem(z - 1, 0, label);
        m_grid->setItem(z - 1, 1, new QTableWidgetItem());
    }
    m_grid->setColumnWidth(0, 68);
    m_grid->setColumnWidth(1, 140);
    m_grid->verticalHeader()->setDefaultSectionSize(20);
    m_grid->setFixedWidth(68 + 140 + 22);
    layout->addWidget(m_grid, 1);
    connect(m_grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == 1)
            emit nameEdited(item->row() + 1, item->text());
    });
}

void ZoneGrid::setNames(const ZoneNames& names) {
    const QSignalBlocker quiet(m_grid);
    for (int z = 0; z < kZoneCount; ++z)
        m_grid->item(z, 1)->setText(qs(names[z]));
}

} // namespace kvort::gui
