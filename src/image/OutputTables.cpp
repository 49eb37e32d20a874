// The series-dependent passes: descriptions, comments and notes; the device
// list and linked outputs; the scenario table.
#include "Encoder.h"

#include "CodecDetail.h"

#include "document/Detectors.h"

#include <optional>

namespace kvort {

namespace map = imagemap;

namespace {

// Highest TextEnd a series allows before its upper map. For I the
// description marker at 0xBFFF is the first byte written above the texts.
std::uint32_t TextLimit(Series series) {
    return series == Series::I ? map::kIDescriptionMarker : map::kFhLinkedOutputs;
}

// The five-character device of description field d: 0 ПУ-П, 1..8 ППКП,
// 9..16 БРВУ.
inline constexpr int kDescribedDevices = 17;
std::string DescribedDevice(int d) {
    if (d == 0)
        return DeviceRef{DeviceKind::Pu, 0, 0}.name();
    if (d <= 8)
        return DeviceRef{DeviceKind::Ppkp, d, 0}.name();
    return DeviceRef{DeviceKind::Brvu, d - 8, 0}.name();
}

// The record of one detector, or nullopt when it takes none: a linked
// output, or for a БЕЗ ФИКСАЦИИ detector without one the record that tells
// the panel not to latch it (F/H always, I only when hidden).
std::optional<TLinkedOutputRecord> LinkedOutputRecord(const IniStore& tb, const DetectorRecord& det,
                                                      const DetectorPlace& at, int type,
                                                      Series series) {
    TLinkedOutputRecord rec;
    rec.lineCode = static_cast<std::uint8_t>(at.slot * 8 + at.line - 1);
    const bool hidden = Hidden(det.hide);
    rec.address = static_cast<std::uint8_t>((at.address - 1) | (hidden ? 0x80 : 0));
    if (det.output != word::kNone) {
        const std::string sec = at.text();
        std::optional<OutputRef> out =
            ReadOutputRef(det.output, LinkedOutputHasWideNumber(det.output), true,
                          {tb.path(), sec, key::kOutput});
        // A value naming no device points the output at its own detector.
        rec.target = out ? TargetOf(*out)
                         : TOutputTarget{rec.lineCode, static_cast<std::uint8_t>(at.address - 1)};
        return rec;
    }
    if (type == kTypeNoLatch && (series == Series::FH || hidden)) {
        rec.target = {0xFF, 0xFF};
        return rec;
    }
    return std::nullopt;
}

std::uint8_t Low(int v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}

} // namespace

OutputTextsResult EncodeOutputTexts(TPanelImage& image, const IniStore& cnf, Series DeviceSeries) {
    if (DeviceSeries == Series::I) {
        // Texts reaching the description marker would be overwritten by it,
        // the descriptions and the comments: write nothing (the linked-output
        // pass then stops the write for the text space).
        if (image.TextEnd() > map::kIDescriptionMarker)
            return OutputTextsResult::NotStored;
        image.setByte(map::kIDescriptionMarker, map::kDescriptionMarker);
        image.fill(map::kIDescriptions, map::kIDescriptionsZeroEnd - map::kIDescriptions + 1, 0);
        for (int d = 0; d < kDescribedDevices; ++d)
            for (int o = 1; o <= kOutputsPerDevice; ++o)
                PanelTextField::write(
                    image,
                    map::kIDescriptions + d * map::kIDescriptionDeviceSize +
                        (o - 1) * PanelTextField::kSize,
                    OutputDescription(cnf, DescriptionKey(DescribedDevice(d), o)));
        image.fill(map::kIComments, map::kICommentsZeroEnd - map::kIComments + 1, 0);
        for (int k = 0; k < kCommentCount; ++k)
            PanelTextField::write(image, map::kIComments + k * PanelTextField::kSize,
                                  DeviceComment(cnf, CommentKey(k)));
        image.fill(map::kINotes, map::kINotesZeroEnd - map::kINotes + 1, 0);
        for (int k = 1; k <= kScenarioCount; ++k)
            PanelTextField::write(image, map::kINotes + (k - 1) * PanelTextField::kSize,
                                  ReadScenario(cnf, k).note);
        return OutputTextsResult::Done;
    }
    if (DeviceSeries != Series::FH)
        return OutputTextsResult::NoSeries;

    if (image.TextEnd() > map::kFhDescriptions)
        return OutputTextsResult::NotStored;
    // Packed KEY=VALUE strings in file order. The last byte a terminator may
    // take is 0x8DFF; the byte after the list is the 0xFF already there, or,
    // when the list is cut at 0x8DFF, the first byte of the linked-output
    // table (the decoder stops there).
    std::uint32_t pos = map::kFhDescriptions;
    for (const auto& [key, value] : OutputDescriptionLines(cnf)) {
        std::string line = key;
        line += '=';
        line += value;
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

LinkedOutputsResult EncodeLinkedOutputs(TPanelImage& image, const IniStore& cnf,
                                        Series DeviceSeries) {
    if (DeviceSeries == Series::Unknown)
        return LinkedOutputsResult::NoSeries;
    if (image.TextEnd() > TextLimit(DeviceSeries))
        return LinkedOutputsResult::TextSpace;
    const map::SeriesMap m = map::seriesMap(DeviceSeries);
    const int devices = DeviceChainLength(cnf);
    const DetectorDefaults defaults = CodecDefaults();

    std::uint32_t next = m.linkedOutputs;
    int count = 0;
    for (int s = 0; s < kSlotCount; ++s) {
        std::string kind = SlotKind(cnf, s);
        if (kind == word::kNone)
            break;
        std::uint8_t code = DeviceCodeOfKind(s, kind);
        image.setByte(m.deviceList + s, code);
        if (DeviceSeries == Series::I) {
            std::uint32_t at = map::kIDeviceNames + map::kIDeviceNameSize * s;
            image.setBytes(at, PanelDeviceName(s, code));
            image.setByte(at + 6, 0x00);
        }
        // Slots beyond the [ПРИБОРЫ] chain have no detector table.
        if (s >= devices)
            continue;
        IniStore tb(detail::DetectorFile(cnf, s));
        for (int l = 1; l <= kLinesPerDevice; ++l)
            for (int a = 1; a <= kAddressesPerLine; ++a) {
                const DetectorPlace at{s, l, a};
                const DetectorRecord det = ReadDetector(tb, at, defaults);
                if (!det.present())
                    continue;
                if (count == map::kLinkedOutputMax)
                    return LinkedOutputsResult::TableFull;
                int type = TDetectorRecord::read(image, map::detectorRecord(s, l, a)).type();
                if (type == kTypeBka)
                    continue;
                std::optional<TLinkedOutputRecord> rec =
                    LinkedOutputRecord(tb, det, at, type, DeviceSeries);
                if (!rec)
                    continue;
                rec->write(image, next);
                next += map::kLinkedOutputSize;
                ++count;
            }
    }
    image.setByte(m.deviceList + map::kDeviceListSeriesByte,
                  static_cast<std::uint8_t>(SeriesCode(DeviceSeries)));
    return LinkedOutputsResult::Done;
}

bool EncodeScenarios(TPanelImage& image, const IniStore& cnf, Series DeviceSeries) {
    const std::uint32_t start = DeviceSeries == Series::FH ? map::kFhScenarios : map::kIScenarios;
    if (image.TextEnd() > start)
        return false;
    for (int k = 1; k <= kScenarioCount; ++k) {
        std::string sec = ScenarioSection(k);
        std::uint32_t at = start + (k - 1) * map::kScenarioSize;
        const Scenario sc = ReadScenario(cnf, k, 0);
        if (!sc.exists) {
            if (k <= kShortNumberMax)
                TScenarioRecord::unconfigured().write(image, at);
            continue;
        }
        TScenarioRecord rec;
        if (sc.mode >= 1 && sc.mode <= kModeCount)
            rec.mode = static_cast<std::uint8_t>(sc.mode * 16 + 2);
        rec.zone = Low(sc.zone);
        for (int j = 1; j <= kStepCount; ++j) {
            const std::string stepKey = StepKey(j);
            std::optional<StepRef> step = ReadStepRef(sc.steps[j - 1], {cnf.path(), sec, stepKey});
            if (!step)
                continue; // stays FF FF FF
            const TOutputTarget t = TargetOf(step->target);
            rec.steps[j - 1] = {t.T, Low(t.R + (step->off ? 0x80 : 0)),
                                Low(step->delaySeconds / 2)};
        }
        rec.write(image, at);
    }
    return true;
}

} // namespace kvort
