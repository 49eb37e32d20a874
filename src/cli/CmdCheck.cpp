#include "Cli.h"
#include "CliPrompts.h"

#include "app/ConfigCheck.h"
#include "app/Workflows.h"
#include "document/ConfigFileSet.h"

namespace kvort::cli {

int cmdCheck(const std::vector<std::string>& words) {
    Args args(words, {"--series"}, {"--skip-check", "--continue"});
    const std::filesystem::path cnf = existingConfig(args.single("файл конфигурации NAME.cnf"));
    ConfigSession session;
    session.attach(cnf);
    session.panel().DeviceSeries = SeriesFromCode(parseSeries(args.value("--series")));

    CliPrompts prompts;
    prompts.answer(CheckStartQuestion(),
                   args.flag("--skip-check") ? MsgResult::No : MsgResult::Yes);
    prompts.answer(CheckContinueQuestion(),
                   args.flag("--continue") ? MsgResult::Yes : MsgResult::No);
    TerminalView view;
    NullGate gate;
    NullReadObserver reads;
    Workflows workflows(session, {prompts, view, gate, reads});
    const CheckResult result = workflows.check();
    say(ConfigFileSet(cnf).report().string());
    return static_cast<int>(result); // the exit code is the check's number
}

} // namespace kvort::cli
