#pragma once
// What the editors show that is derived from the files rather than stored
// as such: the rows of the detector grid, the relay and extinguishing
// blocks in use, the directions as the direction editor holds them. Kept
// here so that the window only lays out widgets.
#include "Config.h"
#include "Lifecycle.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kvort {

// One filled row of the detector grid: the address it shows.
struct DetectorGridRow {
    int row = 0; // 0-based, header excluded
    int line = 0;
    int address = 0;
};

// The detector grid of one slot kind: how many rows it has and which hold an
// address. A ПИУ shows 48 addresses of line 1 and 11 blank rows; a БРИТ (and
// a four-line БДУ) address 01 of lines 1 to 4; everything else eight blocks
// of 64 rows, one per line, whose last four rows stay blank.
struct DetectorGridLayout {
    int rowCount = 0;
    std::vector<DetectorGridRow> rows;
};
DetectorGridLayout LayOutDetectorGrid(std::string_view kind);

// NAME.tbN of the configuration anyMember belongs to, created empty when it
// is missing (a slot that is shown gets its file). Throws FileError.
std::filesystem::path EnsureDetectorFile(const std::filesystem::path& anyMember, int slot);

using BlocksInUse = std::array<bool, 8>; // index 0 = block 1

// The БРВУ blocks any scenario step names ("БРВУ" + block digit as its
// first five characters). A step naming "БРВУ" without a digit after it is
// a damaged file: ConvertError naming the file, the section and the key,
// with `found` holding what was found before it (the window keeps those).
void FindRelayBlocksInUse(const IniStore& cnf, BlocksInUse& found);
// The БДУ blocks: direction D is in use when its section holds a key.
BlocksInUse ExtinguishingBlocksInUse(const IniStore& cnf);

// The directions as the direction editor loads them: a defined section
// gives its zone, relays, scenario and the БРИТ link (БДУ4 before БРИТ);
// an undefined one the zone "НЕТ" with nothing else.
DirectionChoices ReadDirectionChoices(const IniStore& cnf);
// The БРИТ link of a choice as written back ("32/01"), "" when none.
std::string DirectionBritText(const DirectionChoice& choice);

} // namespace kvort
