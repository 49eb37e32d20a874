#include "gui/StatusPanels.h"

#include "gui/GuiText.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>

namespace kvort::gui {

StatusPanels::StatusPanels(QMainWindow* window) : QObject(window) {
    QStatusBar* bar = window->statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    bar->setSizeGripEnabled(true);
    m_source = new QLabel(bar);
    m_source->setObjectName(QStringLiteral("sourcePanel"));
    m_source->setFixedWidth(300);
    m_source->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_activity = new QLabel(bar);
    m_activity->setObjectName(QStringLiteral("statusPanel"));
    m_activity->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addWidget(m_source);
    bar->addWidget(m_activity, 1);
}

StatusPanels::~StatusPanels() {
    setBusy(false);
}

void StatusPanels::addProgressBar(QToolBar* bar) {
    auto* stretch = new QWidget(bar);
    stretch->setObjectName(QStringLiteral("progressHolder"));
    stretch->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* holderLayout = new QHBoxLayout(stretch);
    holderLayout->setContentsMargins(8, 0, 8, 0);
    m_progress = new QProgressBar(stretch);
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_progress->hide();
    holderLayout->addWidget(m_progress);
    bar->addWidget(stretch);
}

void StatusPanels::setSource(const QString& text) {
    m_source->setText(text);
}

QString StatusPanels::source() const {
    return m_source->text();
}

void StatusPanels::setStatus(std::string_view text) {
    m_activity->setText(qs(text));
}

void StatusPanels::setProgress(int position, int max) {
    m_progress->setMaximum(max);
    m_progress->setValue(position);
    m_progress->setVisible(max > 0);
}

void StatusPanels::setBusy(bool busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void StatusPanels::processEvents() {
    QCoreApplication::processEvents();
}

void StatusPanels::playNotify() {
    QApplication::beep();
}

} // namespace kvort::gui
