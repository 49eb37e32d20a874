#include "Cli.h"
#include "PanelCli.h"

#include "app/PanelTransfer.h"
#include "app/PanelVerify.h"
#include "app/Session.h"
#include "text/Cp1251.h"
#include "text/Error.h"

#include <QCoreApplication>

#include <memory>

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
    auto session = std::make_unique<PanelSession>();
    int blockSize = 64;
    TCommPort port;
    const PortMap ports = chosenPorts(args.value("--ports"));
    setUpPanelPort(port, ports);
    PanelLink link(port, session->image.data(), blockSize, session->DeviceSeries);
    link.setTimings(linkTimings());

    bool read = false;
    ReadSteps steps;
    steps.complete = [&] { read = true; };
    const TransferOutcome outcome = ReadConfigPU(link, port, prompts, view, steps);
    port.setOpen(false);
    view.breakLine();
    if (outcome == TransferOutcome::NotFound)
        hintUnusablePorts(ports);
    if (outcome != TransferOutcome::Completed || !read)
        return kTrouble;

    PanelVerification v;
    try {
        v = VerifyPanelImage(session->image, cnf);
    } catch (const Error& e) {
        sayError(std::string("ОШИБКА: ") + e.what());
        return kTrouble;
    }
    for (const std::string& line : FormatVerification(v))
        say(text::toUtf8(line));
    return v.same() ? kHolds : kDiffers;
}

} // namespace kvort::cli
