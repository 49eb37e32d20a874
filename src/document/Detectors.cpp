#include "Detectors.h"

#include "Config.h"
#include "text/Format.h"
#include "text/Literals.h"

#include <array>

namespace kvort {

using namespace text::literals;

namespace {
constexpr std::array<std::string_view, kTypeCount> kWords = {
    "ДЫМОВОЙ"_cp,  "ТЕПЛОВОЙ"_cp,     "РУЧНОЙ"_cp, "СВЕТОВОЙ"_cp, "КОНТАКТ"_cp,
    "ТЕХНОЛОГ"_cp, "БЕЗ ФИКСАЦИИ"_cp, "БКА"_cp,    "ШЛЕЙФ"_cp,
};
constexpr std::array<std::string_view, kTypeCount> kCaptions = {
    "ДЫМОВОЙ"_cp,   "ТЕПЛОВОЙ"_cp,     "РУЧН"_cp, "СВЕТОВОЙ"_cp, "БСА/ ВХ.БКА"_cp,
    "ТЕХНОЛОГ."_cp, "БЕЗ ФИКСАЦИИ"_cp, "БКА"_cp,  "ШЛЕЙФ"_cp,
};
} // namespace

std::string_view TypeWord(int code) {
    return code >= 0 && code < kTypeCount ? kWords[code] : "";
}
std::string_view TypeCaption(int code) {
    return code >= 0 && code < kTypeCount ? kCaptions[code] : "";
}

int TypeCode(std::string_view word) {
    for (int i = 0; i < kTypeCount; ++i)
        if (kWords[i] == word)
            return i;
    return -1;
}

DetectorRecord ReadDetector(const IniStore& tb, int slot, int line, int address,
                            const DetectorDefaults& d) {
    return ReadDetector(tb, DetectorPlace{slot, line, address}, d);
}

DetectorRecord ReadDetector(const IniStore& tb, const DetectorPlace& at,
                            const DetectorDefaults& d) {
    const std::string sec = at.text();
    DetectorRecord r;
    // Most addresses hold nothing: one lookup answers all six keys (the
    // exports and the encoder read every address of every line).
    if (!tb.SectionExists(sec)) {
        r.type = d.type;
        r.state = d.state;
        r.output = d.output;
        r.hide = d.hide;
        return r;
    }
    r.text = tb.ReadString(sec, key::kText, "");
    r.type = tb.ReadString(sec, key::kType, d.type);
    r.zone = tb.ReadString(sec, key::kZone, "");
    r.state = tb.ReadString(sec, key::kState, d.state);
    r.output = tb.ReadString(sec, key::kOutput, d.output);
    r.hide = tb.ReadString(sec, key::kHide, d.hide);
    return r;
}

DetectorDefaults CodecDefaults() {
    DetectorDefaults d;
    d.state = std::string(word::kOff);
    d.output = std::string(word::kNone);
    return d;
}

bool StateOn(std::string_view state) {
    return state != word::kOff;
}

bool Hidden(std::string_view hide) {
    return hide == word::kYes;
}

void WriteDecodedDetector(IniStore& tb, const DetectorPlace& at, std::string_view type,
                          std::string_view zone, std::string_view state, std::string_view text) {
    const std::string sec = at.text();
    tb.WriteString(sec, key::kType, type);
    tb.WriteString(sec, key::kZone, zone);
    tb.WriteString(sec, key::kState, state);
    tb.WriteString(sec, key::kText, text);
}

void WriteLinkedOutput(IniStore& tb, const DetectorPlace& at, std::string_view output,
                       bool hidden) {
    const std::string sec = at.text();
    tb.WriteString(sec, key::kOutput, output);
    if (hidden)
        tb.WriteString(sec, key::kHide, word::kYes);
}

void WriteDetector(IniStore& tb, int slot, int line, int address, const DetectorRecord& rec) {
    std::string sec = SensorAddress(slot, line, address);
    tb.WriteString(sec, key::kText, rec.text);
    tb.WriteString(sec, key::kState, rec.state);
    tb.WriteString(sec, key::kType, rec.type);
    tb.WriteString(sec, key::kZone, rec.zone);
    int code = TypeCode(rec.type);
    bool outputAllowed = code >= kTypeSmoke && code <= kTypeNoLatch;
    if (outputAllowed && !rec.output.empty() && rec.output != word::kNone)
        tb.WriteString(sec, key::kOutput, rec.output);
    else
        tb.DeleteKey(sec, key::kOutput);
    // A БКА module keeps whatever display mark it had: the dialog hides the
    // box for it, so the person had no say in it.
    if (code != kTypeBka) {
        if (code != kTypeLoop && !rec.hide.empty() && rec.hide != word::kNone)
            tb.WriteString(sec, key::kHide, word::kYes);
        else
            tb.DeleteKey(sec, key::kHide);
    }
    if (code == kTypeLoop && address == 1)
        EraseLoopLine(tb, slot, line);
}

void DeleteDetector(IniStore& tb, int slot, int line, int address) {
    tb.EraseSection(SensorAddress(slot, line, address));
}

void EraseLoopLine(IniStore& tb, int slot, int line) {
    IniStore::Batch batch(tb);
    for (int a = 2; a <= kAddressesPerLine; ++a)
        tb.EraseSection(SensorAddress(slot, line, a));
    batch.commit();
}

bool LinkedOutputHasWideNumber(std::string_view v) {
    return HasWideNumberDevice(v) && v.size() != 9;
}

std::optional<LinkedOutput> ParseLinkedOutput(std::string_view v) {
    if (v.size() < 8 || v == word::kNone)
        return std::nullopt;
    LinkedOutput o;
    o.device = std::string(v.substr(0, 5));
    size_t w = LinkedOutputHasWideNumber(v) ? 3 : 2;
    if (v.size() < 6 + w)
        return std::nullopt;
    o.number = std::string(v.substr(6, w));
    return o;
}

std::string JoinLinkedOutput(std::string_view device, std::string_view number) {
    return std::string(device) + "/" + std::string(number) + "/";
}

std::string StoredOutputDevice(std::string_view shown) {
    if (shown.rfind(word::kKindPiu, 0) == 0)
        return std::string("БКА"_cp) + std::string(shown.substr(3));
    return std::string(shown);
}

std::string ShownOutputDevice(std::string_view stored, const IniStore& cnf) {
    if (stored.size() >= 4 && stored.rfind("БКА"_cp, 0) == 0 && stored[3] >= '0' &&
        stored[3] <= '8' && SlotKind(cnf, stored[3] - '0') == word::kKindPiu)
        return std::string(word::kKindPiu) + std::string(stored.substr(3));
    return std::string(stored);
}

} // namespace kvort
