#pragma once
// Typed access to the sections and keys of NAME.cnf, with the defaults the
// readers pass for missing keys. Every text is CP1251 bytes.
#include "IniStore.h"
#include "Vocabulary.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kvort {

// ---- composition ----------------------------------------------------------

// [СОСТАВ] N, default "НЕТ" (or the reader's own default).
std::string SlotKind(const IniStore& cnf, int slot);
std::string SlotKind(const IniStore& cnf, int slot, std::string_view defaultKind);
void WriteSlotKind(IniStore& cnf, int slot, std::string_view kind);
// True for a missing key and for "НЕТ".
bool SlotEmpty(const IniStore& cnf, int slot);
// [ПРИБОРЫ] value of a slot, default "НЕТ" (or the reader's own default).
std::string SlotLinesValue(const IniStore& cnf, int slot,
                           std::string_view defaultValue = word::kNone);
void WriteSlotLines(IniStore& cnf, int slot, std::string_view value); // "-8" or "-4"
// The device chain of [ПРИБОРЫ]: 0 when there is no ПУ-П, else 1 + the
// number of ППКП1, ППКП2 ... keys present before the first missing one.
int DeviceChainLength(const IniStore& cnf);
// 4 when [ПРИБОРЫ] holds "-4", else 8.
int SlotLineCount(const IniStore& cnf, int slot);
// The line count carried by a [СОСТАВ] value: its sixth character "4" gives
// 4 ("ПУ-П(4)", "ППКП(4)"), anything else 8.
int KindLineCount(std::string_view kind);
// Normalised kind: "ПУ-П(8)", "ПУ-П(4)" -> "ПУ-П"; "ППКП(8)", "ППКП(4)" ->
// "ППКП"; "БРИТ " -> "БРИТ" (the store trims); others unchanged.
std::string DisplayKind(std::string_view kind);

// The file side of the completion on opening of files written by older
// tools (no [СОСТАВ] keys, or no [ПРИБОРЫ] keys).
void CompleteOnOpening(IniStore& cnf);

// The file side of a slot change of the composition editor: what it writes
// and deletes in [СОСТАВ] and [ПРИБОРЫ]. Returns the slot to show next (the
// slot itself, or N - 1 when "НЕТ" was chosen).
int ApplySlotChange(IniStore& cnf, int slot, std::string_view chosen);

// ---- zones ----------------------------------------------------------------

using ZoneNames = std::array<std::string, kZoneCount>; // index 0 = zone 1

std::string ZoneName(const IniStore& cnf, int zone); // default ""
void WriteZoneName(IniStore& cnf, int zone, std::string_view name);
ZoneNames ReadZoneNames(const IniStore& cnf);
// "ЗОНА " + Z, the name a new configuration gives zone Z.
std::string DefaultZoneName(int zone);

// ---- scenario steps -------------------------------------------------------

// One step value, "DEVICE/NN/STAT/DDD" (17 characters) or with a three-digit
// number (18 characters).
struct ScenarioStep {
    std::string device; // 5 characters, "ПУ-П " with its blank
    std::string output; // "01" or "097", as written
    std::string state;  // "ВКЛ " or "ВЫКЛ"
    std::string delay;  // "000" .. "510"

    // Splits a 17- or 18-character value; nullopt for any other length.
    static std::optional<ScenarioStep> parse(std::string_view value);
    // The editor's reading of any value: 17 characters as above, any other
    // length as 18, a field past the end of the value left short or empty.
    static ScenarioStep split(std::string_view value);
    std::string join() const;
    // Builds a step from numbers: output with "%2.2d" (so 100..128 take three
    // digits), delay with "%3.3d".
    static ScenarioStep make(std::string_view device, int output, bool on, int delaySeconds);
};

// A step as the codec reads it. The layout follows the device: external
// outputs and scenarios in a value that is not 17 characters long have a
// three-digit number (state at 11-14, delay at 16-18); every other step has
// the number at 7-8, the state at 10-13 and the delay at 15-17. For the 17-
// and 18-character values the editors write this is ScenarioStep's split.
struct StepRef {
    OutputRef target;
    bool off = false;     // the state reads "ВЫКЛ"; anything else is on
    int delaySeconds = 0; // as written
    bool operator==(const StepRef&) const = default;
};
// nullopt when the first characters name no device; ConvertError when a
// digit position is not a digit.
std::optional<StepRef> ReadStepRef(std::string_view value, const ValuePlace& where);
// "DEVICE/NN/STAT/DDD" as the decoder writes it: external outputs above 96
// with three digits, every other number with "%2.2d".
std::string StepText(const StepRef& step);

