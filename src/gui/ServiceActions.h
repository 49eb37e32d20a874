#pragma once
// The actions that look at the open configuration without replacing it as
// a transfer does: JSON export, printing, the archive texts, the history,
// help and the About box.
#include "app/ConfigSession.h"
#include "app/Ports.h"
#include "app/UserPrompts.h"

#include <QObject>

#include <filesystem>
#include <functional>

class QAction;
class QWidget;

namespace kvort::gui {

class Actions;

class ServiceActions : public QObject {
    Q_OBJECT
  public:
    // saveShown: hands what the window shows to the session and saves it
    // (before a restore keeps the current set).
    ServiceActions(ConfigSession& session, UserPrompts& prompts, ProgressSink& progress,
                   const Actions& actions, std::function<void()> saveShown, QWidget* window);

    // "История конфигурации...": available while a configuration is open.
    QAction* history() const { return m_history; }
    void showHistory();

    // Where the help page is looked for.
    static std::filesystem::path helpPath();

  private:
    bool guarded(const std::function<void()>& body);

    ConfigSession& m_session;
    UserPrompts& m_prompts;
    ProgressSink& m_progress;
    std::function<void()> m_saveShown;
    QWidget* m_window;
    QAction* m_history;
};

} // namespace kvort::gui
