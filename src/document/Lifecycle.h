#pragma once
// The file side of creating, opening, saving and discarding a configuration.
// The window (and the command line) call these; they touch no widget. Zone
// names and directions held by the window come in as values.
#include "Config.h"

#include <array>
#include <filesystem>
#include <string>

namespace kvort {

struct HistoryEntry;

// The text skeletons written before any key is set (CP1251, CR LF).
std::string NewConfigSkeleton();
std::string ReadSkeleton();

// Steps 3 to 5 of a new configuration, for the chosen path (its extension is
// replaced by ".cnf"; an existing set is replaced): the skeleton, the
// system keys, the slot-0 change (with an empty NAME.tb0), [ОБЩИЙ ПЛАН],
// and the 256 zones. Returns the .cnf path; zoneGrid receives the names.
// The whole set is written in one step: the files of an existing set of
// that name, its other detector files and its working copies go into its
// history first (reason "new"); `kept`, when given, receives that entry
// (empty name when there was nothing to keep). Throws FileError when a file
// cannot be written or the old set cannot be kept (then nothing changed).
std::filesystem::path CreateNewConfig(const std::filesystem::path& chosen, ZoneNames& zoneGrid,
                                      HistoryEntry* kept = nullptr);

// Writes ReadSkeleton() to the .cnf of the given path (read path, before the
// decoder fills it). Returns the .cnf path.
std::filesystem::path WriteReadSkeleton(const std::filesystem::path& anyMember);

// Opening: NAME.cnf -> NAME.~cnf and every existing NAME.tbN -> NAME.~tbN,
// overwriting; failed copies are ignored.
void MakeWorkingCopies(const std::filesystem::path& cnf);

// The direction editor's choices for one direction, as text.
struct DirectionChoice {
    DirectionChoice(); // zone "НЕТ", everything else empty
    std::string zone;  // "НЕТ" erases the section
    std::array<std::string, kRelayCount> relays;
    std::string scenario;   // "" deletes "СЦЕН."
    std::string britModule; // slot digit, "" deletes БРИТ
    std::string britLine;   // line digit

    // The direction as NAME.cnf holds it, and back (the direction list's
    // conversion; БДУ4 is read before БРИТ there).
    Direction toDirection() const;
    static DirectionChoice fromDirection(const Direction& d);
};
using DirectionChoices = std::array<DirectionChoice, kDirectionCount>;

// Save: writes the 256 zone names and the eight directions into NAME.cnf.
void SaveConfig(const std::filesystem::path& cnf, const ZoneNames& zones,
                const DirectionChoices& directions);

// Discard: NAME.~cnf over NAME.cnf and each NAME.~tbN over NAME.tbN; nothing
// when NAME.~cnf is missing.
void DiscardConfig(const std::filesystem::path& cnf);

} // namespace kvort
