#pragma once
// Completing a configuration written by an older tool, the same way for
// every front end: the window when it opens a file, the command line before
// it checks, encodes, exports or writes one.
#include "document/ConfigHistory.h"
#include "document/IniStore.h"

#include <string>
#include <vector>

namespace kvort {

struct Completion {
    // One line per key the completion wrote: "[СОСТАВ] 0=ПУ-П(8)" (CP1251).
    std::vector<std::string> changes;
    // NAME.cnf as it was before; empty name when nothing changed.
    HistoryEntry kept;
};

// Finishes a replacement of the set that a killed process left half-done,
// then completes NAME.cnf as opening does ([СОСТАВ] from [ПРИБОРЫ] in a
// file that has none, [ПРИБОРЫ] from [СОСТАВ] likewise). When anything
// changes, NAME.cnf as it was is kept in the history first (reason
// "complete"). Throws FileError (then NAME.cnf is as it was).
Completion CompleteConfiguration(IniStore& cnf);

// The lines a report shows for a completion (CP1251); none when nothing
// changed.
std::vector<std::string> CompletionReport(const Completion& completion);

} // namespace kvort
