#include "Cli.h"

#include "document/ConfigHistory.h"

namespace kvort::cli {

// restore NAME.cnf ENTRY: the entry's configuration back in place, the
// current one kept in the history first.
int cmdRestore(const std::vector<std::string>& words) {
    Args args(words, {}, {});
    const auto& pos = args.positional();
    if (pos.size() < 2)
        throw UsageError{pos.empty()
                             ? "не указан файл конфигурации NAME.cnf"
                             : "не указана запись истории (её имя выводит kvortcfg history)"};
    if (pos.size() > 2)
        throw UsageError{"лишний параметр: " + pos[2]};
    ConfigFileSet set{std::filesystem::path(pos[0])};
    HistoryEntry kept = restoreHistory(set, pos[1]);
    say("конфигурация " + set.cnf().string() + " восстановлена из записи истории " + pos[1]);
    if (!kept.name.empty())
        say("прежняя конфигурация сохранена в истории: " + kept.folder.string());
    return 0;
}

} // namespace kvort::cli
