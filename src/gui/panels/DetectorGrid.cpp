#include "gui/panels/DetectorGrid.h"

#include "gui/GuiText.h"
#include "text/Literals.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace kvort::gui {

using namespace text::literals;

DetectorGrid::DetectorGrid(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("detectorPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* title = new QLabel(QStringLiteral("ТЕКСТ"), this);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    m_grid = new QTableWidget(0, 5, this);
    m_grid->setObjectName(QStringLiteral("detectorGrid"));
    m_grid->setHorizontalHeaderLabels({qs(" АДРЕС"_cp), qs("      ТИП"_cp), qs("     ЗОНА"_cp),
                                       qs("               СООБЩЕНИЕ"_cp), qs(" СОСТ."_cp)});
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(20);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_grid->setColumnWidth(0, 64);
    m_grid->setColumnWidth(1, 112);
    m_grid->setColumnWidth(2, 136);
    m_grid->setColumnWidth(4, 52);
    // Tab leaves the grid; the arrows walk it.
    m_grid->setTabKeyNavigation(false);
    m_grid->installEventFilter(this);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { activate(row); });
    layout->addWidget(m_grid, 1);
}

void DetectorGrid::fill(int rowCount, const std::vector<Row>& rows) {
    m_grid->setUpdatesEnabled(false);
    m_grid->clearContents();
    m_grid->setRowCount(rowCount);
    for (const Row& r : rows)
        for (int c = 0; c < 5; ++c)
            m_grid->setItem(r.row, c, new QTableWidgetItem(r.cells[c]));
    m_grid->setUpdatesEnabled(true);
}

void DetectorGrid::setRow(const Row& r) {
    for (int c = 0; c < 5; ++c) {
        if (QTableWidgetItem* item = m_grid->item(r.row, c))
            item->setText(r.cells[c]);
        else
            m_grid->setItem(r.row, c, new QTableWidgetItem(r.cells[c]));
    }
}

void DetectorGrid::activate(int row) {
    QTableWidgetItem* address = row >= 0 ? m_grid->item(row, 0) : nullptr;
    if (address && !address->text().isEmpty())
        emit detectorActivated(address->text());
}

void DetectorGrid::fitMessageColumn() {
    // FormCanResize: the message column absorbs all horizontal growth.
    int width = this->width();
    for (int c : {0, 1, 2, 4})
        width -= m_grid->columnWidth(c);
    m_grid->setColumnWidth(3, std::max(40, width - 40));
}

void DetectorGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitMessageColumn();
}

bool DetectorGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            activate(m_grid->currentRow());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kvort::gui
