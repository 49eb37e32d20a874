#pragma once
// The main window: it hosts the menus, the tool bar, the status bar and the
// pages, and runs each action's body through the action boundary. The
// configuration is the session's; the transfers are the workflows'; what
// each tab shows is its page's.
#include "app/ConfigSession.h"
#include "app/Ports.h"
#include "app/Workflows.h"
#include "gui/Actions.h"

#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

class QTabWidget;

namespace kvort::gui {

class AlarmPage;
class CompareActions;
class ConfigPage;
class DirectionsPage;
class ListKeyFilter;
class ScenarioPage;
class ServiceActions;
class StatusPanels;
class TransferActions;

class MainWindow : public QMainWindow,
                   public ActionGate,
                   public ReadObserver,
                   private SessionObserver {
    Q_OBJECT
  public:
    explicit MainWindow(UserPrompts& prompts, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Sizes the window to the screen and shows it maximized.
    void showOnScreen();
    // Opens a configuration as the open dialog would (the program's argument).
    void FileOpen1Accept(const std::filesystem::path& chosen);

    ConfigSession& session() { return m_session; }
    Workflows& workflows() { return *m_workflows; }
    const Actions& actions() const { return *m_actions; }
    TransferActions& transfers() { return *m_transfers; }

    // ---- ActionGate, ReadObserver ---------------------------------------------
    void enter(WorkflowStage stage) override;
    void configurationRead(const std::filesystem::path& cnf) override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void createMenus();
    void createToolBar();
    void createPages();
    void connectActions();
    void enter(WindowState state);
    void configurationChanged(SessionChange change) override;
    void selectFirstPage();
    void tabChanged(int index);
    bool guarded(const std::function<void()>& body);

    void NewConfigExecute();
    void FileOpen1Execute(); // the open prompt, the dialog, the opening
    bool FileOpen1BeforeExecute();
    bool SaveConfigExecute();
    bool NotSaveConfigExecute();
    void flushPages();
    void showSource();
    // F4 onto an existing configuration: whether the person lets it be
    // replaced (the old set goes into its history).
    bool mayReplace(const std::filesystem::path& chosen);

    UserPrompts& m_prompts;
    ConfigSession m_session;
    StatusPanels* m_status;
    std::unique_ptr<Workflows> m_workflows;
    Actions* m_actions = nullptr;
    ListKeyFilter* m_keyFilter = nullptr;
    CompareActions* m_compare = nullptr;
    TransferActions* m_transfers = nullptr;
    ServiceActions* m_service = nullptr;

    QTabWidget* m_tabs = nullptr;
    AlarmPage* m_alarm = nullptr;
    ScenarioPage* m_scenarios = nullptr;
    DirectionsPage* m_directions = nullptr;
    std::vector<ConfigPage*> m_pages;
    bool m_showingRead = false;
};

} // namespace kvort::gui
