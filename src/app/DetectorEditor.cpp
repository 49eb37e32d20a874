#include "DetectorEditor.h"

#include "document/Detectors.h"
#include "document/EditorViews.h"
#include "text/Cp1251.h"
#include "text/Format.h"
#include "text/Literals.h"

#include <algorithm>

namespace kvort {

using namespace text::literals;

namespace {

// The line breaks of the ШЛЕЙФ questions are LF then CR, as the panel's
// documentation has always printed them.
constexpr std::string_view kBreak = "\n\r";

std::string typedText(std::string_view typed, std::size_t length) {
    std::string s = text::typingFilter(text::upper(typed));
    if (s.size() > length)
        s.resize(length);
    return s;
}

// 8 relays unless the [СОСТАВ] value names a 4-line device ("ПУ-П(4)",
// "ППКП(4)"): the file format holds "ППКП" and "ППКП(8)" for the same panel.
int relayCount(const IniStore& cnf, int slot) {
    if (!cnf.KeyExists(SectionComposition(), SlotKey(slot)))
        return 8;
    return KindLineCount(SlotKind(cnf, slot));
}

std::vector<std::string> numbers(int count) {
    std::vector<std::string> out;
    for (int n = 1; n <= count; ++n)
        out.push_back(text::Format(n <= kShortNumberMax ? "%2.2d" : "%3.3d", {n}));
    return out;
}

bool startsWith(std::string_view s, std::string_view head) {
    return s.rfind(head, 0) == 0;
}

} // namespace

std::string ZoneNameInput(std::string_view typed) {
    return typedText(typed, kZoneNameLength);
}
std::string DetectorTextInput(std::string_view typed) {
    return typedText(typed, kDetectorTextLength);
}

bool AddressOffered(std::string_view kind, int line, int address) {
    const DetectorGridLayout layout = LayOutDetectorGrid(kind);
    return std::any_of(layout.rows.begin(), layout.rows.end(), [&](const DetectorGridRow& r) {
        return r.line == line && r.address == address;
    });
}

bool RefuseOpening(UserPrompts& prompts, const IniStore& tb, const DetectorPlace& at) {
    if (at.address == 1)
        return false;
    const std::string first = SensorAddress(at.slot, at.line, 1);
    if (tb.ReadString(first, key::kType, "") != TypeWord(kTypeLoop))
        return false;
    prompts.message("ВНИМАНИЕ"_cp, "В БЕЗАДРЕСНЫЙ ШЛЕЙФ НЕЛЬЗЯ ПОДКЛЮЧАТЬ АДРЕСНЫЕ ИЗВЕЩАТЕЛИ"_cp,
                    MsgIcon::Warning, MsgButtons::Ok);
    return true;
}

DetectorOffer OfferAt(std::string_view kind, int address) {
    DetectorOffer o;
    o.loopChoice = address == 1 && (startsWith(kind, "ПУ"_cp) || startsWith(kind, "ПП"_cp));
    o.groupCopy = address >= 1 && address <= kAddressesPerLine - 2;
    o.copyFrom = address + 1;
    return o;
}

TypeView TypeRules(int choice, const DetectorOffer& offer) {
    TypeView v;
    v.groupCopy = offer.groupCopy && choice != kTypeLoop;
    v.linkedOutput = choice >= kTypeSmoke && choice <= kTypeNoLatch;
    v.hideBox = v.linkedOutput && choice >= kTypeTech;
    return v;
}

DetectorForm FillDetectorForm(const IniStore& cnf, const IniStore& tb, const DetectorPlace& at,
                              std::string_view lastZone) {
    const std::string kind = SlotKind(cnf, at.slot);
    const DetectorOffer offer = OfferAt(kind, at.address);
    DetectorDefaults defaults;
    defaults.state = word::kOff;
    defaults.output = word::kNone;
    defaults.hide = word::kNone;
    const DetectorRecord rec = ReadDetector(tb, at.slot, at.line, at.address, defaults);
    DetectorForm f;
    f.text = rec.text;
    f.zone = rec.zone.empty() ? std::string(lastZone) : rec.zone;
    f.stateOn = rec.state == word::kOn;

    if (rec.type.empty()) {
        if (kind == word::kKindBdu)
            f.choice = 2;
        else if (kind == word::kKindPiu)
            f.choice = at.address < 25 ? kTypeBka : kTypeTech;
    }
    int code = rec.type == "ОХРАНА"_cp ? kTypeTech : TypeCode(rec.type);
    // A ШЛЕЙФ written where the choice is not offered (a hand-made file)
    // must not become one: saving it would erase the rest of the line.
    if (code == kTypeLoop && !offer.loopChoice)
        code = -1;
    if (code > kTypeSmoke)
        f.choice = code;

    if (f.choice <= kTypeNoLatch) {
        if (auto out = ParseLinkedOutput(rec.output)) {
            f.device = ShownOutputDevice(out->device, cnf);
            f.number = out->number;
        }
        f.hide = rec.hide != word::kNone;
    }
    return f;
}

bool ZoneListed(std::string_view zone, const ZoneNames& zones) {
    return zone.empty() || std::find(zones.begin(), zones.end(), zone) != zones.end();
}

void ReportUnlistedZone(UserPrompts& prompts) {
    prompts.message("ВНИМАНИЕ"_cp, "НАИМЕНОВАНИЕ ЗОНЫ ОТСУТСТВУЕТ В ОБЩЕМ СПИСКЕ ЗОН"_cp,
                    MsgIcon::Error, MsgButtons::Ok);
}

std::vector<std::string> OutputNumbers(const IniStore& cnf, std::string_view device) {
    const auto ref = DeviceRef::parse(device);
    if (!ref)
        return {};
    switch (ref->kind) {
    case DeviceKind::Pu:
    case DeviceKind::Ppkp:
        return numbers(relayCount(cnf, ref->unit));
    case DeviceKind::Piu:
        return numbers(24); // the 24 outputs of a ПИУ, not its 48 inputs
    default:
        return numbers(ref->maxNumber());
    }
}

SaveResult SaveDetector(UserPrompts& prompts, IniStore& tb, std::string_view kind,
                        const DetectorPlace& at, const DetectorForm& form) {
    SaveResult result;
    // The store trims values, so a text of blanks would be saved as none.
    if (text::trim(form.text).empty()) {
        prompts.message("ОШИБКА"_cp, "НЕТ ТЕКСТОВОГО СООБЩЕНИЯ"_cp, MsgIcon::Error, MsgButtons::Ok);
        return result;
    }
    if (text::trim(form.zone).empty()) {
        prompts.message("ОШИБКА"_cp, "НЕ ВЫБРАНА ЗОНА"_cp, MsgIcon::Error, MsgButtons::Ok);
        return result;
    }
    const DetectorOffer offer = OfferAt(kind, at.address);
    if (form.choice == kTypeLoop) {
        auto join = [](std::initializer_list<std::string_view> lines) {
            std::string s;
            for (std::string_view l : lines)
                s += (s.empty() ? "" : std::string(kBreak)) + std::string(l);
            return s;
        };
        const std::string first = join(
            {"БЕЗАДРЕСНЫЙ РЕЖИМ РАБОТАЕТ В ПРИБОРАХ"_cp, " С ВЕРСИЕЙ ПО V11h081018 И ВЫШЕ"_cp});
        const std::string second =
            join({"ЛИНИЯ БУДЕТ ПЕРЕВЕДЕНА В БЕЗАДРЕСНЫЙ РЕЖИМ"_cp,
                  "ЕСЛИ В ЭТОЙ ЛИНИИ ЕСТЬ ДРУГИЕ ИЗВЕЩАТЕЛИ,"_cp, "ОНИ БУДУТ УДАЛЕНЫ"_cp});
        for (const std::string& question : {first, second})
            if (prompts.message("ВНИМАНИЕ"_cp, question, MsgIcon::Warning, MsgButtons::OkCancel) !=
                MsgResult::Ok) {
                result.outcome = SaveOutcome::LoopDeclined;
                return result;
            }
    }

    DetectorRecord rec;
    rec.text = form.text;
    rec.state = std::string(form.stateOn ? word::kOn : word::kOff);
    rec.type = std::string(TypeWord(form.choice));
    rec.zone = form.zone;
    if (TypeRules(form.choice, offer).linkedOutput) {
        if (!form.device.empty())
            rec.output = JoinLinkedOutput(StoredOutputDevice(form.device), form.number);
        rec.hide = form.hide ? std::string(word::kYes) : std::string();
    }

    // One durable write of the file, however many records change.
    IniStore::Batch batch(tb);
    WriteDetector(tb, at.slot, at.line, at.address, rec);
    result.changed.push_back(at.address);
    if (form.choice == kTypeLoop && at.address == 1)
        for (int a = 2; a <= kAddressesPerLine; ++a)
            result.changed.push_back(a);
    if (form.copy && TypeRules(form.choice, offer).groupCopy) {
        for (int a = at.address + 1; a <= std::min(form.copyTo, kAddressesPerLine); ++a) {
            if (!AddressOffered(kind, at.line, a))
                continue;
            const std::string section = SensorAddress(at.slot, at.line, a);
            tb.WriteString(section, key::kText, rec.text);
            tb.WriteString(section, key::kState, word::kOff);
            tb.WriteString(section, key::kType, rec.type);
            tb.WriteString(section, key::kZone, rec.zone);
            result.changed.push_back(a);
        }
    }
    batch.commit();
    result.outcome = SaveOutcome::Saved;
    return result;
}

} // namespace kvort
