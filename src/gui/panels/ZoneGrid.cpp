#include "gui/panels/ZoneGrid.h"

#include "gui/GuiText.h"
#include "gui/widgets/ZoneNameDelegate.h"
#include "text/Format.h"
#include "text/Literals.h"

#include <QHeaderView>
#include <QKeyEvent>
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
    // A name is edited in place by typing over it, F2 or a double-click.
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the grid instead of walking its cells.
    m_grid->setTabKeyNavigation(false);
    auto* names = new ZoneNameDelegate(m_grid);
    m_grid->setItemDelegateForColumn(1, names);
    connect(names, &ZoneNameDelegate::typed, this,
            [this](int row, const QString& text) { emit nameTyped(row + 1, text); });
    connect(names, &ZoneNameDelegate::entered, this,
            [this](int row) { emit nameEntered(row + 1); });
    m_grid->installEventFilter(this);
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

bool ZoneGrid::eventFilter(QObject* watched, QEvent* event) {
    // Enter on a name that is not being edited writes it as well.
    // (While a name is edited its editor has the keys, and the delegate
    // tells Enter.)
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_grid->currentRow() >= 0) {
            emit nameEntered(m_grid->currentRow() + 1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ZoneGrid::setNames(const ZoneNames& names) {
    const QSignalBlocker quiet(m_grid);
    for (int z = 0; z < kZoneCount; ++z)
        m_grid->item(z, 1)->setText(qs(names[z]));
}

} // namespace kvort::gui
