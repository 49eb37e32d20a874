#include "Decoder.h"

#include "document/Config.h"
#include "document/ConfigFileSet.h"
#include "document/Detectors.h"
#include "document/IniStore.h"
#include "text/Cp1251.h"
#include "text/Format.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

namespace kvort {

namespace map = imagemap;

namespace {

// Characters from the image, as CP1251. A control byte cannot come from a
// person's typing; in a corrupted image a CR or LF would break the INI line
// it lands in, so every one becomes a blank.
const std::array<char, 256> kCharOf = [] {
    std::array<char, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = b < 0x20 ? ' ' : static_cast<char>(PanelCharTable(static_cast<std::uint8_t>(b)));
    return table;
}();

std::string Chars(std::string_view panelBytes) {
    std::string out(panelBytes);
    for (char& c : out)
        c = kCharOf[static_cast<std::uint8_t>(c)];
    return out;
}

// Zone index 0..255 (zone 1..256) of a zone table; short or empty past the
// image's end.
std::string_view ZoneField(std::string_view table, int index) {
    const std::size_t at = std::size_t(index) * ZoneNameField::kSize;
    return at < table.size() ? table.substr(at, ZoneNameField::kSize) : std::string_view();
}

// A key taken from the image must read back as itself.
bool UsableKey(std::string_view key) {
    std::string_view t = text::trim(key);
    return !t.empty() && t.front() != '[' && t.front() != ';' &&
           key.find('=') == std::string_view::npos;
}

// The number of an output comes from up to eight bits of R, but the files
// give it two digits, except for ВНЕШН and СЦЕН.: "БКА01/128/" would read
// back as module 12. Such a target is one no device has. A БКА module
// 61..99 or a relay 9..99 of a БРВУ has none either, but its text reads
// back as itself, so encoding the files gives the image's bytes again.
bool FitsItsText(const OutputRef& ref) {
    return ref.number <= 99 || ref.device.kind == DeviceKind::External ||
           ref.device.kind == DeviceKind::Scenario;
}

// The output of a linked output; nullopt ("НЕТ") for a target no device
// has. The module address keeps seven bits there, as the panel stores it.
std::optional<OutputRef> LinkedOutput(TOutputTarget t) {
    std::optional<OutputRef> ref = OutputOf(t);
    if (ref && ref->device.kind == DeviceKind::Bka)
        ref->number = (t.R & 0x7F) + 1;
    if (ref && !FitsItsText(*ref))
        return std::nullopt;
    return ref;
}

// A scenario step; nullopt for a target no device has (the encoder never
// writes one), which ends the step list like an empty step. Bit 7 of R is
// the state, and a relay block has eight relays.
std::optional<StepRef> StepOf(const TScenarioStep& st) {
    const std::uint8_t R = st.R & 0x7F;
    std::optional<OutputRef> ref = OutputOf({st.T, R});
    if (!ref || !FitsItsText(*ref))
        return std::nullopt;
    if (ref->device.kind == DeviceKind::Brvu)
        ref->number = (R & 7) + 1;
    return StepRef{*ref, (st.R & 0x80) != 0, st.delay * 2};
}

// "0x8E00 (36352)": offsets as a hex dump shows them and as a number.
std::string OffsetText(std::uint32_t offset) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%04X", static_cast<unsigned>(offset));
    return std::string(hex) + " (" + std::to_string(offset) + ")";
}

std::string inconsistentLink(std::uint32_t pos, std::uint8_t lineCode, size_t devices) {
    std::string has = devices == 0   ? std::string("нет ни одного прибора")
                      : devices == 1 ? std::string("есть только позиция 0")
                                     : "есть только позиции 0.." + std::to_string(devices - 1);
    return "Образ прибора противоречив: связанный выход по смещению " + OffsetText(pos) +
           " относится к прибору в позиции " + std::to_string(lineCode / 8) + " (код линии " +
           std::to_string(lineCode) + "), а в составе образа " + has +
           ". Конфигурация из этого образа не записана.";
}

// Everything one decoding works with: the image, the places of its series,
// the value it fills and what the steps learn on the way.
class ImageDecoder {
  public:
    ImageDecoder(const TPanelImage& image, CodecProgress* progress)
        : m_image(image), m_progress(progress) {}

    DecodedConfig run() {
        chooseSeriesMap();
        composition();
        zoneNames();
        detectorFiles();
        relayDescriptions();
        if (m_out.series == Series::I)
            deviceComments();
        linkedOutputs();
        scenarios();
        directions();
        return std::move(m_out);
    }

