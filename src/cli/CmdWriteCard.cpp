#include "Cli.h"
#include "CliPrompts.h"

#include "app/ConfigCheck.h"
#include "app/ReadCompletion.h"
#include "app/Workflows.h"

namespace kvort::cli {

int cmdWriteCard(const std::vector<std::string>& words) {
    Args args(words, {"--series", "-o"}, {"--skip-check", "--continue"});
    const std::filesystem::path cnf = existingConfig(args.single("файл конфигурации NAME.cnf"));
    const auto out = args.value("-o");
    if (!out)
        throw UsageError{"не указан файл карты: -o CARD.BIN"};

    CliPrompts prompts;
    prompts.setSeries(parseSeries(args.value("--series")));
    prompts.answer(CheckStartQuestion(),
                   args.flag("--skip-check") ? MsgResult::No : MsgResult::Yes);
    prompts.answer(CheckContinueQuestion(),
                   args.flag("--continue") ? MsgResult::Yes : MsgResult::No);
    // Made absolute now: the dialog's change of folder comes before the
    // names are printed.
    const std::filesystem::path card = std::filesystem::absolute(outputFile(*out, "-o"));
    prompts.nextPath(card);
    TerminalView view;

    ConfigSession session;
    session.attach(cnf);
    NullGate gate;
    NullReadObserver reads;
    Workflows workflows(session, {prompts, view, gate, reads});
    switch (workflows.writeCard()) {
    case CardWriteOutcome::Written:
        say(card.string());
        if (session.panel().DeviceSeries == Series::I)
            say((card.parent_path() / kCardArchiveFile).string());
        return 0;
    case CardWriteOutcome::Stopped:
        sayError("запись остановлена проверкой конфигурации");
        return 2;
    case CardWriteOutcome::Cancelled:
        break;
    }
    sayError("запись отменена");
    return 1;
}

} // namespace kvort::cli
