#include "Cli.h"

#include "document/ConfigHistory.h"

#include <cstdio>

namespace kvort::cli {

namespace {

std::string imageText(const KeptImage& img) {
    std::string s =
        img.direction == ImageDirection::Written ? "образ, записанный " : "образ, считанный ";
    if (img.direction == ImageDirection::Written)
        s += img.medium == ImageMedium::Card ? "на SD-карту" : "в прибор";
    else
        s += img.medium == ImageMedium::Card ? "с SD-карты" : "из прибора";
    s += img.series == ImageSeries::FH  ? ", серия F/H"
         : img.series == ImageSeries::I ? ", серия I"
                                        : ", серия не определена";
    return s;
}

} // namespace

// history NAME.cnf: the entries of the configuration's history, oldest first.
int cmdHistory(const std::vector<std::string>& words) {
    Args args(words, {}, {});
    ConfigFileSet set(std::filesystem::path(args.single("файл конфигурации NAME.cnf")));
    std::vector<HistoryEntry> entries = listHistory(set);
    if (entries.empty())
        throw HistoryError("У конфигурации " + set.cnf().string() + " нет истории (нет записей в " +
                           historyFolder(set).string() + ")");
    say("История конфигурации " + set.cnf().string() + ": " + historyFolder(set).string());
    say("записей: " + std::to_string(entries.size()) + " (хранятся последние " +
        std::to_string(kHistoryKeep) + ")");
    for (const HistoryEntry& e : entries) {
        say("");
        say(e.name + "  " + e.time + "  " + reasonText(e.reason));
        size_t width = 0;
        for (const HistoryFile& f : e.files)
            width = std::max(width, f.name.size());
        for (const HistoryFile& f : e.files) {
            std::string line = "    " + f.name + std::string(width - f.name.size(), ' ');
            std::string size = SizeText(f.size);
            line += std::string(size.size() < 10 ? 10 - size.size() : 0, ' ') + size + " байт";
            if (e.image && e.image->file == f.name)
                line += "  (" + imageText(*e.image) + ")";
            say(line);
        }
    }
    return 0;
}

} // namespace kvort::cli
