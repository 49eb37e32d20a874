#include "EditorViews.h"

#include "ConfigFileSet.h"
#include "Detectors.h"
#include "Messages.h"

#include "text/Cp1251.h"
#include "text/Error.h"
#include "text/Literals.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace kvort {

using namespace text::literals;

namespace {

constexpr int kPiuAddresses = 48;
constexpr int kPiuRows = 59;
constexpr int kBritLines = 4;
constexpr int kRowsPerLine = 64; // 60 addresses and four blank rows

} // namespace

DetectorGridLayout LayOutDetectorGrid(std::string_view kind) {
    DetectorGridLayout layout;
    if (kind == "ПИУ"_cp) {
        layout.rowCount = kPiuRows;
        for (int a = 1; a <= kPiuAddresses; ++a)
            layout.rows.push_back({a - 1, 1, a});
    } else if (kind == "БРИТ"_cp || kind == "БДУ(4)"_cp) {
        layout.rowCount = kBritLines;
        for (int line = 1; line <= kBritLines; ++line)
            layout.rows.push_back({line - 1, line, 1});
    } else {
        layout.rowCount = 8 * kRowsPerLine;
        for (int line = 1; line <= 8; ++line)
            for (int a = 1; a <= kAddressesPerLine; ++a)
                layout.rows.push_back({(line - 1) * kRowsPerLine + a - 1, line, a});
    }
    return layout;
}

fs::path EnsureDetectorFile(const fs::path& anyMember, int slot) {
    fs::path tb = ConfigFileSet(anyMember).tb(slot);
    std::error_code ec;
    if (!fs::exists(tb, ec))
        writeFile(tb, "");
    return tb;
}

void FindRelayBlocksInUse(const IniStore& cnf, BlocksInUse& found) {
    found = {};
    for (int s = 1; s <= kScenarioCount; ++s) {
        const std::string section = ScenarioSection(s);
        for (int k = 1; k <= kStepCount; ++k) {
            const std::string step = cnf.ReadString(section, StepKey(k), "");
            if (step.compare(0, 4, "БРВУ"_cp) != 0)
                continue;
            const char digit = step.size() > 4 ? step[4] : '\0';
            if (digit < '0' || digit > '9')
                throw ConvertError(msg::notAnInteger(text::toUtf8(step.substr(4, 1)),
                                                     cnf.path().string() + ", [" +
                                                         text::toUtf8(section) + "] " +
                                                         text::toUtf8(StepKey(k))));
            const int block = digit - '0';
            if (block >= 1 && block <= 8)
                found[block - 1] = true;
        }
    }
}

BlocksInUse ExtinguishingBlocksInUse(const IniStore& cnf) {
    BlocksInUse used{};
    for (int d = 1; d <= kDirectionCount; ++d)
        used[d - 1] = cnf.SectionExists(DirectionSection(d));
    return used;
}

DirectionChoices ReadDirectionChoices(const IniStore& cnf) {
    DirectionChoices choices;
    for (int d = 1; d <= kDirectionCount; ++d)
        choices[d - 1] =
            DirectionChoice::fromDirection(ReadDirection(cnf, d, BritKeyOrder::Bdu4First));
    return choices;
}

} // namespace kvort
