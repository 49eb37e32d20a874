#include "gui/widgets/BlockLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace kvort::gui {

BlockLabel::BlockLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    // Reached with Tab like every other control, so a comment can be
    // written without the mouse.
    setFocusPolicy(Qt::TabFocus);
}

void BlockLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    emit doubleClicked();
}

void BlockLabel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit doubleClicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void BlockLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.backgroundColor = palette().color(backgroundRole());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}

} // namespace kvort::gui
