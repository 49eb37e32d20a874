#pragma once
// The words of the configuration, said once: section and key names, the
// value words, the device names of outputs, detector addresses, the relay
// functions and the panel series. Every reader and writer of NAME.cnf and
// NAME.tbN (the codec, the check, the archives, the exports, the editors)
// takes them from here. Every text is CP1251 bytes.
#include "text/Literals.h"

#include <cstdint>
#include <filesystem>
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
inline constexpr int kLinesPerDevice = 8;
inline constexpr int kAddressesPerLine = 60;
inline constexpr int kOutputsPerDevice = 8; // relays of a ПУ-П, ППКП or БРВУ
inline constexpr int kShortNumberMax = 96;  // above it scenarios and outputs take three digits

// The panel series an image is meant for. The numbers are the panel's own
// (the series byte of the device list) and what older tools passed around.
enum class Series : int { FH = 0, I = 1, Unknown = -1 };
constexpr int SeriesCode(Series s) {
    return static_cast<int>(s);
}
constexpr Series SeriesFromCode(int code) {
    return code == 0 ? Series::FH : code == 1 ? Series::I : Series::Unknown;
}

// ---- key names ------------------------------------------------------------
namespace key {
using namespace text::literals;
// [СИСТЕМА], [АДРЕС ПУ-П]
inline constexpr std::string_view kSystemName = "НАИМЕНОВАНИЕ"_cp;
inline constexpr std::string_view kVersion = "ВЕРСИЯ"_cp;
inline constexpr std::string_view kPanelAddress = "АДРЕС"_cp;
inline constexpr std::string_view kPlan = "0"; // [ОБЩИЙ ПЛАН]
// A detector record of NAME.tbN.
inline constexpr std::string_view kText = "ТЕКСТ"_cp;
inline constexpr std::string_view kType = "ТИП"_cp;
inline constexpr std::string_view kZone = "ЗОНА"_cp; // also of scenarios and directions
inline constexpr std::string_view kState = "СОСТОЯНИЕ"_cp;
inline constexpr std::string_view kOutput = "ВЫХОД"_cp;
inline constexpr std::string_view kHide = "СКРЫТЬ"_cp;
// A scenario.
inline constexpr std::string_view kMode = "РЕЖИМ"_cp;
inline constexpr std::string_view kNote = "ПРИМЕЧАНИЕ"_cp;
// A direction.
inline constexpr std::string_view kScenario = "СЦЕН."_cp;
inline constexpr std::string_view kBrit = "БРИТ"_cp;
inline constexpr std::string_view kBdu4 = "БДУ4"_cp; // older name of БРИТ, never written
} // namespace key

// ---- value words ----------------------------------------------------------
namespace word {
using namespace text::literals;
inline constexpr std::string_view kNone = "НЕТ"_cp;
inline constexpr std::string_view kOn = "ВКЛ"_cp;
inline constexpr std::string_view kOff = "ВЫКЛ"_cp;
inline constexpr std::string_view kStepOn = "ВКЛ "_cp; // the state field of a step is 4 wide
inline constexpr std::string_view kYes = "ДА"_cp;
inline constexpr std::string_view kSystem = "КВОРТ"_cp;
inline constexpr std::string_view kPanelAddress = "-1";
inline constexpr std::string_view kLines8 = "-8"; // [ПРИБОРЫ]
inline constexpr std::string_view kLines4 = "-4";
// [СОСТАВ] values.
inline constexpr std::string_view kKindPu = "ПУ-П"_cp;
inline constexpr std::string_view kKindPu8 = "ПУ-П(8)"_cp;
inline constexpr std::string_view kKindPu4 = "ПУ-П(4)"_cp;
inline constexpr std::string_view kKindPpkp = "ППКП"_cp;
inline constexpr std::string_view kKindPpkp8 = "ППКП(8)"_cp;
inline constexpr std::string_view kKindPpkp4 = "ППКП(4)"_cp;
inline constexpr std::string_view kKindBrit = "БРИТ"_cp;
inline constexpr std::string_view kKindBritRead = "БРИТ "_cp; // as the decoder writes it
inline constexpr std::string_view kKindBdu = "БДУ(4)"_cp;     // obsolete name of БРИТ
inline constexpr std::string_view kKindPiu = "ПИУ"_cp;
} // namespace word

// ---- sections and numbered keys -------------------------------------------

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
std::string StepKey(int step);               // "ШАГ 01" .. "ШАГ 10"
std::string DirectionSection(int direction); // "НАПРАВЛЕНИЕ 1" .. "НАПРАВЛЕНИЕ 8"
std::string RelayKey(int relay);             // "РЕЛЕ 1" .. "РЕЛЕ 5"
std::string SlotKey(int slot);               // [СОСТАВ] key: "0" .. "8"
std::string ZoneKey(int zone);               // [ЗОНА] and [ПЛАН ЗОНЫ] key: "1" .. "256"
// [ПРИБОРЫ] and [КОММЕНТАРИИ К ПРИБОРАМ] key of a slot: "ПУ-П", "ППКП1".."ППКП8".
std::string SlotDeviceKey(int slot);
// [КОММЕНТАРИИ К ПРИБОРАМ] key of comment field k: 0 "ПУ-П", 1..8 "ППКП1".."ППКП8",
// 9..16 "БРВУ1".."БРВУ8", 17..24 "БДУ1".."БДУ8".
inline constexpr int kCommentCount = 25;
std::string CommentKey(int k);
// [ОПИСАНИЕ ВЫХОДОВ] key: the five-character device, "/0" and the output.
std::string DescriptionKey(std::string_view device, int output);

