#include "Cli.h"

#include "document/Lifecycle.h"

namespace kvort::cli {

int cmdNew(const std::vector<std::string>& words) {
    Args args(words, {}, {});
    std::filesystem::path chosen = args.single("путь к новой конфигурации");
    ZoneNames zones;
    std::filesystem::path cnf = CreateNewConfig(chosen, zones);
    say(cnf.string());
    return 0;
}

} // namespace kvort::cli
