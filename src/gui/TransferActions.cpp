#include "gui/TransferActions.h"

#include "document/ConfigHistory.h"
#include "gui/Actions.h"
#include "gui/CompareActions.h"
#include "gui/Guarded.h"
#include "link/PortDiagnostics.h"
#include "text/Cp1251.h"
#include "text/Literals.h"

#include <QAction>

namespace kvort::gui {

using namespace text::literals;

void showNoPanelHints(UserPrompts& prompts, const std::string& utf8Hints) {
    if (utf8Hints.empty())
        return;
    std::string text = std::string("НА ЭТОМ КОМПЬЮТЕРЕ ПОРТАМ МЕШАЕТ:"_cp) + "\n";
    text += text::fromUtf8Lossy(utf8Hints);
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    prompts.message("ВНИМАНИЕ"_cp, text, MsgIcon::Warning, MsgButtons::Ok);
}

TransferActions::TransferActions(Workflows& workflows, UserPrompts& prompts, ProgressSink& progress,
                                 const Actions& actions, CompareActions& compare, QObject* parent)
    : QObject(parent), m_workflows(workflows), m_prompts(prompts), m_progress(progress),
      m_actions(actions), m_compare(compare),
      m_hints([](const PortMap& map) { return noPanelHints(map); }) {
    auto on = [this](ActionId id, void (TransferActions::*body)()) {
        connect(m_actions.get(id), &QAction::triggered, this, [this, body] { (this->*body)(); });
    };
    on(ActionId::ReadConfigPU, &TransferActions::readPanel);
    on(ActionId::ReadConfigCard, &TransferActions::readCard);
    on(ActionId::WriteConfig, &TransferActions::writePanel);
    connect(m_actions.get(ActionId::WriteConfigCard), &QAction::triggered, this,
            [this] { guarded([&] { m_workflows.writeCard(); }); });
}

bool TransferActions::guarded(const std::function<void()>& body) {
    return gui::guarded(m_prompts, m_progress, body);
}

// Both reads run the one read procedure, which does nothing while it is
// disabled (during a transfer, or before a configuration is there again).
void TransferActions::readPanel() {
    if (!m_actions.get(ActionId::ReadConfig)->isEnabled())
        return;
    TransferOutcome outcome = TransferOutcome::Stopped;
    guarded([&] { outcome = m_workflows.readPanel(); });
    if (outcome == TransferOutcome::NotFound)
        explainNoPanel();
}

void TransferActions::readCard() {
    if (!m_actions.get(ActionId::ReadConfig)->isEnabled())
        return;
    guarded([&] { m_workflows.readCard(); });
}

void TransferActions::writePanel() {
    TransferOutcome outcome = TransferOutcome::Stopped;
    if (!guarded([&] { outcome = m_workflows.writePanel(); }))
        return;
    if (outcome == TransferOutcome::Completed)
        m_compare.offerVerify();
    else if (outcome == TransferOutcome::NotFound)
        explainNoPanel();
}

void TransferActions::explainNoPanel() {
    // The window's transfers search the ports of the environment's map.
    guarded([&] { showNoPanelHints(m_prompts, m_hints(PortMap::fromEnvironment())); });
}

} // namespace kvort::gui
