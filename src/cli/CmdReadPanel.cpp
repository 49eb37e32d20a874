#include "Cli.h"
#include "PanelCli.h"

#include "app/ReadCompletion.h"
#include "app/Workflows.h"
#include "archives/EventArchives.h"
#include "document/ConfigFileSet.h"

#include <QCoreApplication>

namespace kvort::cli {

int cmdReadPanel(const std::vector<std::string>& words) {
    Args args(words, {"-o", "--ports"}, {});
    if (!args.positional().empty())
        throw UsageError{"лишний параметр: " + args.positional().front()};
    const auto out = args.value("-o");
    if (!out)
        throw UsageError{"не указана конфигурация для сохранения: -o NAME.cnf"};

    int argc = 1;
    char name[] = "kvortcfg";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv); // the port's events arrive through its loop

    TransferView view;
    TransferPrompts prompts(view);
    prompts.answer(ReadSaveQuestion(), MsgResult::Yes);
    prompts.nextPath(outputConfig(*out, "-o"));

    ConfigSession session;
    NullGate gate;
    std::optional<std::filesystem::path> cnf;
    struct : ReadObserver {
        std::optional<std::filesystem::path>* cnf = nullptr;
        void configurationRead(const std::filesystem::path& path) override { *cnf = path; }
    } reads;
    reads.cnf = &cnf;
    Workflows workflows(session, {prompts, view, gate, reads}, Workflows::SavedRead::LeaveOnDisk);
    const PortMap ports = chosenPorts(args.value("--ports"));
    setUpPanelPort(workflows.port(), ports);
    workflows.usePortMap(ports);
    workflows.link().setTimings(linkTimings());
    const TransferOutcome outcome = workflows.readPanel();
    workflows.port().setOpen(false);
    if (outcome == TransferOutcome::NotFound)
        hintUnusablePorts(ports);
    if (outcome != TransferOutcome::Completed || !cnf)
        return 1;
    say(cnf->string());
    const std::filesystem::path base = ChangeFileExt(*cnf, "");
    for (ArchiveKind kind : {ArchiveKind::Faults, ArchiveKind::Fires, ArchiveKind::Events}) {
        std::error_code ec;
        const auto file = ArchiveFile(kind, base);
        if (std::filesystem::exists(file, ec))
            say(file.string());
    }
    return 0;
}

} // namespace kvort::cli
