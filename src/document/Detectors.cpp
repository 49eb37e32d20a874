#include "Detectors.h"

#include "Config.h"
#include "text/Format.h"
#include "text/Literals.h"

#include <array>

namespace kvort {

using namespace text::literals;

namespace {
constexpr std::array<std::string_view, kTypeCount> kWords = {
    "ДЫМОВОЙ"_cp, "ТЕПЛОВОЙ"_cp, "РУЧНОЙ"_cp,       "СВЕТОВОЙ"_cp, "КОНТАКТ"_cp,
    "ТЕХНОЛОГ"_cp, "БЕЗ ФИКСАЦИИ"_cp, "БКА"_cp, "ШЛЕЙФ"_cp,
};
constexpr std::array<std::string_view, kTypeCount> kCaptions = {
    "ДЫМОВОЙ"_cp,   "ТЕПЛОВОЙ"_cp,     "РУЧН"_cp, "СВЕТОВОЙ"_cp, "БСА/ ВХ.БКА"_cp,
    "ТЕХНОЛОГ."_cp, "БЕЗ ФИКСАЦИИ"_cp, "БКА"_cp,  "ШЛЕЙФ"_cp,
};
} // namespace

std::string SensorAddress(int slot, int line, int address) {
    return text::Format("%s%1.1d%1.1d-%2.2d", {"И"_cp, slot, line, address});
}

std::string_view TypeWord(int code) { return code >= 0 && code < kTypeCount ? kWords[code] : ""; }
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
    std::string sec = SensorAddress(slot, line, address);
    DetectorRecord r;
    r.text = tb.ReadString(sec, "ТЕКСТ"_cp, "");
    r.type = tb.ReadString(sec, "ТИП"_cp, d.type);
    r.zone = tb.ReadString(sec, "ЗОНА"_cp, "");
    r.state = tb.ReadString(sec, "СОСТОЯНИЕ"_cp, d.state);
    r.output = tb.ReadString(sec, "ВЫХОД"_cp, d.output);
    r.hide = tb.ReadString(sec, "СКРЫТЬ"_cp, d.hide);
    return r;
}

void WriteDetector(IniStore& tb, int slot, int line, int address, const DetectorRecord& rec) {
    std::string sec = SensorAddress(slot, line, address);
    tb.WriteString(sec, "ТЕКСТ"_cp, rec.text);
    tb.WriteString(sec, "СОСТОЯНИЕ"_cp, rec.state);
    tb.WriteString(sec, "ТИП"_cp, rec.type);
    tb.WriteString(sec, "ЗОНА"_cp, rec.zone);
    int code = TypeCode(rec.type);
    bool outputAllowed = code >= kTypeSmoke && code <= kTypeNoLatch;
    if (outputAllowed && !rec.output.empty() && rec.output != "НЕТ"_cp)
        tb.WriteString(sec, "ВЫХОД"_cp, rec.output);
    else
        tb.DeleteKey(sec, "ВЫХОД"_cp);
    // A БКА module keeps whatever display mark it had: the dialog hides the
    // box for it, so the person had no say in it.
    if (code != kTypeBka) {
        if (code != kTypeLoop && !rec.hide.empty() && rec.hide != "НЕТ"_cp)
            tb.WriteString(sec, "СКРЫТЬ"_cp, "ДА"_cp);
        else
            tb.DeleteKey(sec, "СКРЫТЬ"_cp);
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

std::optional<LinkedOutput> ParseLinkedOutput(std::string_view v) {
    if (v.size() < 8 || v == "НЕТ"_cp)
        return std::nullopt;
    LinkedOutput o;
    o.device = std::string(v.substr(0, 5));
    std::string_view head = v.substr(0, 3);
    bool wide = head == "СЦЕ"_cp || head == "ВНЕ"_cp;
    size_t w = wide && v.size() != 9 ? 3 : 2;
    if (v.size() < 6 + w)
        return std::nullopt;
    o.number = std::string(v.substr(6, w));
    return o;
}

std::string JoinLinkedOutput(std::string_view device, std::string_view number) {
    return std::string(device) + "/" + std::string(number) + "/";
}

std::string StoredOutputDevice(std::string_view shown) {
    if (shown.rfind("ПИУ"_cp, 0) == 0)
        return std::string("БКА"_cp) + std::string(shown.substr(3));
    return std::string(shown);
}

std::string ShownOutputDevice(std::string_view stored, const IniStore& cnf) {
    if (stored.size() >= 4 && stored.rfind("БКА"_cp, 0) == 0 && stored[3] >= '0' &&
        stored[3] <= '8' && SlotKind(cnf, stored[3] - '0') == "ПИУ"_cp)
        return std::string("ПИУ"_cp) + std::string(stored.substr(3));
    return std::string(stored);
}

} // namespace kvort
