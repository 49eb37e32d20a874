#pragma once
// The main window: menus, tool bar, the three tabs, the status bar, the
// lifecycle of the open configuration and the composition panel. The work
// behind the transfer, check and export actions lives in the workflows; the
// window reaches the person through the UserPrompts port it is given, so a
// test can answer every question.
#include "app/Session.h"
#include "app/UserPrompts.h"
#include "app/WorkbenchView.h"
#include "document/IniStore.h"
#include "document/Lifecycle.h"
#include "link/CommPort.h"
#include "link/PanelLink.h"

#include <QMainWindow>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QLabel;
class QProgressBar;
class QTabWidget;
class QTableWidget;
class QToolButton;
class QWidget;

namespace kvort::gui {

class DropDownList;
class ListKeyFilter;

class KvortConfig : public QMainWindow, public WorkbenchView {
    Q_OBJECT
  public:
    explicit KvortConfig(UserPrompts& prompts, QWidget* parent = nullptr);
    ~KvortConfig() override;

    // Sizes the window to the screen and shows it maximized.
    void showOnScreen();

    // ---- the actions' bodies ---------------------------------------------
    void NewConfigExecute();
    void FileOpen1Execute(); // the open prompt, the dialog, the opening
    bool FileOpen1BeforeExecute();
    void FileOpen1Accept(const std::filesystem::path& chosen);
    // Both return false when the files could not be written (already shown).
    bool SaveConfigExecute();
    bool NotSaveConfigExecute();
    void HelpConfigExecute();
    void AboutConfigExecute();

    // ---- composition panel -------------------------------------------------
    void LoadConfigView();
    void ShowDeviceDetectors(const std::string& kind, int slot);
    void ShowRelayBlockLabels();
    void ShowExtinguishingBlockLabels();
    void showSlot(int slot);

    // ---- state the tests and the workflows read ---------------------------
    bool configModified() const { return m_configModified; }
    void setConfigModified(bool modified) { m_configModified = modified; }
    const std::filesystem::path& currentConfigPath() const { return m_session.CurrentConfigPath; }
    // The 256 zone names of the zone grid, as the encoder and saving take them.
    ZoneNames zoneNames() const;
    const DirectionChoices& directionChoices() const { return m_directions; }
    // The panel exchange, for its waits to be shortened where a simulated
    // panel answers at once.
    PanelLink& panelLink() { return *m_link; }
    // Where the help page is looked for.
    std::filesystem::path helpPath() const;

    // ---- WorkbenchView -------------------------------------------------------
    void setStatus(std::string_view text) override;
    void setProgress(int position, int max) override;
    void setBusy(bool busy) override;
    void setOperationsEnabled(bool enabled) override;
    void processEvents() override;
    void beginRead() override;
    void readNotSaved() override;
    void readFailed() override;
    void showReadConfiguration(const std::filesystem::path& cnf) override;
    void playNotify() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void createTabs();
    QWidget* createCompositionPanel();
    QWidget* createZonePanel();
    QWidget* createDetectorPanel();

    // Runs an action's body and shows whatever it throws in an error box.
    bool guarded(const std::function<void()>& body);
    void showError(const std::string& utf8Message);
    void notAvailable(std::string_view what);
    void WriteConfigExecute();
    void ReadConfigPUExecute();
    void WriteConfigCardExecute();
    void ReadConfigCardExecute();
    void FileJSONExecute();
    void openArchive(int kind);

    void selectFirstTab();
    void tabChanged(int index);
    void slotChanged(int slot);
    void editComment(const std::string& key);
    void detectorActivated(int row);
    void FormCanResize();
    void FormClose();
    void loadDirections();
    void loadScenarioList();
    void writeZoneNames();
    void setSourceLine(const QString& text);
    QString sourceLine() const;

    UserPrompts& m_prompts;
    ListKeyFilter* m_keyFilter;

    // The image, the series and the path of the open configuration.
    PanelSession m_session;
    std::unique_ptr<IniStore> m_configStore;
    bool m_configModified = false;
    // The serial port and the exchange over it; the port stays open after
    // a transfer until the next search or the end of the program.
    TCommPort m_port;
    int m_blockSize = 64;
    std::unique_ptr<PanelLink> m_link;
    // The directions as the direction editor holds them; saving writes them.
    DirectionChoices m_directions;

  public:
    // Actions, named as the system names them.
    QAction* FileOpen1 = nullptr;
    QAction* NewConfig = nullptr;
    QAction* ReadConfigPU = nullptr;
    QAction* WriteConfig = nullptr;
    QAction* ReadConfigCard = nullptr;
    QAction* WriteConfigCard = nullptr;
    QAction* FileJSON = nullptr;
    QAction* FileExit1 = nullptr;
    QAction* PrintConfig = nullptr;
    QAction* ReadArhiveAlarm = nullptr;
    QAction* ReadArhiveFault = nullptr;
    QAction* ReadArhiveEvent = nullptr;
    QAction* HelpConfig = nullptr;
    QAction* AboutConfig = nullptr;
    QAction* ReadConfig = nullptr;
    QAction* SaveConfig = nullptr;
    QAction* NotSaveConfig = nullptr;

  private:
    QProgressBar* m_progress = nullptr;
    QLabel* m_sourcePanel = nullptr;
    QLabel* m_statusPanel = nullptr;
    QTabWidget* m_tabs = nullptr;
    QWidget* m_compositionPanel = nullptr;
    QWidget* m_zonePanel = nullptr;
    QWidget* m_detectorPanel = nullptr;
    QTableWidget* m_zoneGrid = nullptr;
    QTableWidget* m_detectorGrid = nullptr;
    QTableWidget* m_directionGrid = nullptr;
    QTableWidget* m_scenarioGrid = nullptr;
    std::array<QToolButton*, 9> m_slotButtons{};
    std::array<DropDownList*, 9> m_slotLists{};
    std::array<QLabel*, 8> m_relayLabels{};
    std::array<QLabel*, 8> m_extinguishingLabels{};
    bool m_busy = false;
    bool m_readRunning = false;
    bool m_transferRunning = false;
};

} // namespace kvort::gui
