#include "Cli.h"
#include "CliPrompts.h"

#include "app/Workflows.h"
#include "archives/EventArchives.h"
#include "document/ConfigFileSet.h"

namespace kvort::cli {

int cmdReadCard(const std::vector<std::string>& words) {
    Args args(words, {"-o"}, {});
    const std::filesystem::path card = args.single("файл карты CARD.BIN");
    const auto out = args.value("-o");
    if (!out)
        throw UsageError{"не указана конфигурация для сохранения: -o NAME.cnf"};

    CliPrompts prompts;
    prompts.nextPath(card);
    prompts.answer(ReadSaveQuestion(), MsgResult::Yes);
    prompts.nextPath(outputConfig(*out, "-o"));
    TerminalView view;

    ConfigSession session;
    NullGate gate;
    NullReadObserver reads;
    Workflows workflows(session, {prompts, view, gate, reads}, Workflows::SavedRead::LeaveOnDisk);
    const auto cnf = workflows.readCard();
    if (!cnf)
        return 1;
    say(cnf->string());
    const std::filesystem::path name = ChangeFileExt(*cnf, "");
    for (ArchiveKind kind : {ArchiveKind::Faults, ArchiveKind::Fires, ArchiveKind::Events}) {
        std::error_code ec;
        const auto file = ArchiveFile(kind, name);
        if (std::filesystem::exists(file, ec))
            say(file.string());
    }
    return 0;
}

} // namespace kvort::cli
