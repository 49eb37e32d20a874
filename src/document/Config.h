#pragma once
// Typed access to the sections and keys of NAME.cnf, with the defaults the
// readers pass for missing keys. Every text is CP1251 bytes.
#include "IniStore.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kvort {

inline constexpr int kSlotCount = 9;       // slot 0 = ПУ-П, 1..8 subordinate
inline constexpr int kZoneCount = 256;     // zones 1..256
inline constexpr int kScenarioCount = 128; // scenarios 1..128
inline constexpr int kStepCount = 10;      // steps 1..10 of a scenario
inline constexpr int kDirectionCount = 8;  // directions 1..8
inline constexpr int kRelayCount = 5;      // relays 1..5 of a direction's БДУ

// Section and key names.
std::string_view SectionSystem();       // "СИСТЕМА"
std::string_view SectionAddress();      // "АДРЕС ПУ-П"
std::string_view SectionComposition();  // "СОСТАВ"
std::string_view SectionDevices();      // "ПРИБОРЫ"
std::string_view SectionPlan();         // "ОБЩИЙ ПЛАН"
std::string_view SectionZones();        // "ЗОНА"
std::string_view SectionZonePlan();     // "ПЛАН ЗОНЫ"
std::string_view SectionDescriptions(); // "ОПИСАНИЕ ВЫХОДОВ"
std::string_view SectionComments();     // "КОММЕНТАРИИ К ПРИБОРАМ"
// "СЦЕНАРИЙ 01" .. "СЦЕНАРИЙ 96", "СЦЕНАРИЙ 097" .. "СЦЕНАРИЙ 128".
std::string ScenarioSection(int scenario);
// The other width ("СЦЕНАРИЙ 097" for 97 ... read only by the scenario list).
std::string ScenarioSectionOtherWidth(int scenario);
std::string StepKey(int step);              // "ШАГ 01" .. "ШАГ 10"
std::string DirectionSection(int direction); // "НАПРАВЛЕНИЕ 1" .. "НАПРАВЛЕНИЕ 8"
std::string RelayKey(int relay);            // "РЕЛЕ 1" .. "РЕЛЕ 5"
// [ПРИБОРЫ] and [КОММЕНТАРИИ К ПРИБОРАМ] key of a slot: "ПУ-П", "ППКП1".."ППКП8".
std::string SlotDeviceKey(int slot);

// The version the tool writes into [СИСТЕМА] ВЕРСИЯ: the five characters of
// the main window caption from its 19th character on.
std::string_view MainCaption(); // "КвортКонфигуратор(V6.10) для приборов серии F,H,I"
std::string ToolVersion();      // "V6.10"

// ---- composition ----------------------------------------------------------

// [СОСТАВ] N, default "НЕТ".
std::string SlotKind(const IniStore& cnf, int slot);
// True for a missing key and for "НЕТ".
bool SlotEmpty(const IniStore& cnf, int slot);
// [ПРИБОРЫ] value of a slot, default "НЕТ".
std::string SlotLinesValue(const IniStore& cnf, int slot);
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
    std::string join() const;
    // Builds a step from numbers: output with "%2.2d" (so 100..128 take three
    // digits), delay with "%3.3d".
    static ScenarioStep make(std::string_view device, int output, bool on, int delaySeconds);
};

struct Scenario {
    int mode = -1;         // РЕЖИМ 1..13, -1 none
    int zone = -1;         // ЗОНА, the reader's default when missing
    std::string note;      // ПРИМЕЧАНИЕ
    std::array<std::string, kStepCount> steps; // "" where the key is missing
    bool exists = false;   // the section holds a key
};
Scenario ReadScenario(const IniStore& cnf, int scenario, int zoneDefault = -1);

// ---- directions -----------------------------------------------------------

struct Direction {
    std::string zone;                          // ЗОНА, default ""
    std::array<std::string, kRelayCount> relays; // "РЕЛЕ 1".."РЕЛЕ 5"
    int scenario = 0;                          // "СЦЕН." as an integer, 0 none
    std::string scenarioText;                  // "СЦЕН." as written
    std::string brit;                          // БРИТ (or БДУ4 fallback), "" none
    bool exists = false;                       // the section holds a key
};
enum class BritKeyOrder { BritFirst, Bdu4First }; // encoder / direction editor
Direction ReadDirection(const IniStore& cnf, int direction,
                        BritKeyOrder order = BritKeyOrder::BritFirst);

// A БРИТ reference "SL/AA": slot from character 1, line from character 2,
// address from characters 4-5. nullopt when the text is too short or the
// characters are not digits.
struct BritRef {
    int slot = 0, line = 0, address = 0;
};
std::optional<BritRef> ParseBritRef(std::string_view value);

// ---- descriptions and comments --------------------------------------------

std::string DeviceComment(const IniStore& cnf, std::string_view key); // default ""
// Writes the comment upper-cased; an empty one deletes the key.
void WriteDeviceComment(IniStore& cnf, std::string_view key, std::string_view comment);

} // namespace kvort
