#include "Decoder.h"

#include "document/Config.h"
#include "document/ConfigFileSet.h"
#include "document/Detectors.h"
#include "document/IniStore.h"
#include "text/Cp1251.h"
#include "text/Format.h"
#include "text/Literals.h"

#include <array>
#include <memory>

namespace kvort {

using namespace text::literals;
using text::Format;
namespace map = imagemap;

namespace {

// Characters from the image, as CP1251. A control byte cannot come from a
// person's typing; in a corrupted image a CR or LF would break the INI line
// it lands in, so every one becomes a blank.
std::string Chars(std::string_view panelBytes) {
    std::string out = PanelText(panelBytes);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    return out;
}

// A key taken from the image must read back as itself.
bool UsableKey(std::string_view key) {
    std::string_view t = text::trim(key);
    return !t.empty() && t.front() != '[' && t.front() != ';' &&
           key.find('=') == std::string_view::npos;
}

std::string_view TypeName(int code) {
    return TypeWord(code);
}

std::string RelayFunctionName(std::uint8_t code) {
    if (code <= 3)
        return std::string("ПУСК "_cp) + std::to_string(code + 1);
    switch (code) {
    case 4:
        return std::string("ТАБЛО\"ОПОВЕЩ.\""_cp);
    case 5:
        return std::string("БЛОКИРОВКА"_cp);
    case 6:
        return std::string("АВТ.ОТКЛ."_cp);
    case 7:
        return std::string("ПОДАЧА ОТВ"_cp);
    case 8:
        return std::string("СТОП"_cp);
    case 9:
        return std::string("РЕЗЕРВ.ПУСК"_cp);
    default:
        return std::string("НЕТ"_cp);
    }
}

std::string Digit(int d) {
    return std::to_string(d);
}

std::string LinkedTarget(std::uint8_t T, std::uint8_t R) {
    if (T < 0x48 && R == TOutputTarget::kRelay)
        return (T / 8 == 0 ? std::string("ПУ-П "_cp) : std::string("ППКП"_cp) + Digit(T / 8)) +
               "/" + Format("%2.2d/", {T % 8 + 1});
    if (T < 0x48)
        return Format("%s%1.1d%1.1d/%2.2d/", {"БКА"_cp, T / 8, T % 8 + 1, (R & 0x7F) + 1});
    if (T >= 0x48 && T <= 0x4F)
        return std::string("БРВУ"_cp) + Digit(T - 0x47) + "/" + Format("%2.2d/", {R + 1});
    if (T == TOutputTarget::kExternal || T == TOutputTarget::kScenario)
        return std::string(T == TOutputTarget::kExternal ? "ВНЕШН/"_cp : "СЦЕН./"_cp) +
               Format(R + 1 > 96 ? "%3.3d/" : "%2.2d/", {R + 1});
    return std::string("НЕТ"_cp);
}

// Target part of a scenario step; empty for a code no row covers (the
// encoder never writes one), which ends the step list like an empty step.
std::string StepTarget(std::uint8_t T, std::uint8_t R) {
    if (T < 0x48 && R == TOutputTarget::kRelay)
        return T / 8 == 0 ? Format("%s%2.2d/", {"ПУ-П /"_cp, T % 8 + 1})
                          : Format("%s%1.1d/%2.2d/", {"ППКП"_cp, T / 8, T % 8 + 1});
    if (T < 0x48)
        return Format("%s%1.1d%1.1d/%2.2d/", {"БКА"_cp, T / 8, T % 8 + 1, R + 1});
    if (T <= 0x4F)
        return Format("%s%1.1d/%2.2d/", {"БРВУ"_cp, T - 0x47, (R & 7) + 1});
    if (T == TOutputTarget::kExternal)
        return Format(R + 1 > 96 ? "%s%3.3d/" : "%s%2.2d/", {"ВНЕШН/"_cp, R + 1});
    if (T == TOutputTarget::kScenario)
        return Format("%s%2.2d/", {"СЦЕН./"_cp, R + 1});
    return {};
}

struct SlotFiles {
    std::array<std::unique_ptr<IniStore>, kSlotCount> stores;
    std::array<std::unique_ptr<IniStore::Batch>, kSlotCount> batches;
};

} // namespace

int DecodePanelImage(const TPanelImage& image, const std::filesystem::path& cnfPath,
                     CodecProgress* progress) {
    if (progress)
        progress->setBusy(true);
    IniStore cnf(cnfPath);
    IniStore::Batch cnfBatch(cnf);
    const ConfigFileSet files(cnfPath);

    // 1. System keys.
    cnf.WriteString(SectionSystem(), "НАИМЕНОВАНИЕ"_cp, "КВОРТ"_cp);
    cnf.WriteString(SectionSystem(), "ВЕРСИЯ"_cp, ToolVersion());
    cnf.WriteString(SectionAddress(), "АДРЕС"_cp, "-1");

    // 2. Series.
    const int series = image.byte(map::kISeriesMarker) == map::kSeriesMarker ? kSeriesI : kSeriesFH;
    map::SeriesMap m = map::seriesMap(series);
    if (series == kSeriesFH && image.byte(map::kFhDeviceList) > 0x01)
        m.deviceList = map::kFhDeviceListOld;

    // 3. Composition. The header bytes and the line map are the panel's word
    // only as far as they stay inside the image.
    const std::uint32_t L =
        image.byte(map::kHeaderLineMapHigh) * 256u + image.byte(map::kHeaderLineMapLow);
    for (int s = 0; s < kSlotCount; ++s) {
        if (!TPanelImage::contains(L + s) || image.byte(L + s) == 0x00)
            break;
        // Slot 0 is the ПУ-П whatever its code: a ППКП there would leave the
        // configuration without a main panel ([ПРИБОРЫ] "ППКП0").
        std::uint8_t code = s == 0 ? 0 : image.byte(m.deviceList + s);
        std::string kind;
        switch (code) {
        case 0:
        case 1:
            kind = "ПУ-П(8)"_cp;
            break;
        case 2:
        case 3:
            kind = "ППКП(8)"_cp;
            break;
        case 4:
            kind = "БРИТ "_cp;
            break;
        case 5:
            kind = "ПИУ"_cp;
            break;
        default:
            kind = s == 0 ? "ПУ-П(8)"_cp : "ППКП(8)"_cp;
        }
        cnf.WriteString(SectionComposition(), std::to_string(s), kind);
        cnf.WriteString(SectionDevices(), SlotDeviceKey(s), "-8");
    }

    // 4. Zone names, blanks kept (the store trims them on reading).
    const std::uint32_t Z =
        image.byte(map::kHeaderLineMapHigh) * 256u + image.byte(map::kHeaderZones);
    std::array<std::string, kZoneCount> zoneNames;
    for (int k = 1; k <= kZoneCount; ++k) {
        std::string raw;
        std::uint32_t at = Z + (k - 1) * map::kZoneNameSize;
        for (std::uint32_t i = 0; i < map::kZoneNameSize && TPanelImage::contains(at + i); ++i)
            raw.push_back(static_cast<char>(image.byte(at + i)));
        std::string name = Chars(raw);
        cnf.WriteString(SectionZones(), std::to_string(k), name);
        zoneNames[k - 1] = std::string(text::trim(name));
    }

    // 5. Plans.
    cnf.WriteString(SectionPlan(), "0", "");
    for (int k = 1; k <= kZoneCount; ++k)
        cnf.WriteString(SectionZonePlan(), std::to_string(k), "");

    // 6. Detector files.
    SlotFiles slots;
    std::uint32_t textStop = 0; // highest offset at which a text read stopped
    // The same for the description list, where an enabled address without a
    // text offset counts as a text reaching 0xFFFF: such a record is what a
    // text that did not fit leaves behind, so the bytes above the lower part
    // may be texts.
    std::uint32_t textReach = 0;
    for (int s = 0; s < kSlotCount; ++s) {
        if (cnf.ReadString(SectionComposition(), std::to_string(s), "").empty())
            continue;
        writeFile(files.tb(s), "");
        slots.stores[s] = std::make_unique<IniStore>(files.tb(s));
        slots.batches[s] = std::make_unique<IniStore::Batch>(*slots.stores[s]);
        IniStore& tb = *slots.stores[s];
        for (int l = 1; l <= kLinesPerDevice; ++l)
            for (int a = 1; a <= kAddressesPerLine; ++a) {
                TDetectorRecord rec = TDetectorRecord::read(image, map::detectorRecord(s, l, a));
                if (rec.empty())
                    continue;
                std::string sec = SensorAddress(s, l, a);
                // The loop mode lives in the line's slot 62, not in the type
                // code; without it a loop line would come back addressable.
                bool loop = a == 1 && rec.type() == kTypeSmoke &&
                            image.byte(map::detectorRecord(s, l, 1) + map::kLoopMarkInLine) ==
                                map::kLoopMark;
                tb.WriteString(sec, "ТИП"_cp, TypeName(loop ? kTypeLoop : rec.type()));
                tb.WriteString(sec, "ЗОНА"_cp, zoneNames[rec.zoneIndex()]);
                tb.WriteString(sec, "СОСТОЯНИЕ"_cp, rec.disabled() ? "ВЫКЛ"_cp : "ВКЛ"_cp);
                std::string txt;
                if (rec.textOffset != 0xFFFF) {
                    std::string raw = image.cString(rec.textOffset, map::kTextMax);
                    txt = Chars(raw);
                    textStop = std::max(textStop, rec.textOffset + std::uint32_t(raw.size()));
                } else {
                    textReach = 0xFFFF;
                }
                tb.WriteString(sec, "ТЕКСТ"_cp, txt);
            }
        if (progress)
            progress->setProgress((s + 1) * 10 + 10, 100);
    }

    // 7. Relay function descriptions.
    const std::uint32_t B = m.descriptions;
    textReach = std::max(textReach, textStop);
    // In an F/H image the byte before the area may be a text character; the
    // I form is only taken there when the texts end before the area. The
    // list form, in either series, only when they do.
    const bool areaFree = B > textReach;
    if ((series == kSeriesI || areaFree) && image.byte(B - 1) == map::kDescriptionMarker) {
        for (int d = 0; d <= 16; ++d)
            for (int o = 1; o <= 8; ++o) {
                std::uint32_t at = B + d * map::kIDescriptionDeviceSize + (o - 1) * map::kFieldSize;
                if (image.byte(at) == 0x00)
                    continue;
                std::string key = d == 0   ? std::string("ПУ-П /0"_cp)
                                  : d <= 8 ? std::string("ППКП"_cp) + Digit(d) + "/0"
                                           : std::string("БРВУ"_cp) + Digit(d - 8) + "/0";
                cnf.WriteString(SectionDescriptions(), key + Digit(o),
                                Chars(image.cString(at, map::kFieldSize)));
            }
    } else if (areaFree) {
        std::uint32_t pos = B;
        while (pos < m.linkedOutputs && image.byte(pos) != 0xFF) {
            std::string raw;
            while (pos < m.linkedOutputs && image.byte(pos) != 0x00)
                raw.push_back(static_cast<char>(image.byte(pos++)));
            ++pos; // past the terminator
            std::string line = Chars(raw);
            std::string key = line.substr(0, 8);
            if (UsableKey(key))
                cnf.WriteString(SectionDescriptions(), key, line.size() > 9 ? line.substr(9) : "");
        }
    }

    // 8. Device comments (series I).
    if (series == kSeriesI) {
        for (int k = 0; k <= 24; ++k) {
            std::string v =
                Chars(image.cString(map::kIComments + k * map::kFieldSize, map::kFieldSize, true));
            if (v.empty())
                continue;
            std::string key = k == 0    ? std::string("ПУ-П"_cp)
                              : k <= 8  ? std::string("ППКП"_cp) + Digit(k)
                              : k <= 16 ? std::string("БРВУ"_cp) + Digit(k - 8)
                                        : std::string("БДУ"_cp) + Digit(k - 16);
            cnf.WriteString(SectionComments(), key, v);
        }
    }

    // 9. Linked outputs. The source slot's file must be one this decoding
    // wrote; anything else is a record the image cannot mean. Where the
    // detector texts run into the table (an image the check refused), its
    // bytes are texts, not records.
    for (std::uint32_t pos = m.linkedOutputs;
         textStop < m.linkedOutputs &&
         pos + map::kLinkedOutputSize <= m.scenarios - map::kScenarioSize &&
         image.byte(pos) != 0xFF;
         pos += map::kLinkedOutputSize) {
        TLinkedOutputRecord rec = TLinkedOutputRecord::read(image, pos);
        int slot = rec.lineCode / 8;
        if (slot >= kSlotCount || !slots.stores[slot])
            throw FileError("Panel image: linked output at offset " + std::to_string(pos) +
                            " names device slot " + std::to_string(slot) +
                            ", which has no detector file " + files.tb(slot).string());
        std::string sec =
            Format("И%1.1d%1.1d-%2.2d"_cp, {slot, rec.lineCode % 8 + 1, (rec.address & 0x7F) + 1});
        IniStore& tb = *slots.stores[slot];
        tb.WriteString(sec, "ВЫХОД"_cp, LinkedTarget(rec.target.T, rec.target.R));
        if (rec.address & 0x80)
            tb.WriteString(sec, "СКРЫТЬ"_cp, "ДА"_cp);
    }

    // 10. Scenarios, unless the detector texts run into their table.
    for (int k = 1; k <= kScenarioCount && textStop < m.scenarios; ++k) {
        TScenarioRecord rec =
            TScenarioRecord::read(image, m.scenarios + (k - 1) * map::kScenarioSize);
        int mode = rec.mode >> 4;
        if (mode == 0)
            continue;
        std::string sec = ScenarioSection(k);
        if (mode <= 13) {
            cnf.WriteInteger(sec, "РЕЖИМ"_cp, mode);
            if (!(mode == 1 || (mode >= 7 && mode <= 9)))
                cnf.WriteInteger(sec, "ЗОНА"_cp, rec.zone);
        }
        for (int j = 1; j <= kStepCount; ++j) {
            const TScenarioStep& st = rec.steps[j - 1];
            if (st.T == 0xFF)
                break;
            std::string target = StepTarget(st.T, st.R & 0x7F);
            if (target.empty())
                break;
            target += Format((st.R & 0x80) ? "%s/%3.3d" : "%s /%3.3d",
                             {(st.R & 0x80) ? "ВЫКЛ"_cp : "ВКЛ"_cp, st.delay * 2});
            cnf.WriteString(sec, StepKey(j), target);
        }
        if (series == kSeriesI) {
            std::uint32_t at = map::kINotes + (k - 1) * map::kFieldSize;
            if (image.byte(at) != 0x00 && image.byte(at) != 0xFF)
                cnf.WriteString(sec, "ПРИМЕЧАНИЕ"_cp, Chars(image.cString(at, map::kFieldSize)));
        }
    }

    // 11. Directions. Their place follows from the device count in 0x03FE,
    // which a corrupted image may make point anywhere.
    const long start = (long(image.byte(map::kHeaderSecondCopy)) - 2) * map::kDeviceTableSize +
                       map::kDirectionsFromD;
    if (start >= 0 && TPanelImage::contains(start, kDirectionCount * map::kDirectionSize)) {
        for (int n = 1; n <= kDirectionCount; ++n) {
            TDirectionRecord d = TDirectionRecord::read(image, static_cast<std::uint32_t>(start) +
                                                                   (n - 1) * map::kDirectionSize);
            if (!d.configured())
                continue;
            std::string sec = DirectionSection(n);
            cnf.WriteString(sec, "ЗОНА"_cp, zoneNames[d.bytes[1]]);
            for (int i = 1; i <= kRelayCount; ++i)
                cnf.WriteString(sec, RelayKey(i), RelayFunctionName(d.bytes[2 + i]));
            if (d.bytes[8] <= 0x5F)
                cnf.WriteString(sec, "СЦЕН."_cp, Format("%2.2d", {d.bytes[8] + 1}));
            if (d.bytes[9] < 0x48 && d.bytes[10] < 0x3C)
                cnf.WriteString(sec, "БРИТ"_cp,
                                Format("%1.1d%1.1d/%2.2d",
                                       {d.bytes[9] / 8, d.bytes[9] % 8 + 1, d.bytes[10] + 1}));
        }
    }

    for (auto& b : slots.batches)
        if (b)
            b->commit();
    cnfBatch.commit();
    if (progress)
        progress->setBusy(true);
    return series;
}

} // namespace kvort
