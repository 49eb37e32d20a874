#pragma once
// Replacing a whole configuration set in one step: a read saved under NAME,
// a decoded image, a new configuration over an existing NAME.
//
// The new files are written beside their targets and flushed first; a kill,
// a full disk or the file-size limit up to there leaves every file of the
// set as it was. Then the files about to be replaced or removed go into one
// history entry, a journal naming every rename and removal is put beside
// the set, and the renames run. The renames are separate system calls, so a
// kill among them leaves the journal behind: the next commit or opening of
// the set finishes what it names (the new set, whole), and only then may
// anything else touch the set's temporary files.
#include "ConfigFileSet.h"
#include "ConfigHistory.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvort {

// An image to keep in the entry of the commit (what a read brought in).
struct ImageToKeep {
    std::string bytes;
    ImageDirection direction = ImageDirection::Read;
    ImageMedium medium = ImageMedium::Panel;
    ImageSeries series = ImageSeries::Unknown;
};

struct NewConfigSet {
    // Whole contents of files of the set (NAME.cnf, NAME.tbN, NAME.bin).
    std::vector<std::pair<std::filesystem::path, std::string>> files;
    // Files of the set that go (detector files of slots the new set does
    // not have, working copies); kept in the entry first.
    std::vector<std::filesystem::path> remove;
    std::optional<ImageToKeep> image;
};

// The working copies NAME.~cnf and NAME.~tbN that exist.
std::vector<std::filesystem::path> workingCopies(const ConfigFileSet& set);

// Members NAME.tb0..NAME.tb8 that exist and are not among `kept`.
std::vector<std::filesystem::path> detectorFilesOutside(const ConfigFileSet& set,
                                                        const NewConfigSet& kept);

// Commits `next` over the set. Returns the history entry that keeps what
// was replaced (empty name when nothing was). Throws FileError naming the
// file that could not be written (then no file of the set changed) or
// HistoryError.
HistoryEntry commitConfigSet(const ConfigFileSet& set, std::string_view reason,
                             const NewConfigSet& next);

// Finishes a commit of the set that a killed process left half-done, and
// removes temporaries that killed writes of the set left. Returns whether
// there was one to finish. Errors are not thrown: what cannot be finished
// stays for the next time.
bool finishInterruptedCommit(const ConfigFileSet& set);

} // namespace kvort
