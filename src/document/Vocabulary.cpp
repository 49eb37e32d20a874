#include "Vocabulary.h"

#include "Messages.h"
#include "text/Cp1251.h"
#include "text/Error.h"
#include "text/Format.h"

#include <array>

namespace kvort {

using namespace text::literals;
using text::Format;

std::string_view SectionSystem() {
    return "СИСТЕМА"_cp;
}
std::string_view SectionAddress() {
    return "АДРЕС ПУ-П"_cp;
}
std::string_view SectionComposition() {
    return "СОСТАВ"_cp;
}
std::string_view SectionDevices() {
    return "ПРИБОРЫ"_cp;
}
std::string_view SectionPlan() {
    return "ОБЩИЙ ПЛАН"_cp;
}
std::string_view SectionZones() {
    return "ЗОНА"_cp;
}
std::string_view SectionZonePlan() {
    return "ПЛАН ЗОНЫ"_cp;
}
std::string_view SectionDescriptions() {
    return "ОПИСАНИЕ ВЫХОДОВ"_cp;
}
std::string_view SectionComments() {
    return "КОММЕНТАРИИ К ПРИБОРАМ"_cp;
}

std::string ScenarioSection(int scenario) {
    return Format(scenario <= kShortNumberMax ? "%s%2.2d" : "%s%3.3d", {"СЦЕНАРИЙ "_cp, scenario});
}

std::string ScenarioSectionOtherWidth(int scenario) {
    return Format(scenario <= kShortNumberMax ? "%s%3.3d" : "%s%2.2d", {"СЦЕНАРИЙ "_cp, scenario});
}

std::string StepKey(int step) {
    return Format("%s%2.2d", {"ШАГ "_cp, step});
}

std::string DirectionSection(int direction) {
    return std::string("НАПРАВЛЕНИЕ "_cp) + std::to_string(direction);
}

std::string RelayKey(int relay) {
    return std::string("РЕЛЕ "_cp) + std::to_string(relay);
}

std::string SlotKey(int slot) {
    return std::to_string(slot);
}

std::string ZoneKey(int zone) {
    return std::to_string(zone);
}

std::string SlotDeviceKey(int slot) {
    return slot == 0 ? std::string(word::kKindPu)
                     : std::string(word::kKindPpkp) + std::to_string(slot);
}

std::string CommentKey(int k) {
    if (k <= 8)
        return SlotDeviceKey(k);
    if (k <= 16)
        return std::string("БРВУ"_cp) + std::to_string(k - 8);
    return std::string("БДУ"_cp) + std::to_string(k - 16);
}

std::string DescriptionKey(std::string_view device, int output) {
    return std::string(device) + "/0" + std::to_string(output);
}

std::string_view MainCaption() {
    return "КвортКонфигуратор(V6.10) для приборов серии F,H,I"_cp;
}

std::string ToolVersion() {
    return std::string(MainCaption().substr(18, 5));
}

// ---- slot kinds -------------------------------------------------------------

bool IsPuKind(std::string_view k) {
    return k == word::kKindPu || k == word::kKindPu8 || k == word::kKindPu4;
}

bool IsPpkpKind(std::string_view k) {
    return k == word::kKindPpkp || k == word::kKindPpkp8 || k == word::kKindPpkp4;
}

bool IsBritKind(std::string_view k) {
    return k == word::kKindBrit || k == word::kKindBdu;
}

std::uint8_t DeviceCodeOfKind(int slot, std::string_view kind) {
    if (IsPuKind(kind))
        return kDeviceCodePu;
    if (IsPpkpKind(kind))
        return kDeviceCodePpkp;
    if (IsBritKind(kind))
        return kDeviceCodeBrit;
    if (kind == word::kKindPiu)
        return kDeviceCodePiu;
    return slot == 0 ? kDeviceCodePu : kDeviceCodePpkp;
}

std::string_view KindOfDeviceCode(int slot, std::uint8_t code) {
    switch (code) {
    case 0:
    case 1:
        return word::kKindPu8;
    case 2:
    case 3:
        return word::kKindPpkp8;
    case kDeviceCodeBrit:
        return word::kKindBritRead;
    case kDeviceCodePiu:
        return word::kKindPiu;
    default:
        return slot == 0 ? word::kKindPu8 : word::kKindPpkp8;
    }
}

std::string PanelDeviceName(int slot, std::uint8_t code) {
    const std::string digit(1, static_cast<char>('0' + slot));
    switch (code) {
    case 0:
    case 1:
        return std::string("ПУ-П  "_cp);
    case kDeviceCodeBrit:
        return std::string(word::kKindBrit) + digit + " ";
    case kDeviceCodePiu:
        return std::string("ПИУ "_cp) + digit + " ";
    default:
        return std::string(word::kKindPpkp) + digit + " ";
    }
}

// ---- detector addresses -----------------------------------------------------

// "%s%1.1d%1.1d-%2.2d" without a pattern to parse: every reader of the
// detector files asks for all 480 addresses of each.
std::string SensorAddress(int slot, int line, int address) {
    std::string s("И"_cp);
    text::AppendDecimal(s, slot, 1);
    text::AppendDecimal(s, line, 1);
    s += '-';
    text::AppendDecimal(s, address, 2);
    return s;
}

std::string DetectorPlace::text() const {
    return SensorAddress(slot, line, address);
}

namespace {

std::optional<int> Digits(std::string_view s) {
    if (s.empty())
        return std::nullopt;
    int n = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

} // namespace

std::optional<DetectorPlace> ParseSensorAddress(std::string_view t) {
    const std::string_view lead = "И"_cp;
    if (t.size() != 6 || t.substr(0, 1) != lead || t[3] != '-')
        return std::nullopt;
    auto s = Digits(t.substr(1, 1));
    auto l = Digits(t.substr(2, 1));
    auto a = Digits(t.substr(4, 2));
    if (!s || !l || !a || *s >= kSlotCount || *l < 1 || *l > kLinesPerDevice || *a < 1 ||
        *a > kAddressesPerLine)
        return std::nullopt;
    return DetectorPlace{*s, *l, *a};
}

// ---- output devices ---------------------------------------------------------

namespace {
// A word and numbers as "%s%1.1d%1.1d" writes them.
std::string Numbered(std::string_view word, int a, std::optional<int> b = std::nullopt) {
    std::string s(word);
    text::AppendDecimal(s, a, 1);
    if (b)
        text::AppendDecimal(s, *b, 1);
    return s;
}
} // namespace

std::string DeviceRef::name() const {
    switch (kind) {
    case DeviceKind::Pu:
        return std::string("ПУ-П "_cp);
    case DeviceKind::Ppkp:
        return Numbered(word::kKindPpkp, unit);
    case DeviceKind::Brvu:
        return Numbered("БРВУ"_cp, unit);
    case DeviceKind::Bka:
        return Numbered("БКА"_cp, unit, line);
    case DeviceKind::Piu:
        return Numbered(word::kKindPiu, unit, line);
    case DeviceKind::External:
        return std::string("ВНЕШН"_cp);
    case DeviceKind::Scenario:
        break;
    }
    return std::string("СЦЕН."_cp);
}

int DeviceRef::maxNumber() const {
    switch (kind) {
    case DeviceKind::Bka:
        return kAddressesPerLine;
    case DeviceKind::Piu:
        return 48;
    case DeviceKind::External:
    case DeviceKind::Scenario:
        return kScenarioCount;
    default:
        return kOutputsPerDevice;
    }
}

std::optional<DeviceRef> DeviceRef::parse(std::string_view n) {
    if (n.size() != 5)
        return std::nullopt;
    if (n == "ПУ-П "_cp)
        return DeviceRef{DeviceKind::Pu, 0, 0};
    if (n == "ВНЕШН"_cp)
        return DeviceRef{DeviceKind::External, 0, 0};
    if (n == "СЦЕН."_cp)
        return DeviceRef{DeviceKind::Scenario, 0, 0};
    const std::string_view head4 = n.substr(0, 4);
    const std::string_view head3 = n.substr(0, 3);
    if (head4 == word::kKindPpkp || head4 == "БРВУ"_cp) {
        auto u = Digits(n.substr(4, 1));
        if (!u || *u < 1 || *u > 8)
            return std::nullopt;
        return DeviceRef{head4 == word::kKindPpkp ? DeviceKind::Ppkp : DeviceKind::Brvu, *u, 0};
    }
    if (head3 == "БКА"_cp || head3 == word::kKindPiu) {
        auto s = Digits(n.substr(3, 1));
        auto l = Digits(n.substr(4, 1));
        if (!s || !l || *s >= kSlotCount || *l < 1 || *l > kLinesPerDevice)
            return std::nullopt;
        return DeviceRef{head3 == word::kKindPiu ? DeviceKind::Piu : DeviceKind::Bka, *s, *l};
    }
    return std::nullopt;
}

int NumberAt(std::string_view value, std::size_t first, std::size_t last, const ValuePlace& where) {
    std::string_view part =
        first <= value.size() ? value.substr(first - 1, last - first + 1) : std::string_view{};
    bool ok = !part.empty() && part.size() == last - first + 1;
    int n = 0;
    for (char c : part) {
        if (c < '0' || c > '9') {
            ok = false;
            break;
        }
        n = n * 10 + (c - '0');
    }
    if (!ok)
        throw ConvertError(msg::notAnInteger(
            text::toUtf8(part), where.file.string() + " [" + text::toUtf8(where.section) + "] " +
                                    text::toUtf8(where.key) + "=" + text::toUtf8(value)));
    return n;
}

bool HasWideNumberDevice(std::string_view value) {
    const std::string_view head = value.substr(0, 3);
    return head == "ВНЕ"_cp || head == "СЦЕ"_cp;
}

std::optional<OutputRef> ReadOutputRef(std::string_view v, bool wideNumber, bool piuIsBka,
                                       const ValuePlace& w) {
    const std::string_view head = v.substr(0, 3);
    OutputRef r;
    if (head == "ПУ-"_cp) {
        r.device = {DeviceKind::Pu, 0, 0};
    } else if (head == "ППК"_cp) {
        r.device = {DeviceKind::Ppkp, NumberAt(v, 5, 5, w), 0};
    } else if (head == "БРВ"_cp) {
        r.device = {DeviceKind::Brvu, NumberAt(v, 5, 5, w), 0};
    } else if (head == "БКА"_cp || (piuIsBka && head == word::kKindPiu)) {
        const int slot = NumberAt(v, 4, 4, w);
        r.device = {DeviceKind::Bka, slot, NumberAt(v, 5, 5, w)};
    } else if (HasWideNumberDevice(v)) {
        r.device = {head == "ВНЕ"_cp ? DeviceKind::External : DeviceKind::Scenario, 0, 0};
        r.number = wideNumber ? NumberAt(v, 7, 9, w) : NumberAt(v, 7, 8, w);
        return r;
    } else {
        return std::nullopt;
    }
    r.number = NumberAt(v, 7, 8, w);
    return r;
}

std::string OutputRefText(const OutputRef& ref, bool wideAbove96) {
    const bool wide =
        wideAbove96 && ref.number > kShortNumberMax &&
        (ref.device.kind == DeviceKind::External || ref.device.kind == DeviceKind::Scenario);
    std::string s = ref.device.name();
    s += '/';
    text::AppendDecimal(s, ref.number, wide ? 3 : 2);
    s += '/';
    return s;
}

// ---- relay functions ----------------------------------------------------------

namespace {
constexpr std::array<std::string_view, kRelayFunctionCount> kRelayWords = {
    "ПУСК 1"_cp,     "ПУСК 2"_cp,    "ПУСК 3"_cp,     "ПУСК 4"_cp, "ТАБЛО\"ОПОВЕЩ.\""_cp,
    "БЛОКИРОВКА"_cp, "АВТ.ОТКЛ."_cp, "ПОДАЧА ОТВ"_cp, "СТОП"_cp,   "РЕЗЕРВ.ПУСК"_cp};
constexpr std::string_view kOldBoardWord = "ТАБЛО\"ГАЗ..\""_cp; // an older name of code 4
} // namespace

std::string_view RelayFunctionWord(int code) {
    return code >= 0 && code < kRelayFunctionCount ? kRelayWords[code] : word::kNone;
}

int RelayFunctionCode(std::string_view w) {
    for (int i = 0; i < kRelayFunctionCount; ++i)
        if (w == kRelayWords[i])
            return i;
    if (w == kOldBoardWord)
        return 4;
    if (w == word::kNone)
        return kRelayFunctionNone;
    return -1;
}

} // namespace kvort
