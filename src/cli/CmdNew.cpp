#include "Cli.h"

#include "document/ConfigHistory.h"
#include "document/Lifecycle.h"

namespace kvort::cli {

int cmdNew(const std::vector<std::string>& words) {
    Args args(words, {}, {});
    const std::filesystem::path chosen =
        outputConfig(args.single("путь к новой конфигурации"), "new");
    ZoneNames zones;
    HistoryEntry kept;
    std::filesystem::path cnf = CreateNewConfig(chosen, zones, &kept);
    // The path stays the first line: scripts read it.
    say(cnf.string());
    if (!kept.name.empty())
        say("прежняя конфигурация сохранена в истории: " + kept.folder.string());
    return 0;
}

} // namespace kvort::cli