// The version the tool writes into [СИСТЕМА] ВЕРСИЯ: the five characters of
// the main window caption from its 19th character on.
std::string_view MainCaption(); // "КвортКонфигуратор(V6.10) для приборов серии F,H,I"
std::string ToolVersion(); // "V6.10"

// ---- slot kinds and the device list ---------------------------------------

bool IsPuKind(std::string_view kind);   // "ПУ-П", "ПУ-П(8)", "ПУ-П(4)"
bool IsPpkpKind(std::string_view kind); // "ППКП", "ППКП(8)", "ППКП(4)"
bool IsBritKind(std::string_view kind); // "БРИТ", "БДУ(4)"

// Codes of the panel's device list.
inline constexpr std::uint8_t kDeviceCodePu = 0;
inline constexpr std::uint8_t kDeviceCodePpkp = 2;
inline constexpr std::uint8_t kDeviceCodeBrit = 4;
inline constexpr std::uint8_t kDeviceCodePiu = 5;
// The code the encoder writes for a [СОСТАВ] value. An unknown kind (the
// check refuses it unless it was declined) is sent as what the detector view
// shows for it: an 8-line panel.
std::uint8_t DeviceCodeOfKind(int slot, std::string_view kind);
// The [СОСТАВ] value the decoder writes for a device code (1 and 3 are read
// as 0 and 2; an unknown code is an 8-line panel).
std::string_view KindOfDeviceCode(int slot, std::uint8_t code);
// The series I device name of a slot: six characters, no terminator.
std::string PanelDeviceName(int slot, std::uint8_t code);

// ---- detector addresses ---------------------------------------------------

// The place of a detector: slot 0..8, line 1..8, address 1..60.
struct DetectorPlace {
    int slot = 0;
    int line = 1;
    int address = 1;
    std::string text() const; // its SensorAddress
    bool operator==(const DetectorPlace&) const = default;
};
// The section of a detector in NAME.tbN: "И%1.1d%1.1d-%2.2d" of slot,
// line and address (И01-05).
std::string SensorAddress(int slot, int line, int address);
// The exact form: "И", two digits, "-", two digits, each within its range.
std::optional<DetectorPlace> ParseSensorAddress(std::string_view text);

// ---- output devices -------------------------------------------------------

// A device whose outputs scenario steps, linked outputs and descriptions
// name, always by five characters.
enum class DeviceKind {
    Pu,       // "ПУ-П " relays 1..8
    Ppkp,     // "ППКП" + slot 1..8, relays 1..8
    Brvu,     // "БРВУ" + block 1..8, relays 1..8
    Bka,      // "БКА" + slot + line: the addressable modules of one line, by address
    Piu,      // "ПИУ" + slot + "1": how the editors show a ПИУ's БКА
    External, // "ВНЕШН" external outputs 1..128
    Scenario, // "СЦЕН." scenarios 1..128
};

struct DeviceRef {
    DeviceKind kind = DeviceKind::Pu;
    int unit = 0; // slot of ППКП, БКА and ПИУ; block of БРВУ
    int line = 0; // line of БКА and ПИУ

    std::string name() const; // five characters
    // The highest number the device offers: 8 relays, 60 addresses, 128.
    int maxNumber() const;
    // A device name exactly as name() writes it, within the ranges.
    static std::optional<DeviceRef> parse(std::string_view name);
    bool operator==(const DeviceRef&) const = default;
};

// Where a value was read, for the message of a value that does not convert.
struct ValuePlace {
    std::filesystem::path file;
    std::string_view section;
    std::string_view key;
};

// The decimal number in characters first..last (1-based, inclusive) of a
// value. Throws ConvertError naming the place when they are not all digits
// or lie past the end of the value.
int NumberAt(std::string_view value, std::size_t first, std::size_t last, const ValuePlace& where);

// An output as the codec reads it from a linked output or a step: the device
// from the first three characters, its digits and the number from fixed
// positions (unit 5, БКА slot 4 and line 5, number 7-8, or 7-9 when
// wideNumber). ПИУ is a БКА for the codec (only linked outputs may say
// "ПИУ", so only they pass piuIsBka). nullopt when the first three
// characters name no device; ConvertError when a digit position is not one.
struct OutputRef {
    DeviceRef device;
    int number = 0;
    bool operator==(const OutputRef&) const = default;
};
std::optional<OutputRef> ReadOutputRef(std::string_view value, bool wideNumber, bool piuIsBka,
                                       const ValuePlace& where);
// "DEVICE/NN/": the number with "%2.2d", or "%3.3d" above 96 when
// wideAbove96 (so 97 is "097").
std::string OutputRefText(const OutputRef& ref, bool wideAbove96);
// Whether a value begins with the device of external outputs or scenarios,
// the two whose numbers may take three digits.
bool HasWideNumberDevice(std::string_view value);

// ---- relay functions of a direction ---------------------------------------

inline constexpr int kRelayFunctionCount = 10; // codes 0..9
inline constexpr int kRelayFunctionNone = 0xFF;
// "ПУСК 1" .. "ПУСК 4", "ТАБЛО"ОПОВЕЩ."", "БЛОКИРОВКА", "АВТ.ОТКЛ.",
// "ПОДАЧА ОТВ", "СТОП", "РЕЗЕРВ.ПУСК" for 0..9; "НЕТ" for any other code.
std::string_view RelayFunctionWord(int code);
// The code of a word, with the older "ТАБЛО"ГАЗ.."" read as 4 and "НЕТ" as
// 0xFF; -1 for any other text.
int RelayFunctionCode(std::string_view word);

} // namespace kvort
