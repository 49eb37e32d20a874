#pragma once
// Two configurations compared the way an installer thinks of them: the
// composition, the zone names, the detectors by address, the scenarios, the
// directions, the output descriptions and the device comments. Either side
// may be a configuration file set or a panel image; an image is decoded
// into a temporary folder first.
//
// Values the panel cannot hold (texts longer than its fields, odd delays,
// a "hidden" mark without a linked output ...) are compared as the panel
// holds them, and each such point of a configuration is listed in the
// comparison's notes, so nothing is hidden silently.
//
// Every text here is CP1251 bytes.
#include "document/Config.h"
#include "document/Vocabulary.h"
#include "image/PanelImage.h"

#include <array>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace kvort {

enum class DiffKind {
    Composition,
    Zones,
    Detectors,
    Scenarios,
    Directions,
    Descriptions,
    Comments
};
inline constexpr int kDiffKindCount = 7;
std::string_view DiffKindName(DiffKind kind); // "Состав", "Зоны" ...

struct DetectorValues {
    std::string text, type, zone, state, output, hide;
};

struct ScenarioValues {
    int mode = -1;
    int zone = -1;
    std::string note;
    std::vector<std::string> steps; // in order, without gaps
    bool present() const { return mode != -1 || !steps.empty() || !note.empty(); }
};

struct DirectionValues {
    bool present = false;
    std::string zone;
    std::array<std::string, kRelayCount> relays;
    int scenario = 0;
    std::string brit;
};

// What one side holds, read once from its files.
struct ConfigSnapshot {
    std::array<std::string, kSlotCount> kinds; // "" for an empty slot
    std::array<int, kSlotCount> lines{};
    ZoneNames zones;
    std::map<std::string, DetectorValues> detectors; // by SensorAddress
    std::array<ScenarioValues, kScenarioCount> scenarios;
    std::array<DirectionValues, kDirectionCount> directions;
    std::map<std::string, std::string> descriptions; // folded key -> value
    std::map<std::string, std::string> comments;     // folded key -> value
};

// Reads NAME.cnf and the detector files of its present slots. Throws
// FileError when NAME.cnf does not exist.
ConfigSnapshot ReadConfigSnapshot(const std::filesystem::path& cnf);

// Decodes the image into a temporary folder (removed again) and reads it.
// series: FH or I overrides the image's marker; Unknown takes the marker. Returns the series the
// image was decoded with.
ConfigSnapshot ReadImageSnapshot(const TPanelImage& image, int series,
                                 int* decodedSeries = nullptr);

// The snapshot as a panel of the series would hold it (Unknown: only
// the rules that do not depend on the series). Every point where a value is
// changed by that is appended to notes, prefixed with prefix.
ConfigSnapshot PanelView(const ConfigSnapshot& config, Series series,
                         std::vector<std::string>* notes, const std::string& prefix);

struct Difference {
    DiffKind kind;
    std::string object;       // "И01-05, зона"
    std::string a, b;         // the two values as shown ("нет" for an absent one)
    std::string line() const; // "И01-05, зона: A «ЗОНА 1», B «ЗОНА 2»"
};

struct Comparison {
    std::string labelA, labelB;      // file name and what it is
    std::vector<std::string> inputs; // what was noticed about the files read
    std::vector<std::string> notes;  // values the panel cannot hold
    std::vector<Difference> differences;
    int count(DiffKind kind) const;
    bool same() const { return differences.empty(); }
};

struct CompareOptions {
    bool lineCounts = true; // compare (4)/(8) of the slots (images do not say)
};

// The differences between two snapshots already in the same view.
std::vector<Difference> CompareSnapshots(const ConfigSnapshot& a, const ConfigSnapshot& b,
                                         const CompareOptions& options = {});

// One side of a comparison: a configuration (NAME.cnf) or an image file.
struct CompareSource {
    std::filesystem::path path;
    bool image = false;
    // An image already in memory (read from a panel); path is then its label.
    const TPanelImage* inMemory = nullptr;
};
// A path ending in .cnf is a configuration, anything else an image file.
CompareSource SourceFromPath(const std::filesystem::path& path);

// Compares two sides. series is given
// for images without a marker and for two configurations; with an image on
// either side the configurations are viewed with that image's series.
// Throws FileError for a missing or unreadable file or a file of the wrong
// size.
Comparison CompareSources(const CompareSource& a, const CompareSource& b,
                          Series series = Series::Unknown);

// The image a write of the configuration sends to a panel of the series
// (zone names from [ЗОНА]; the passes' results are the check's business). A
// series I image carries its marker, as on a card.
TPanelImage EncodeConfigurationImage(const std::filesystem::path& cnf, Series series);

// The whole comparison as text lines: header, notes, then each kind with
// its count and its lines.
std::vector<std::string> FormatComparison(const Comparison& comparison);

} // namespace kvort
