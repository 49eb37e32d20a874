#pragma once
// The window's seventeen actions, named as the system names them (object
// names "writeConfigAction" ...), and the one table of which configuration
// actions each moment of the window enables.
#include "app/Ports.h"

#include <QObject>

#include <array>

class QAction;
class QWidget;

namespace kvort::gui {

enum class ActionId {
    FileOpen1,
    NewConfig,
    ReadConfigPU,
    WriteConfig,
    ReadConfigCard,
    WriteConfigCard,
    FileJSON,
    FileExit1,
    PrintConfig,
    ReadArhiveAlarm,
    ReadArhiveFault,
    ReadArhiveEvent,
    HelpConfig,
    AboutConfig,
    ReadConfig,
    SaveConfig,
    NotSaveConfig,
};
inline constexpr int kActionCount = 17;

// The moments that change what may be done. Each row of the table says, for
// every configuration action, enabled, disabled or left as it was, and what
// becomes of the tab area.
enum class WindowState {
    Start,           ///< no configuration yet
    NewAsking,       ///< the new-configuration dialog is open
    NewCancelled,    ///< ... and was cancelled, or the file could not be made
    NewCreated,      ///< a new configuration is shown
    Opened,          ///< an existing configuration is shown
    TransferRunning, ///< a write holds the port and the image
    TransferEnded,   ///< ... and has ended, however
    ReadRunning,     ///< a read replaces the configuration
    ReadNotSaved,    ///< the image came but was not kept
    ReadFailed,      ///< no image came
    ReadShown,       ///< a saved read is shown
};

enum class TabArea { Keep, Show, Hide, Enable, Disable };

// The moment of the window a workflow's stage is.
WindowState windowStateOf(WorkflowStage stage);

class Actions : public QObject {
    Q_OBJECT
  public:
    // Creates the actions as children of the window, their shortcuts active
    // with the menus closed.
    explicit Actions(QWidget* window);

    QAction* get(ActionId id) const { return m_actions[static_cast<int>(id)]; }
    QAction* operator[](ActionId id) const { return get(id); }

    // Sets the enabled states of the row and returns what the tab area does.
    TabArea enter(WindowState state);
    WindowState state() const { return m_state; }

  private:
    std::array<QAction*, kActionCount> m_actions{};
    WindowState m_state = WindowState::Start;
};

} // namespace kvort::gui
