#pragma once
// From a panel image back to a configuration: first as a value (what the
// image holds, in the vocabulary's types; no store, no file), then as the
// files of a set.
#include "image/CodecProgress.h"
#include "image/PanelImage.h"

#include "document/Config.h"
#include "document/Detectors.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kvort {

// An image whose parts contradict each other so that no configuration can
// mean it. The text (UTF-8, Russian) names what is wrong and its offset.
class ImageError : public Error {
  public:
    using Error::Error;
};

// One detector as its record gives it. An image may hold 4320 of them, so
// the value keeps codes, and its text in place as the panel's character
// codes; the words and the CP1251 text come when the files are written.
struct DecodedDetector {
    DetectorPlace place;
    int type = 0; // ТИП as a code; kTypeLoop for a loop line
    int zone = 0; // ЗОНА as an index into the zone table (0 = zone 1)
    bool on = true;
    std::uint8_t textSize = 0;
    std::array<char, imagemap::kTextMax> panelText{}; // ТЕКСТ in panel codes
};

struct DecodedLinkedOutput {
    DetectorPlace source;
    std::optional<OutputRef> output; // ВЫХОД; nullopt is "НЕТ"
    bool hidden = false;
};

// A scenario as its record gives it: the steps up to the first empty one.
struct DecodedScenario {
    int number = 0;
    int mode = -1; // -1 where the record's mode is none the editors know
    int zone = -1; // -1 for a mode without zone
    int stepCount = 0;
    std::array<StepRef, kStepCount> steps{};
    std::string note; // series I only
};

// Everything a decoding takes from an image, in the order the image gives
// it (writing the files keeps that order, and with it the order of keys).
struct DecodedConfig {
    Series series = Series::FH;
    // [СОСТАВ] of slots 0.. up to the first free one; each has NAME.tbN.
    std::vector<std::string> composition;
    // The zone table in panel codes, blanks kept: ZoneNameField::kSize
    // characters per zone, as far as the image reaches. Like the detector
    // texts, it becomes CP1251 when the files are written.
    std::string zoneTable;
    std::array<std::vector<DecodedDetector>, kSlotCount> detectors;
    std::vector<DecodedLinkedOutput> linkedOutputs;
    std::vector<std::pair<std::string, std::string>> descriptions; // key, text
    std::vector<std::pair<std::string, std::string>> comments;     // key, text
    std::vector<DecodedScenario> scenarios;
    std::vector<std::pair<int, Direction>> directions;
};

// The image is untrusted: header bytes, the line map and every text offset
// are checked before they are followed, so a corrupted image decodes what
// is sane and never reads outside the buffer. A linked output naming a slot
// the image has no device in is refused with ImageError.
DecodedConfig DecodeImage(const TPanelImage& image, CodecProgress* progress = nullptr);

// The files of a decoded configuration: NAME.cnf as `cnfStart` (the read
// skeleton) filled with it, and NAME.tbN of each slot it has.
struct DecodedFiles {
    std::string cnf;
    std::array<std::optional<std::string>, kSlotCount> tb;
};
DecodedFiles RenderDecoded(const DecodedConfig& config, std::string_view cnfStart);

// Both steps onto files: fills NAME.cnf at cnfPath (as it is, usually the
// read skeleton) and writes NAME.tbN beside it, one file after the other.
// Returns DeviceSeries as the image gives it (I when 0xDFF0 holds "I",
// else F/H). Throws ImageError before any file is written, FileError when a
// file cannot be written. Callers replacing a set use the value and the
// set commit instead.
Series DecodePanelImage(const TPanelImage& image, const std::filesystem::path& cnfPath,
                        CodecProgress* progress = nullptr);

} // namespace kvort
