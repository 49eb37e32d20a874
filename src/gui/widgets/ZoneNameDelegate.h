#pragma once
// The editor of a zone name in the zone grid: at most 12 characters, upper
// case, Ї І і ї typed as "I" and "№" dropped, typed and pasted text alike.
// Every key typed is reported (it marks the configuration modified), and
// Enter is told apart from merely leaving the cell: only Enter writes the
// name into the file at once.
#include <QStyledItemDelegate>

namespace kvort::gui {

class ZoneNameDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

  signals:
    // A key changed the name being edited (row of the grid, text so far).
    void typed(int row, const QString& text);
    // The name of this row was committed with Enter.
    void entered(int row);

  protected:
    bool eventFilter(QObject* editor, QEvent* event) override;
};

} // namespace kvort::gui
