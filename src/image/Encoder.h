#pragma once
// From a configuration file set to the panel image: BuildPanelImage writes
// the lower, series-independent part; the three passes below complete the
// series-dependent part and report, as result codes, what did not fit.
#include "image/CodecProgress.h"
#include "image/PanelImage.h"

#include "document/Config.h"
#include "document/IniStore.h"

#include <cstdint>
#include <filesystem>

namespace kvort {

// Fills the image with 0xFF and writes the detector area size, the line map,
// the direction records, the zone names, the detector tables and texts, and
// the fixed header bytes, from NAME.cnf and NAME.tb0..NAME.tb8 (configPath
// is any member of the set). zoneGrid holds the 256 zone names the person
// sees (the zone grid, or [ЗОНА] where there is no grid): the zone names
// and the direction zones come from it, the detector zones from [ЗОНА].
// Sets TextEnd. Throws ConvertError for a БРИТ/БДУ4 value whose digit
// positions are not digits, FileError for an unreadable file.
void BuildPanelImage(TPanelImage& image, const std::filesystem::path& configPath,
                     const ZoneNames& zoneGrid, CodecProgress* progress = nullptr);

// The detector tables and texts of every present slot, texts from
// textStart upwards; sets TextEnd. A text that would not fit below 0x10000
// is not stored (nor any after it) and TextEnd is set to 0x10000, so the
// later passes report the text space.
void EncodeDetectorTables(TPanelImage& image, const IniStore& cnf, std::uint32_t textStart);

// Results of the passes, as the check turns them into report lines.
enum class OutputTextsResult {
    Done = 0,
    NoSeries = 1,  // DeviceSeries is unknown; nothing written
    NotStored = 2, // the detector texts reach the description area
    NotAllFit = 3, // F/H: the list was cut at 0x8DFF
};
enum class LinkedOutputsResult {
    Done = 0,
    NoSeries = 1,  // nothing written
    TextSpace = 2, // the detector texts reach the table (or, for I, 0xBFFF); nothing written
    TableFull = 3, // the table holds the first 256 records
};

// Relay function descriptions, device comments and scenario notes.
OutputTextsResult EncodeOutputTexts(TPanelImage& image, const IniStore& cnf, Series DeviceSeries);
// Device list, series I device names and the linked-output table; reads
// NAME.tbN beside cnf and the detector records BuildPanelImage wrote.
// Throws ConvertError for a ВЫХОД whose digit positions are not digits.
LinkedOutputsResult EncodeLinkedOutputs(TPanelImage& image, const IniStore& cnf,
                                        Series DeviceSeries);
// The scenario table. False when the detector texts reach it (nothing
// written). Throws ConvertError for a step whose digit positions are not
// digits.
bool EncodeScenarios(TPanelImage& image, const IniStore& cnf, Series DeviceSeries);

} // namespace kvort
