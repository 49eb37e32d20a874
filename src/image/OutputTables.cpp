// The series-dependent passes: descriptions, comments and notes; the device
// list and linked outputs; the scenario table.
#include "Encoder.h"

#include "CodecDetail.h"

#include "document/Detectors.h"
#include "text/Literals.h"

#include <optional>

namespace kvort {

using namespace text::literals;
namespace map = imagemap;

namespace {

constexpr std::uint32_t kStoredChars = map::kFieldSize - 1; // 19 characters and a 0x00

// Description key of device field d (0 ПУ-П, 1..8 ППКП, 9..16 БРВУ), output o.
std::string DescriptionKey(int d, int o) {
    std::string dev = d == 0   ? std::string("ПУ-П "_cp)
                      : d <= 8 ? std::string("ППКП"_cp) + std::to_string(d)
                               : std::string("БРВУ"_cp) + std::to_string(d - 8);
    return dev + "/0" + std::to_string(o);
}

std::string CommentKey(int k) {
    if (k == 0)
        return std::string("ПУ-П"_cp);
    if (k <= 8)
        return std::string("ППКП"_cp) + std::to_string(k);
    if (k <= 16)
        return std::string("БРВУ"_cp) + std::to_string(k - 8);
    return std::string("БДУ"_cp) + std::to_string(k - 16);
}

void PutField(TPanelImage& image, std::uint32_t at, std::string_view value) {
    image.setBytes(at, value.substr(0, kStoredChars));
}

std::uint8_t DeviceCode(int slot, std::string_view kind) {
    if (kind == "ПУ-П(8)"_cp || kind == "ПУ-П(4)"_cp || kind == "ПУ-П"_cp)
        return kDeviceCodePu;
    if (kind == "ППКП(8)"_cp || kind == "ППКП(4)"_cp || kind == "ППКП"_cp)
        return kDeviceCodePpkp;
    if (kind == "БДУ(4)"_cp || kind == "БРИТ"_cp)
        return kDeviceCodeBrit;
    if (kind == "ПИУ"_cp)
        return kDeviceCodePiu;
    // An unknown kind (the check refuses it unless it was declined) is sent
    // as what the detector view shows for it: an 8-line panel.
    return slot == 0 ? kDeviceCodePu : kDeviceCodePpkp;
}

// Highest TextEnd a series allows before its upper map. For I the
// description marker at 0xBFFF is the first byte written above the texts.
std::uint32_t TextLimit(int series) {
    return series == kSeriesI ? map::kIDescriptionMarker : map::kFhLinkedOutputs;
}

struct Where {
    const std::filesystem::path& file;
    std::string_view section;
    std::string_view key;
};

int Num(std::string_view v, std::size_t i, std::size_t j, const Where& w) {
    return detail::NumberAt(v, i, j, w.file, w.section, w.key);
}

std::uint8_t Low(int v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}

// The device part shared by linked outputs and steps; nullopt when the
// first three characters name no device.
// A ПИУ output is "ПИУ" only in a linked output; steps always name it "БКА".
std::optional<TOutputTarget> ParseDevice(std::string_view v, bool longNumber, bool piu,
                                         const Where& w) {
    std::string_view head = v.substr(0, 3);
    TOutputTarget t;
    if (head == "ПУ-"_cp) {
        t = {Low(Num(v, 7, 8, w) - 1), TOutputTarget::kRelay};
    } else if (head == "ППК"_cp) {
        t = {Low(Num(v, 5, 5, w) * 8 + Num(v, 7, 8, w) - 1), TOutputTarget::kRelay};
    } else if (head == "БРВ"_cp) {
        t = {Low(Num(v, 5, 5, w) + 0x47), Low(Num(v, 7, 8, w) - 1)};
    } else if (head == "БКА"_cp || (piu && head == "ПИУ"_cp)) {
        t = {Low(Num(v, 4, 4, w) * 8 + Num(v, 5, 5, w) - 1), Low(Num(v, 7, 8, w) - 1)};
    } else if (head == "ВНЕ"_cp || head == "СЦЕ"_cp) {
        t.T = head == "ВНЕ"_cp ? TOutputTarget::kExternal : TOutputTarget::kScenario;
        t.R = Low((longNumber ? Num(v, 7, 9, w) : Num(v, 7, 8, w)) - 1);
    } else {
        return std::nullopt;
    }
    return t;
}

} // namespace

OutputTextsResult EncodeOutputTexts(TPanelImage& image, const IniStore& cnf, int DeviceSeries) {
    if (DeviceSeries == kSeriesI) {
        // Texts reaching the description marker would be overwritten by it,
        // the descriptions and the comments: write nothing (the linked-output
        // pass then stops the write for the text space).
        if (image.TextEnd() > map::kIDescriptionMarker)
            return OutputTextsResult::NotStored;
        image.setByte(map::kIDescriptionMarker, map::kDescriptionMarker);
        image.fill(map::kIDescriptions, map::kIDescriptionsZeroEnd - map::kIDescriptions + 1, 0);
        for (int d = 0; d <= 16; ++d)
            for (int o = 1; o <= 8; ++o) {
                std::string v = cnf.ReadString(SectionDescriptions(), DescriptionKey(d, o), "");
                PutField(image,
                         map::kIDescriptions + d * map::kIDescriptionDeviceSize +
                             (o - 1) * map::kFieldSize,
                         v);
            }
        image.fill(map::kIComments, map::kICommentsZeroEnd - map::kIComments + 1, 0);
        for (int k = 0; k <= 24; ++k)
            PutField(image, map::kIComments + k * map::kFieldSize,
                     cnf.ReadString(SectionComments(), CommentKey(k), ""));
        image.fill(map::kINotes, map::kINotesZeroEnd - map::kINotes + 1, 0);
        for (int k = 1; k <= kScenarioCount; ++k)
            PutField(image, map::kINotes + (k - 1) * map::kFieldSize,
                     cnf.ReadString(ScenarioSection(k), "ПРИМЕЧАНИЕ"_cp, ""));
        return OutputTextsResult::Done;
    }
    if (DeviceSeries != kSeriesFH)
        return OutputTextsResult::NoSeries;

    if (image.TextEnd() > map::kFhDescriptions)
        return OutputTextsResult::NotStored;
    // Packed KEY=VALUE strings in file order. The last byte a terminator may
    // take is 0x8DFF; the byte after the list is the 0xFF already there, or,
    // when the list is cut at 0x8DFF, the first byte of the linked-output
    // table (the decoder stops there).
    std::uint32_t pos = map::kFhDescriptions;
    for (const auto& [key, value] : cnf.ReadSectionValues(SectionDescriptions())) {
        std::string line = key + "=" + value;
        for (char c : line) {
            if (pos >= map::kFhDescriptionsLast) {
                if (pos == map::kFhDescriptionsLast)
                    image.setByte(pos, 0x00);
                return OutputTextsResult::NotAllFit;
            }
            image.setByte(pos++, static_cast<std::uint8_t>(c));
        }
        if (pos > map::kFhDescriptionsLast) // a further line has no room at all
            return OutputTextsResult::NotAllFit;
        image.setByte(pos++, 0x00);
    }
    return OutputTextsResult::Done;
}

LinkedOutputsResult EncodeLinkedOutputs(TPanelImage& image, const IniStore& cnf, int DeviceSeries) {
    if (DeviceSeries != kSeriesFH && DeviceSeries != kSeriesI)
        return LinkedOutputsResult::NoSeries;
    if (image.TextEnd() > TextLimit(DeviceSeries))
        return LinkedOutputsResult::TextSpace;
    const map::SeriesMap m = map::seriesMap(DeviceSeries);
    const int devices = detail::DeviceChainLength(cnf);

    std::uint32_t next = m.linkedOutputs;
    int count = 0;
    for (int s = 0; s < kSlotCount; ++s) {
        std::string kind = SlotKind(cnf, s);
        if (kind == "НЕТ"_cp)
            break;
        std::uint8_t code = DeviceCode(s, kind);
        image.setByte(m.deviceList + s, code);
        if (DeviceSeries == kSeriesI) {
            std::uint32_t at = map::kIDeviceNames + map::kIDeviceNameSize * s;
            image.setBytes(at, DeviceName(s, code));
            image.setByte(at + 6, 0x00);
        }
        // Slots beyond the [ПРИБОРЫ] chain have no detector table.
        if (s >= devices)
            continue;
        IniStore tb(detail::DetectorFile(cnf, s));
        for (int l = 1; l <= kLinesPerDevice; ++l)
            for (int a = 1; a <= kAddressesPerLine; ++a) {
                std::string sec = SensorAddress(s, l, a);
                if (tb.ReadString(sec, "ТЕКСТ"_cp, "").empty())
                    continue;
                if (count == map::kLinkedOutputMax)
                    return LinkedOutputsResult::TableFull;
                int type = TDetectorRecord::read(image, map::detectorRecord(s, l, a)).type();
                if (type == kTypeBka)
                    continue;
                TLinkedOutputRecord rec;
                rec.lineCode = static_cast<std::uint8_t>(s * 8 + l - 1);
                bool hidden = tb.ReadString(sec, "СКРЫТЬ"_cp, "") == "ДА"_cp;
                rec.address = static_cast<std::uint8_t>((a - 1) | (hidden ? 0x80 : 0));
                std::string out = tb.ReadString(sec, "ВЫХОД"_cp, "НЕТ"_cp);
                if (out != "НЕТ"_cp) {
                    Where w{tb.path(), sec, "ВЫХОД"_cp};
                    std::optional<TOutputTarget> t = ParseDevice(out, out.size() != 9, true, w);
                    rec.target =
                        t ? *t : TOutputTarget{rec.lineCode, static_cast<std::uint8_t>(a - 1)};
                } else if (type == kTypeNoLatch && (DeviceSeries == kSeriesFH || hidden)) {
                    rec.target = {0xFF, 0xFF};
                } else {
                    continue;
                }
                rec.write(image, next);
                next += map::kLinkedOutputSize;
                ++count;
            }
    }
    image.setByte(m.deviceList + map::kDeviceListSeriesByte,
                  static_cast<std::uint8_t>(DeviceSeries));
    return LinkedOutputsResult::Done;
}

bool EncodeScenarios(TPanelImage& image, const IniStore& cnf, int DeviceSeries) {
    const std::uint32_t start = DeviceSeries == kSeriesFH ? map::kFhScenarios : map::kIScenarios;
    if (image.TextEnd() > start)
        return false;
    for (int k = 1; k <= kScenarioCount; ++k) {
        std::string sec = ScenarioSection(k);
        std::uint32_t at = start + (k - 1) * map::kScenarioSize;
        if (!cnf.SectionExists(sec)) {
            if (k <= 96)
                TScenarioRecord::unconfigured().write(image, at);
            continue;
        }
        TScenarioRecord rec;
        int mode = cnf.ReadInteger(sec, "РЕЖИМ"_cp, -1);
        if (mode >= 1 && mode <= 13)
            rec.mode = static_cast<std::uint8_t>(mode * 16 + 2);
        rec.zone = Low(cnf.ReadInteger(sec, "ЗОНА"_cp, 0));
        for (int j = 1; j <= kStepCount; ++j) {
            std::string key = StepKey(j);
            std::string v = cnf.ReadString(sec, key, "");
            Where w{cnf.path(), sec, key};
            std::string_view head = std::string_view(v).substr(0, 3);
            bool longForm = (head == "ВНЕ"_cp || head == "СЦЕ"_cp) && v.size() != 17;
            std::optional<TOutputTarget> t = ParseDevice(v, longForm, false, w);
            if (!t)
                continue; // stays FF FF FF
            std::size_t stateAt = longForm ? 11 : 10;
            int delay = Num(v, stateAt + 5, stateAt + 7, w);
            bool off = std::string_view(v).substr(stateAt - 1, 4) == "ВЫКЛ"_cp;
            rec.steps[j - 1] = {t->T, Low(t->R + (off ? 0x80 : 0)), Low(delay / 2)};
        }
        rec.write(image, at);
    }
    return true;
}

} // namespace kvort
