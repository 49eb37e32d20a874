#include "Cli.h"
#include "CliPrompts.h"

#include "app/ConfigCheck.h"
#include "app/Session.h"
#include "document/ConfigFileSet.h"
#include "image/Encoder.h"

#include <memory>

namespace kvort::cli {

int cmdCheck(const std::vector<std::string>& words) {
    Args args(words, {"--series"}, {"--skip-check", "--continue"});
    const std::filesystem::path cnf = existingConfig(args.single("файл конфигурации NAME.cnf"));
    auto session = std::make_unique<PanelSession>();
    session->DeviceSeries = SeriesFromCode(parseSeries(args.value("--series")));
    session->CurrentConfigPath = cnf;

    CliPrompts prompts;
    prompts.answer(CheckStartQuestion(),
                   args.flag("--skip-check") ? MsgResult::No : MsgResult::Yes);
    prompts.answer(CheckContinueQuestion(),
                   args.flag("--continue") ? MsgResult::Yes : MsgResult::No);
    TerminalView view;

    ZoneNames zones = ReadZoneNames(IniStore(cnf));
    ViewProgress progress(view);
    BuildPanelImage(session->image, cnf, zones, &progress);
    const CheckResult result = CheckConfiguration(*session, prompts, view);
    say(ConfigFileSet(cnf).report().string());
    return static_cast<int>(result); // the exit code is the check's number
}

} // namespace kvort::cli
