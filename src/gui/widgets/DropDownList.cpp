#include "gui/widgets/DropDownList.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QTimer>
#include <QWheelEvent>

namespace kvort::gui {

DropDownList::DropDownList(QWidget* parent) : QComboBox(parent), m_clickTimer(new QTimer(this)) {
    // The first click of a double-click must not drop the list down (the
    // second would then land in the list and pick an item), so a click
    // opens the list only when no second click follows.
    m_clickTimer->setSingleShot(true);
    m_clickTimer->setInterval(QApplication::doubleClickInterval());
    connect(m_clickTimer, &QTimer::timeout, this, [this] { showPopup(); });
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

void DropDownList::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    if (currentIndex() < 0)
        opt.currentText = m_freeText;
    painter.drawComplexControl(QStyle::CC_ComboBox, opt);
    painter.drawControl(QStyle::CE_ComboBoxLabel, opt);
}

void DropDownList::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QComboBox::mousePressEvent(event);
        return;
    }
    if (!m_clickTimer->isActive())
        m_clickTimer->start();
    event->accept();
}

void DropDownList::mouseDoubleClickEvent(QMouseEvent* event) {
    m_clickTimer->stop();
    event->accept();
    emit doubleClicked();
}

void DropDownList::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        event->ignore(); // the panel behind it scrolls instead
        return;
    }
    QComboBox::wheelEvent(event);
}

} // namespace kvort::gui
