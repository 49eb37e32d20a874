#pragma once
#include <QObject>

class QWidget;

namespace kvort::gui {

// Discards every typed character on the lists it is installed on (and on
// their drop-down views), so a list changes only by choosing an item with
// the mouse or the arrow keys. Navigation keys pass.
class ListKeyFilter : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    // Installs the filter on every QComboBox below root.
    void installOn(QWidget* root);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace kvort::gui