  private:
    void chooseSeriesMap();
    void composition();
    void zoneNames();
    void detectorFiles();
    void relayDescriptions();
    void relayDescriptionsI(std::uint32_t start);
    void relayDescriptionsList(std::uint32_t start);
    void deviceComments();
    void linkedOutputs();
    void scenarios();
    void directions();

    // Header bytes of slot 0 name the page of the line map and the zones.
    std::uint32_t headerPage() const { return m_image.byte(map::kHeaderLineMapHigh) * 256u; }

    const TPanelImage& m_image;
    CodecProgress* m_progress;
    DecodedConfig m_out;

    map::SeriesMap m_map{};
    // The highest offset at which a detector text read stopped.
    std::uint32_t m_textStop = 0;
    // The same for the description list, where an enabled address without
    // a text offset counts as a text reaching 0xFFFF: such a record is what
    // a text that did not fit leaves behind, so the bytes above the lower
    // part may be texts.
    std::uint32_t m_textReach = 0;
};

void ImageDecoder::chooseSeriesMap() {
    m_out.series = m_image.byte(map::kISeriesMarker) == map::kSeriesMarker ? Series::I : Series::FH;
    m_map = map::seriesMap(m_out.series);
    if (m_out.series == Series::FH && m_image.byte(map::kFhDeviceList) > 0x01)
        m_map.deviceList = map::kFhDeviceListOld;
}

// The header bytes and the line map are the panel's word only as far as
// they stay inside the image.
void ImageDecoder::composition() {
    const std::uint32_t L = headerPage() + m_image.byte(map::kHeaderLineMapLow);
    for (int s = 0; s < kSlotCount; ++s) {
        if (!TPanelImage::contains(L + s) || m_image.byte(L + s) == 0x00)
            break;
        // Slot 0 is the ПУ-П whatever its code: a ППКП there would leave the
        // configuration without a main panel ([ПРИБОРЫ] "ППКП0").
        const std::uint8_t code = s == 0 ? kDeviceCodePu : m_image.byte(m_map.deviceList + s);
        m_out.composition.emplace_back(KindOfDeviceCode(s, code));
    }
}

// Blanks are kept in the file (the store trims them on reading).
void ImageDecoder::zoneNames() {
    const std::uint32_t Z = headerPage() + m_image.byte(map::kHeaderZones);
    m_out.zoneTable = m_image.bytes().substr(Z, map::kZoneAreaSize);
}

void ImageDecoder::detectorFiles() {
    for (int s = 0; s < static_cast<int>(m_out.composition.size()); ++s) {
        std::vector<DecodedDetector>& found = m_out.detectors[s];
        found.reserve(std::size_t{kLinesPerDevice} * kAddressesPerLine);
        for (int l = 1; l <= kLinesPerDevice; ++l)
            for (int a = 1; a <= kAddressesPerLine; ++a) {
                const TDetectorRecord rec =
                    TDetectorRecord::read(m_image, map::detectorRecord(s, l, a));
                if (rec.empty())
                    continue;
                // The loop mode lives in the line's slot 62, not in the type
                // code; without it a loop line would come back addressable.
                const bool loop = a == 1 && rec.type() == kTypeSmoke &&
                                  m_image.byte(map::detectorRecord(s, l, 1) +
                                               map::kLoopMarkInLine) == map::kLoopMark;
                DecodedDetector det{
                    {s, l, a}, loop ? kTypeLoop : rec.type(), rec.zoneIndex(), !rec.disabled()};
                if (rec.textOffset != 0xFFFF) {
                    const std::string_view raw = m_image.cStringView(rec.textOffset, map::kTextMax);
                    std::copy(raw.begin(), raw.end(), det.panelText.begin());
                    det.textSize = static_cast<std::uint8_t>(raw.size());
                    m_textStop = std::max(m_textStop, rec.textOffset + std::uint32_t(raw.size()));
                } else {
                    m_textReach = 0xFFFF;
                }
                found.push_back(det);
            }
        if (m_progress)
            m_progress->setProgress((s + 1) * 10 + 10, 100);
    }
    m_textReach = std::max(m_textReach, m_textStop);
}

// In an F/H image the byte before the area may be a text character; the I
// form is only taken there when the texts end before the area. The list
// form, in either series, only when they do.
void ImageDecoder::relayDescriptions() {
    const std::uint32_t start = m_map.descriptions;
    const bool areaFree = start > m_textReach;
    if ((m_out.series == Series::I || areaFree) &&
        m_image.byte(start - 1) == map::kDescriptionMarker)
        relayDescriptionsI(start);
    else if (areaFree)
        relayDescriptionsList(start);
}

// Fixed fields per device and output: ПУ-П, ППКП1..8, БРВУ1..8.
void ImageDecoder::relayDescriptionsI(std::uint32_t start) {
    for (int d = 0; d <= 16; ++d) {
        const DeviceRef device = d == 0   ? DeviceRef{DeviceKind::Pu, 0, 0}
                                 : d <= 8 ? DeviceRef{DeviceKind::Ppkp, d, 0}
                                          : DeviceRef{DeviceKind::Brvu, d - 8, 0};
        for (int o = 1; o <= kOutputsPerDevice; ++o) {
            const std::uint32_t at =
                start + d * map::kIDescriptionDeviceSize + (o - 1) * PanelTextField::kSize;
            if (m_image.byte(at) == 0x00)
                continue;
            m_out.descriptions.emplace_back(DescriptionKey(device.name(), o),
                                            Chars(PanelTextField::read(m_image, at)));
        }
    }
}

// Packed KEY=VALUE strings up to an 0xFF or the linked-output table.
void ImageDecoder::relayDescriptionsList(std::uint32_t start) {
    std::uint32_t pos = start;
    while (pos < m_map.linkedOutputs && m_image.byte(pos) != 0xFF) {
        std::string raw;
        while (pos < m_map.linkedOutputs && m_image.byte(pos) != 0x00)
            raw.push_back(static_cast<char>(m_image.byte(pos++)));
        ++pos; // past the terminator
        const std::string line = Chars(raw);
        const std::string key = line.substr(0, 8);
        if (UsableKey(key))
            m_out.descriptions.emplace_back(key, line.size() > 9 ? line.substr(9) : "");
    }
}

void ImageDecoder::deviceComments() {
    for (int k = 0; k < kCommentCount; ++k) {
        const std::string v =
            Chars(PanelTextField::read(m_image, map::kIComments + k * PanelTextField::kSize, true));
        if (!v.empty())
            m_out.comments.emplace_back(CommentKey(k), v);
    }
}

// The source slot must be one the image has a device in; anything else is
// a record the image cannot mean. Where the detector texts run into the
// table (an image the check refused), its bytes are texts, not records.
void ImageDecoder::linkedOutputs() {
    for (std::uint32_t pos = m_map.linkedOutputs;
         m_textStop < m_map.linkedOutputs &&
         pos + map::kLinkedOutputSize <= m_map.scenarios - map::kScenarioSize &&
         m_image.byte(pos) != 0xFF;
         pos += map::kLinkedOutputSize) {
        const TLinkedOutputRecord rec = TLinkedOutputRecord::read(m_image, pos);
        const int slot = rec.lineCode / 8;
        if (slot >= static_cast<int>(m_out.composition.size()))
            throw ImageError(inconsistentLink(pos, rec.lineCode, m_out.composition.size()));
        const DetectorPlace source{slot, rec.lineCode % 8 + 1, (rec.address & 0x7F) + 1};
        m_out.linkedOutputs.push_back(
            {source, LinkedOutput(rec.target), (rec.address & 0x80) != 0});
    }
}

// Unless the detector texts run into their table.
void ImageDecoder::scenarios() {
    m_out.scenarios.reserve(kScenarioCount);
    for (int k = 1; k <= kScenarioCount && m_textStop < m_map.scenarios; ++k) {
        const TScenarioRecord rec =
            TScenarioRecord::read(m_image, m_map.scenarios + (k - 1) * map::kScenarioSize);
        const int mode = rec.mode >> 4;
        if (mode == 0)
            continue;
        DecodedScenario& sc = m_out.scenarios.emplace_back();
        sc.number = k;
        if (mode <= kModeCount) {
            sc.mode = mode;
            if (!ModeWithoutZone(mode))
                sc.zone = rec.zone;
        }
        for (const TScenarioStep& st : rec.steps) {
            if (st.T == 0xFF)
                break;
            const std::optional<StepRef> step = StepOf(st);
            if (!step)
                break;
            sc.steps[sc.stepCount++] = *step;
        }
        if (m_out.series == Series::I) {
            const std::uint32_t at = map::kINotes + (k - 1) * PanelTextField::kSize;
            if (m_image.byte(at) != 0x00 && m_image.byte(at) != 0xFF)
                sc.note = Chars(m_image.cStringView(at, PanelTextField::kSize));
        }
    }
}

// Their place follows from the device count in 0x03FE, which a corrupted
// image may make point anywhere. Scenario numbers above 96 and module
// addresses past a line are left out.
void ImageDecoder::directions() {
    const long start = (long(m_image.byte(map::kHeaderSecondCopy)) - 2) * map::kDeviceTableSize +
                       map::kDirectionsFromD;
    if (start < 0 ||
        !TPanelImage::contains(start, std::uint64_t{kDirectionCount} * map::kDirectionSize))
        return;
    for (int n = 1; n <= kDirectionCount; ++n) {
        const TDirectionRecord d = TDirectionRecord::read(
            m_image, static_cast<std::uint32_t>(start) + (n - 1) * map::kDirectionSize);
        if (!d.configured())
            continue;
        Direction dir;
        dir.zone = std::string(text::trim(Chars(ZoneField(m_out.zoneTable, d.zoneIndex))));
        for (int i = 0; i < kRelayCount; ++i)
            dir.relays[i] = std::string(RelayFunctionWord(d.relayFunctions[i]));
        if (d.scenario < kShortNumberMax)
            dir.scenarioText = text::Format("%2.2d", {d.scenario + 1});
        if (d.britLineCode < 0x48 && d.britAddress < kAddressesPerLine)
            dir.brit =
                BritRef{d.britLineCode / 8, d.britLineCode % 8 + 1, d.britAddress + 1}.text();
        m_out.directions.emplace_back(n, std::move(dir));
    }
}

} // namespace

