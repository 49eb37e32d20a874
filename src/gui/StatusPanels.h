#pragma once
// The window's side of the progress port: panel 0 of the status bar (the
// source line), panel 1 (the activity), the progress bar in the tool bar and
// the busy cursor.
#include "app/Ports.h"

#include <QObject>

class QLabel;
class QMainWindow;
class QProgressBar;
class QToolBar;

namespace kvort::gui {

class StatusPanels : public QObject, public ProgressSink {
    Q_OBJECT
  public:
    // Fills the window's status bar.
    explicit StatusPanels(QMainWindow* window);
    ~StatusPanels() override;
    // The progress bar, filling the tool bar's space up to what follows it.
    void addProgressBar(QToolBar* bar);

    void setSource(const QString& text);
    QString source() const;

    void setStatus(std::string_view text) override;
    void setProgress(int position, int max) override;
    void setBusy(bool busy) override;
    void processEvents() override;
    void playNotify() override;

  private:
    QLabel* m_source;
    QLabel* m_activity;
    QProgressBar* m_progress = nullptr;
    bool m_busy = false;
};

} // namespace kvort::gui
