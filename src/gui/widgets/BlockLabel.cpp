#include "gui/widgets/BlockLabel.h"

#include <QMouseEvent>

namespace kvort::gui {

BlockLabel::BlockLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void BlockLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    emit doubleClicked();
}

} // namespace kvort::gui
