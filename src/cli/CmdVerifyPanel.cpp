#include "Cli.h"
#include "PanelCli.h"

#include "app/PanelVerify.h"
#include "app/Workflows.h"
#include "text/Cp1251.h"
#include "text/Error.h"

#include <QCoreApplication>

namespace kvort::cli {

namespace {
constexpr int kHolds = 0;
constexpr int kDiffers = 1;
constexpr int kTrouble = 2; // a transfer that failed, with its message
} // namespace

// verify-panel NAME.cnf [--ports LIST]: reads the panel as read-panel does,
// saves nothing over the configuration, and says whether the panel holds it.
int cmdVerifyPanel(const std::vector<std::string>& words) {
    Args args(words, {"--ports"}, {});
    const std::filesystem::path cnf = existingConfig(args.single("файл конфигурации NAME.cnf"));

    int argc = 1;
    char name[] = "kvortcfg";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv); // the port's events arrive through its loop

    TransferView view;
    TransferPrompts prompts(view);
    ConfigSession session;
    // The image read is kept in this configuration's history.
    session.panel().CurrentConfigPath = cnf;
    NullGate gate;
    struct : ReadObserver {
        void configurationRead(const std::filesystem::path&) override {}
    } reads;
    Workflows workflows(session, {prompts, view, gate, reads}, Workflows::SavedRead::LeaveOnDisk);
    const PortMap ports = chosenPorts(args.value("--ports"));
    setUpPanelPort(workflows.port(), ports);
    workflows.usePortMap(ports);
    workflows.link().setTimings(linkTimings());
    const TransferOutcome outcome = workflows.readPanelImage();
    workflows.port().setOpen(false);
    view.breakLine();
    if (outcome == TransferOutcome::NotFound)
        hintUnusablePorts(ports);
    if (outcome != TransferOutcome::Completed)
        return kTrouble;

    PanelVerification v;
    try {
        v = VerifyPanelImage(session.panel().image, cnf);
    } catch (const Error& e) {
        sayError(std::string("ОШИБКА: ") + e.what());
        return kTrouble;
    }
    for (const std::string& line : FormatVerification(v))
        say(text::toUtf8(line));
    return v.same() ? kHolds : kDiffers;
}

} // namespace kvort::cli