struct Scenario {
    int mode = -1;                             // РЕЖИМ 1..13, -1 none
    int zone = -1;                             // ЗОНА, the reader's default when missing
    std::string note;                          // ПРИМЕЧАНИЕ
    std::array<std::string, kStepCount> steps; // "" where the key is missing
    bool exists = false;                       // the section holds a key
    std::string modeText; // РЕЖИМ and ЗОНА as written, "" when missing
    std::string zoneText;
};
Scenario ReadScenario(const IniStore& cnf, int scenario, int zoneDefault = -1);
// The same from a section of either width (the scenario list accepts both).
Scenario ReadScenarioSection(const IniStore& cnf, std::string_view section, int zoneDefault = -1);
// Writes РЕЖИМ when mode is 1 or more, ЗОНА when zone is 0 or more, the
// non-empty steps and a non-empty note, in this order. The decoder fills a
// fresh section (Add); the editor replaces what the section held: every key
// the scenario leaves empty is deleted, and no mode erases the section.
enum class ScenarioKeys { Add, Replace };
void WriteScenario(IniStore& cnf, int scenario, const Scenario& s,
                   ScenarioKeys keys = ScenarioKeys::Add);
// The modes whose scenario names no zone: ПО СБРОСУ, ПО ЗАПРОСУ,
// КН.ЗВУК ОТКЛ., КН.АКТ.ВЫХОДОВ.
bool ModeWithoutZone(int mode);
inline constexpr int kModeCount = 13;
// "ПО СБРОСУ" .. "2ПОЖ.В ЗОНЕ#" for modes 1..13 in the editor's order; ""
// for any other number.
std::string_view ScenarioModeName(int mode);
// What ЗОНА holds for a mode: a zone index (0..254, 255 any zone), the
// group's first zone index ((group - 1) × 32), or nothing.
enum class ScenarioTarget { None, Zone, Group };
ScenarioTarget TargetOfMode(int mode);
inline constexpr int kAnyZoneIndex = 255;
std::string_view AnyZoneText(); // "В ЛЮБОЙ"
// The relay blocks БРВУ1..БРВУ8 that the steps of any scenario name, as
// bits 0..7. A "БРВУ" step without a digit after it is a damaged file: the
// search stops there, keeps the blocks found so far and says why (UTF-8).
struct RelayBlocks {
    unsigned bits = 0;
    std::string damaged; // "" when every step was read
};
RelayBlocks RelayBlocksInSteps(const IniStore& cnf);

// ---- directions -----------------------------------------------------------

struct Direction {
    std::string zone;                            // ЗОНА, default ""
    std::array<std::string, kRelayCount> relays; // "РЕЛЕ 1".."РЕЛЕ 5"
    int scenario = 0;                            // "СЦЕН." as an integer, 0 none
    std::string scenarioText;                    // "СЦЕН." as written
    std::string brit;                            // БРИТ (or БДУ4 fallback), "" none
    bool exists = false;                         // the section holds a key
};
enum class BritKeyOrder { BritFirst, Bdu4First }; // encoder / direction editor
Direction ReadDirection(const IniStore& cnf, int direction,
                        BritKeyOrder order = BritKeyOrder::BritFirst);
// ЗОНА of a direction with the reader's default.
std::string DirectionZone(const IniStore& cnf, int direction, std::string_view defaultZone = "");
// "РЕЛЕ n" of a direction, default "".
std::string DirectionRelay(const IniStore& cnf, int direction, int relay);
// Writes ЗОНА and the five relays, then "СЦЕН." and БРИТ, each deleted when
// its text is empty.
void WriteDirection(IniStore& cnf, int direction, const Direction& d);
void EraseDirection(IniStore& cnf, int direction);

// A БРИТ reference "SL/AA": slot from character 1, line from character 2,
// address from characters 4-5 (character 3 is not looked at).
struct BritRef {
    int slot = 0, line = 0, address = 0;
    std::string text() const; // "%1.1d%1.1d/%2.2d"
    // ConvertError naming the place when a digit position is not a digit.
    static BritRef read(std::string_view value, const ValuePlace& where);
};
// nullopt when the text is too short or the characters are not digits.
std::optional<BritRef> ParseBritRef(std::string_view value);

// ---- descriptions and comments --------------------------------------------

std::string OutputDescription(const IniStore& cnf, std::string_view key); // default ""
// The editor's write: upper-cased; an empty description deletes the key.
void SetOutputDescription(IniStore& cnf, std::string_view key, std::string_view text);
// Writes the text as it is (the decoder keeps what the panel holds).
void WriteOutputDescription(IniStore& cnf, std::string_view key, std::string_view text);
// The section's lines in file order, as the F/H panels keep them.
std::vector<std::pair<std::string, std::string>> OutputDescriptionLines(const IniStore& cnf);

std::string DeviceComment(const IniStore& cnf, std::string_view key); // default ""
// Writes the comment upper-cased; an empty one deletes the key.
void WriteDeviceComment(IniStore& cnf, std::string_view key, std::string_view comment);
// Writes the comment as it is (the decoder keeps what the panel holds).
void StoreDeviceComment(IniStore& cnf, std::string_view key, std::string_view comment);

// ---- system keys ------------------------------------------------------------

// [СИСТЕМА], [АДРЕС ПУ-П] and the plan placeholders, as a new configuration
// and the decoder write them.
void WriteSystemKeys(IniStore& cnf);
void WritePlanPlaceholders(IniStore& cnf);

} // namespace kvort
