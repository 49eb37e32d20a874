#include "Cli.h"
#include "PanelCli.h"

#include "app/ConfigCheck.h"
#include "app/PanelTransfer.h"
#include "app/Session.h"
#include "document/IniStore.h"
#include "image/Encoder.h"

#include <QCoreApplication>

#include <memory>

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

    auto session = std::make_unique<PanelSession>();
    session->CurrentConfigPath = cnf;
    const ZoneNames zones = ReadZoneNames(IniStore(cnf));
    int blockSize = 64;
    TCommPort port;
    const PortMap ports = chosenPorts(args.value("--ports"));
    setUpPanelPort(port, ports);
    PanelLink link(port, session->image.data(), blockSize, session->linkSeries);
    link.setTimings(linkTimings());

    WriteSteps steps;
    steps.buildImage = [&] {
        ViewProgress progress(view);
        BuildPanelImage(session->image, session->CurrentConfigPath, zones, &progress);
    };
    steps.check = [&] {
        session->DeviceSeries = SeriesFromCode(session->linkSeries);
        return static_cast<int>(CheckConfiguration(*session, prompts, view));
    };
    const TransferOutcome outcome = WriteConfig(link, port, prompts, view, steps);
    port.setOpen(false);
    if (outcome == TransferOutcome::NotFound)
        hintUnusablePorts(ports);
    if (outcome == TransferOutcome::Stopped)
        sayError("запись остановлена проверкой конфигурации");
    return outcome == TransferOutcome::Completed ? 0 : 1;
}

} // namespace kvort::cli
