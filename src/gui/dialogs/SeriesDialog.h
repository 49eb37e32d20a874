#pragma once
// "Выберите серию прибора": the panel series a card file is meant for.
#include <QDialog>

class QButtonGroup;

namespace kvort::gui {

class SeriesDialog : public QDialog {
    Q_OBJECT
  public:
    explicit SeriesDialog(QWidget* parent);
    // 0 = F/H, 1 = I, -1 = none selected.
    int series() const;

    // A fresh dialog for every use; whatever is selected when it closes (by
    // any means) is the answer, and ОТМЕНИТЬ clears the selection first.
    static int choose(QWidget* parent);

  private:
    QButtonGroup* m_choices;
};

} // namespace kvort::gui
