#include "Lifecycle.h"

#include "ConfigFileSet.h"
#include "ConfigHistory.h"
#include "Detectors.h"
#include "DirectionRules.h"
#include "SetCommit.h"
#include "text/Literals.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace kvort {

using namespace text::literals;

DirectionChoice::DirectionChoice() : zone(word::kNone) {}

Direction DirectionChoice::toDirection() const {
    Direction d;
    d.zone = zone;
    d.relays = relays;
    d.scenarioText = scenario;
    // The editor offers modules by slot and line; the address is always 01.
    if (!britModule.empty())
        d.brit = britModule + britLine + "/01";
    return d;
}

DirectionChoice DirectionChoice::fromDirection(const Direction& d) {
    DirectionChoice c;
    if (!d.exists)
        return c;
    c.zone = d.zone;
    c.relays = d.relays;
    c.scenario = d.scenarioText;
    c.britModule = d.brit.substr(0, std::min<std::size_t>(1, d.brit.size()));
    c.britLine = d.brit.size() > 1 ? d.brit.substr(1, 1) : std::string();
    return c;
}

namespace {

// The part both skeletons share, up to and including the header
// [ПЛАН ЗОНЫ]; then the 128 scenario headers, the directions and the
// output descriptions header.
std::string skeleton(bool forRead) {
    std::string s;
    auto line = [&](std::string_view l) {
        s += l;
        s += "\r\n";
    };
    for (std::string_view h : {"[СИСТЕМА]"_cp, "[АДРЕС ПУ-П]"_cp, "[СОСТАВ]"_cp, "[ПРИБОРЫ]"_cp,
                               "[ОБЩИЙ ПЛАН]"_cp, "[ЗОНА]"_cp}) {
        line(h);
        line("");
    }
    line("[ПЛАН ЗОНЫ]"_cp);
    if (forRead)
        line("");
    for (int n = 1; n <= kScenarioCount; ++n)
        line("[" + ScenarioSection(n) + "]");
    line("");
    for (int d = 1; d <= kDirectionCount; ++d)
        line("[" + DirectionSection(d) + "]");
    line("");
    line("[ОПИСАНИЕ ВЫХОДОВ]"_cp);
    if (!forRead) {
        line("ПУ-П /01=ПЕРЕДАЧА НА ПЦН"_cp);
        line("ПУ-П /02=ОПОВЕЩЕНИЕ"_cp);
    }
    return s;
}

} // namespace

std::string NewConfigSkeleton() {
    return skeleton(false);
}
std::string ReadSkeleton() {
    return skeleton(true);
}

fs::path CreateNewConfig(const fs::path& chosen, ZoneNames& zoneGrid, HistoryEntry* kept) {
    ConfigFileSet set(chosen);
    IniStore store(IniStore::Detached{}, NewConfigSkeleton());
    WriteSystemKeys(store);
    ApplySlotChange(store, 0, word::kKindPu);
    ZoneNames zones;
    for (int z = 1; z <= kZoneCount; ++z) {
        zones[z - 1] = DefaultZoneName(z);
        WriteZoneName(store, z, zones[z - 1]);
    }
    WritePlanPlaceholders(store);

    // A new configuration starts without detectors. Detector files left by
    // an earlier configuration of the same name would otherwise be taken
    // over silently (and encoded into the panel), and its working copies
    // would bring it back at "Нет" on closing: both go with the old
    // NAME.cnf into the history.
    NewConfigSet next;
    next.files = {{set.cnf(), store.text()}, {set.tb(0), ""}};
    next.remove = detectorFilesOutside(set, next);
    for (const fs::path& w : workingCopies(set))
        next.remove.push_back(w);
    HistoryEntry entry = commitConfigSet(set, reason::kNew, next);
    if (kept)
        *kept = std::move(entry);
    zoneGrid = zones;
    return set.cnf();
}

fs::path WriteReadSkeleton(const fs::path& anyMember) {
    fs::path cnf = ConfigFileSet(anyMember).cnf();
    writeFile(cnf, ReadSkeleton());
    return cnf;
}

void MakeWorkingCopies(const fs::path& cnf) {
    ConfigFileSet set(cnf);
    copyFile(cnf, set.workCnf());
    for (int n = 0; n < kSlotCount; ++n) {
        std::error_code ec;
        if (fs::exists(set.tb(n), ec))
            copyFile(set.tb(n), set.workTb(n));
    }
}

void SaveConfig(const fs::path& cnf, const ZoneNames& zones, const DirectionChoices& directions) {
    IniStore store(ConfigFileSet(cnf).cnf());
    IniStore::Batch batch(store);
    for (int z = 1; z <= kZoneCount; ++z)
        WriteZoneName(store, z, zones[z - 1]);
    for (int d = 1; d <= kDirectionCount; ++d)
        WriteDirectionChoice(store, d, directions[d - 1]);
    batch.commit();
}

void DiscardConfig(const fs::path& cnf) {
    ConfigFileSet set(cnf);
    std::error_code ec;
    if (!fs::exists(set.workCnf(), ec))
        return;
    copyFile(set.workCnf(), set.cnf());
    for (int n = 0; n < kSlotCount; ++n)
        if (fs::exists(set.workTb(n), ec))
            copyFile(set.workTb(n), set.tb(n));
}

} // namespace kvort
