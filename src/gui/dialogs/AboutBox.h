#pragma once
#include <QDialog>

namespace kvort::gui {

// "О программе": fixed size, only a close button, centred over its parent.
class AboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit AboutBox(QWidget* parent);
};

} // namespace kvort::gui
