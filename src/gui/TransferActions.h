#pragma once
// The four transfers as the window runs them (F8, F9, Ctrl+F8, Ctrl+F9): the
// workflows do the work; here they are started, a write just made is offered
// for checking, a search that found no panel is followed by what this
// machine shows is in the way, and a saved read takes over its NAME.
#include "app/ConfigSession.h"
#include "app/Ports.h"
#include "app/Workflows.h"
#include "link/PortMap.h"

#include <QObject>

#include <functional>
#include <string>
#include <string_view>

namespace kvort::gui {

class Actions;
class CompareActions;

class TransferActions : public QObject {
    Q_OBJECT
  public:
    TransferActions(Workflows& workflows, UserPrompts& prompts, ProgressSink& progress,
                    const Actions& actions, CompareActions& compare, QObject* parent);

    // After a search that found no panel.
    void explainNoPanel();

    // Where the reasons for a missing panel come from (the live system;
    // tests give a fake one). Returns UTF-8 lines, "" when nothing is known.
    using PortHints = std::function<std::string(const PortMap&)>;
    void setPortHints(PortHints hints) { m_hints = std::move(hints); }

  private:
    void readPanel();
    void readCard();
    void writePanel();
    bool guarded(const std::function<void()>& body);

    Workflows& m_workflows;
    UserPrompts& m_prompts;
    ProgressSink& m_progress;
    const Actions& m_actions;
    CompareActions& m_compare;
    PortHints m_hints;
};

// The box that follows "no panel found" when this machine shows why:
// caption "ВНИМАНИЕ", warning icon, the hints under a line of our own.
// Nothing is shown for empty hints.
void showNoPanelHints(UserPrompts& prompts, const std::string& utf8Hints);

} // namespace kvort::gui
