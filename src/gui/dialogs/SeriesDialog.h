#pragma once
// "Выберите серию прибора": the panel series a card file is meant for.
#include <QDialog>

class QButtonGroup;
class QPushButton;

namespace kvort::gui {

class SeriesDialog : public QDialog {
    Q_OBJECT
  public:
    explicit SeriesDialog(QWidget* parent);
    // 0 = F/H, 1 = I, -1 = none selected.
    int series() const;

    // A fresh dialog for every use; whatever is selected when it closes is
    // the answer. ОТМЕНИТЬ, and Escape with it, clear the selection first;
    // the title bar's close button keeps it.
    static int choose(QWidget* parent);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QButtonGroup* m_choices;
    QPushButton* m_cancel;
};

} // namespace kvort::gui
