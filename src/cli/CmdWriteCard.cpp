#include "Cli.h"
#include "CliPrompts.h"

#include "app/CardFiles.h"
#include "app/ConfigCheck.h"

#include <memory>

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
    prompts.nextPath(*out);
    TerminalView view;

    auto session = std::make_unique<PanelSession>();
    session->CurrentConfigPath = cnf;
    const ZoneNames zones = ReadZoneNames(IniStore(cnf));
    switch (WriteConfigCard(*session, zones, prompts, view)) {
    case CardWriteOutcome::Written:
        say(std::filesystem::absolute(*out).string());
        if (session->DeviceSeries == Series::I)
            say((std::filesystem::absolute(*out).parent_path() / kCardArchiveFile).string());
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
