#include "Cli.h"

#include "app/ConfigCompare.h"
#include "text/Cp1251.h"
#include "text/Error.h"

namespace kvort::cli {

namespace {
constexpr int kSame = 0;
constexpr int kDifferent = 1;
constexpr int kTrouble = 2; // like diff(1): a missing file or a bad image
} // namespace

// diff A B [--series fh|i]: A and B each a configuration NAME.cnf or an image.
int cmdDiff(const std::vector<std::string>& words) {
    Args args(words, {"--series"}, {});
    if (args.positional().size() != 2)
        throw UsageError{"нужно два файла: конфигурации NAME.cnf или образы прибора"};
    Series series = Series::Unknown;
    if (auto word = args.value("--series")) {
        if (*word != "fh" && *word != "i")
            throw UsageError{"нужно --series fh или --series i"};
        series = *word == "i" ? Series::I : Series::FH;
    }
    Comparison c;
    try {
        c = CompareSources(SourceFromPath(args.positional()[0]),
                           SourceFromPath(args.positional()[1]), series);
    } catch (const Error& e) {
        sayError(std::string("ОШИБКА: ") + e.what());
        return kTrouble;
    }
    for (const std::string& line : FormatComparison(c))
        say(text::toUtf8(line));
    return c.same() ? kSame : kDifferent;
}

} // namespace kvort::cli
