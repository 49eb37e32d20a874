#include "Cli.h"
#include "PanelCli.h"

#include "app/ConfigCheck.h"
#include "app/Workflows.h"

#include <QCoreApplication>

namespace kvort::cli {

int cmdWritePanel(const std::vector<std::string>& words) {
    Args args(words, {"--ports"}, {"--skip-check", "--continue"});
    const std::filesystem::path cnf = existingConfig(args.single("файл конфигурации NAME.cnf"));

    int argc = 1;
    char name[] = "kvortcfg";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv); // the port's events arrive through its loop

    TransferView view;
    TransferPrompts prompts(view);
    prompts.answer(CheckStartQuestion(),
                   args.flag("--skip-check") ? MsgResult::No : MsgResult::Yes);
    prompts.answer(CheckContinueQuestion(),
                   args.flag("--continue") ? MsgResult::Yes : MsgResult::No);

    ConfigSession session;
    session.attach(cnf);
    NullGate gate;
    NullReadObserver reads;
    Workflows workflows(session, {prompts, view, gate, reads});
    const PortMap ports = chosenPorts(args.value("--ports"));
    setUpPanelPort(workflows.port(), ports);
    workflows.usePortMap(ports);
    workflows.link().setTimings(linkTimings());
    const TransferOutcome outcome = workflows.writePanel();
    workflows.port().setOpen(false);
    if (outcome == TransferOutcome::NotFound)
        hintUnusablePorts(ports);
    if (outcome == TransferOutcome::Stopped)
        sayError("запись остановлена проверкой конфигурации");
    return outcome == TransferOutcome::Completed ? 0 : 1;
}

} // namespace kvort::cli
