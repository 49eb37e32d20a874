#include "Completion.h"

#include "document/Config.h"
#include "document/ConfigFileSet.h"
#include "document/SetCommit.h"
#include "text/Literals.h"

namespace kvort {

using namespace text::literals;

namespace {

using Values = std::vector<std::pair<std::string, std::string>>;

struct Snapshot {
    Values composition, devices;
    explicit Snapshot(const IniStore& cnf)
        : composition(cnf.ReadSectionValues(SectionComposition())),
          devices(cnf.ReadSectionValues(SectionDevices())) {}
};

void addChanges(std::vector<std::string>& out, std::string_view section, const Values& before,
                const Values& after) {
    for (const auto& [key, value] : after) {
        bool same = false;
        for (const auto& [k, v] : before)
            same |= k == key && v == value;
        if (!same)
            out.push_back("[" + std::string(section) + "] " + key + "=" + value);
    }
}

} // namespace

Completion CompleteConfiguration(IniStore& cnf) {
    const ConfigFileSet set(cnf.path());
    finishInterruptedCommit(set);

    // Completed on a copy first, so that the file is kept in the history
    // only when the completion changes it.
    persistPendingWrites(cnf.path());
    IniStore trial(IniStore::Detached{}, cnf.text());
    const Snapshot before(trial);
    CompleteOnOpening(trial);
    const Snapshot after(trial);

    Completion c;
    addChanges(c.changes, SectionComposition(), before.composition, after.composition);
    addChanges(c.changes, SectionDevices(), before.devices, after.devices);
    if (c.changes.empty())
        return c;
    c.kept = keepInHistory(set, reason::kComplete, {set.cnf()});
    CompleteOnOpening(cnf);
    return c;
}

std::vector<std::string> CompletionReport(const Completion& completion) {
    std::vector<std::string> lines;
    if (completion.changes.empty())
        return lines;
    lines.push_back(std::string("ДОПОЛНЕНО ПРИ ОТКРЫТИИ (ФАЙЛ СТАРОГО ФОРМАТА):"_cp));
    for (const std::string& c : completion.changes)
        lines.push_back("  " + c);
    return lines;
}

} // namespace kvort