DecodedConfig DecodeImage(const TPanelImage& image, CodecProgress* progress) {
    if (progress)
        progress->setBusy(true);
    DecodedConfig config = ImageDecoder(image, progress).run();
    if (progress)
        progress->setBusy(true);
    return config;
}

DecodedFiles RenderDecoded(const DecodedConfig& config, std::string_view cnfStart) {
    IniStore cnf(IniStore::Detached{}, cnfStart);
    WriteSystemKeys(cnf);
    for (size_t s = 0; s < config.composition.size(); ++s) {
        WriteSlotKind(cnf, static_cast<int>(s), config.composition[s]);
        WriteSlotLines(cnf, static_cast<int>(s), word::kLines8);
    }
    const std::string zones = Chars(config.zoneTable);
    for (int k = 1; k <= kZoneCount; ++k)
        WriteZoneName(cnf, k, ZoneField(zones, k - 1));
    WritePlanPlaceholders(cnf);
    for (const auto& [key, value] : config.descriptions)
        WriteOutputDescription(cnf, key, value);
    for (const auto& [key, value] : config.comments)
        StoreDeviceComment(cnf, key, value);
    for (const DecodedScenario& d : config.scenarios) {
        Scenario sc;
        sc.mode = d.mode;
        sc.zone = d.zone;
        sc.note = d.note;
        for (int j = 0; j < d.stepCount; ++j)
            sc.steps[j] = StepText(d.steps[j]);
        WriteScenario(cnf, d.number, sc);
    }
    for (const auto& [n, direction] : config.directions)
        WriteDirection(cnf, n, direction);

    std::array<std::unique_ptr<IniStore>, kSlotCount> tb;
    for (size_t s = 0; s < config.composition.size(); ++s) {
        tb[s] = std::make_unique<IniStore>(IniStore::Detached{}, "");
        for (const DecodedDetector& d : config.detectors[s])
            // A zone as a reader of [ЗОНА] sees it: trimmed.
            WriteDecodedDetector(
                *tb[s], d.place, TypeWord(d.type), text::trim(ZoneField(zones, d.zone)),
                d.on ? word::kOn : word::kOff, Chars({d.panelText.data(), d.textSize}));
    }
    for (const DecodedLinkedOutput& l : config.linkedOutputs)
        WriteLinkedOutput(*tb.at(l.source.slot), l.source,
                          l.output ? OutputRefText(*l.output, true) : std::string(word::kNone),
                          l.hidden);

    DecodedFiles files;
    files.cnf = cnf.text();
    for (size_t s = 0; s < config.composition.size(); ++s)
        files.tb[s] = tb[s]->text();
    return files;
}

Series DecodePanelImage(const TPanelImage& image, const std::filesystem::path& cnfPath,
                        CodecProgress* progress) {
    const DecodedConfig config = DecodeImage(image, progress);
    std::error_code ec;
    persistPendingWrites(cnfPath);
    const DecodedFiles files =
        RenderDecoded(config, std::filesystem::exists(cnfPath, ec) ? readFile(cnfPath) : "");
    const ConfigFileSet set(cnfPath);
    writeFile(cnfPath, files.cnf);
    for (int s = 0; s < kSlotCount; ++s)
        if (files.tb[s])
            writeFile(set.tb(s), *files.tb[s]);
    return config.series;
}

} // namespace kvort
