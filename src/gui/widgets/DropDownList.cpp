#include "gui/widgets/DropDownList.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QWheelEvent>

namespace kvort::gui {

DropDownList::DropDownList(QWidget* parent) : QComboBox(parent) {
    // A slot list writes the composition the moment it changes, and
    // choosing "НЕТ" deletes the slots after it. A wheel turned while the
    // pointer merely passes over a list must not do that: only a list the
    // person has clicked or tabbed into takes the wheel.
    setFocusPolicy(Qt::StrongFocus);
}

void DropDownList::setText(const QString& text) {
    int index = findText(text, Qt::MatchExactly);
    m_freeText = index < 0 ? text : QString();
    setCurrentIndex(index);
    update();
}

QString DropDownList::text() const {
    return currentIndex() >= 0 ? currentText() : m_freeText;
}

void DropDownList::mousePressEvent(QMouseEvent* event) {
    // A click drops the list down at once. The second click of a
    // double-click then lands on the open list, over the list's own face:
    // it is taken as the double-click (the comment), not as a choice.
    if (event->button() == Qt::LeftButton)
        m_openedByClick.start();
    QComboBox::mousePressEvent(event);
}

void DropDownList::showPopup() {
    QComboBox::showPopup();
    if (!m_popupWatched && view()) {
        view()->viewport()->installEventFilter(this);
        view()->window()->installEventFilter(this);
        m_popupWatched = true;
    }
}

bool DropDownList::isSecondClick(const QPointF& globalPos) const {
    return m_openedByClick.isValid() &&
           m_openedByClick.elapsed() < QApplication::doubleClickInterval() &&
           rect().contains(mapFromGlobal(globalPos).toPoint());
}

void DropDownList::takeDoubleClick() {
    m_openedByClick.invalidate();
    hidePopup();
    emit doubleClicked();
}

bool DropDownList::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && isSecondClick(mouse->globalPosition())) {
            takeDoubleClick();
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void DropDownList::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    if (currentIndex() < 0)
        opt.currentText = m_freeText;
    // The style marks focus only after a key has moved it; a list that has
    // the focus shows it however it got it, so the person sees which list
    // the arrow keys (and the wheel) will change.
    if (hasFocus())
        opt.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
    painter.drawComplexControl(QStyle::CC_ComboBox, opt);
    painter.drawControl(QStyle::CE_ComboBoxLabel, opt);
}

void DropDownList::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    takeDoubleClick();
}

void DropDownList::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        event->ignore(); // the panel behind it scrolls instead
        return;
    }
    QComboBox::wheelEvent(event);
}

} // namespace kvort::gui
