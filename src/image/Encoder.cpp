#include "Encoder.h"

#include "CodecDetail.h"

#include "document/ConfigFileSet.h"
#include "document/Detectors.h"
#include "text/Literals.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace kvort {

using namespace text::literals;
namespace map = imagemap;

namespace detail {

std::filesystem::path DetectorFile(const IniStore& cnf, int slot) {
    return ConfigFileSet(cnf.path()).tb(slot);
}

} // namespace detail

namespace {

// The record of a direction whose zone is in the zone grid; nullopt leaves
// the default record. Relay words the table does not know keep their
// defaults. Throws ConvertError for a БРИТ value whose digits are not digits.
std::optional<TDirectionRecord> DirectionRecord(const IniStore& cnf, int n,
                                                const ZoneNames& zoneGrid) {
    const Direction dir = ReadDirection(cnf, n, BritKeyOrder::BritFirst);
    const auto row = std::find(zoneGrid.begin(), zoneGrid.end(), dir.zone);
    if (row == zoneGrid.end())
        return std::nullopt;
    TDirectionRecord d;
    d.state = TDirectionRecord::kConfigured;
    d.zoneIndex = static_cast<std::uint8_t>(row - zoneGrid.begin());
    for (int i = 0; i < kRelayCount; ++i) {
        const int code = RelayFunctionCode(dir.relays[i]);
        if (code >= 0)
            d.relayFunctions[i] = static_cast<std::uint8_t>(code);
    }
    d.scenario = static_cast<std::uint8_t>((dir.scenario - 1) & 0xFF);
    if (!dir.brit.empty()) {
        // The message names the key the value came from.
        const std::string sec = DirectionSection(n);
        const bool fromBrit = !cnf.ReadString(sec, key::kBrit, "").empty();
        const BritRef brit =
            BritRef::read(dir.brit, {cnf.path(), sec, fromBrit ? key::kBrit : key::kBdu4});
        d.britLineCode = static_cast<std::uint8_t>((brit.slot * 8 + brit.line - 1) & 0xFF);
        d.britAddress = static_cast<std::uint8_t>((brit.address - 1) & 0xFF);
    }
    d.enabled = TDirectionRecord::kEnabled;
    return d;
}

void EncodeDirections(TPanelImage& image, const IniStore& cnf, const ZoneNames& zoneGrid,
                      std::uint32_t at) {
    for (int n = 1; n <= kDirectionCount; ++n) {
        std::optional<TDirectionRecord> d;
        if (cnf.SectionExists(DirectionSection(n)))
            d = DirectionRecord(cnf, n, zoneGrid);
        d.value_or(TDirectionRecord{}).write(image, at + (n - 1) * map::kDirectionSize);
    }
}

// The editor allows 12 characters; a longer name found in a file is cut to
// its field.
void EncodeZoneNames(TPanelImage& image, const ZoneNames& zoneGrid, std::uint32_t z) {
    for (int r = 0; r < kZoneCount; ++r) {
        std::string name = zoneGrid[r];
        for (char& c : name)
            if (c == '\xB3' || c == '\xBF') // і and ї: the panel shows the Latin I
                c = 'I';
        ZoneNameField::write(image, z + r * ZoneNameField::kSize, name);
    }
}

void EncodeFixedBytes(TPanelImage& image, std::uint32_t L, std::uint32_t copy2, std::uint32_t z) {
    for (std::uint32_t at : {0x00F0u, 0x01F0u, 0x02F0u})
        TDetectorRecord{}.write(image, at);
    image.setBe16(0x00F8, 0xEE00);
    image.setBe16(0x01F8, 0xEE00);
    image.setByte(map::kHeaderLineMapHigh, static_cast<std::uint8_t>(L >> 8));
    image.setByte(map::kHeaderLineMapLow, static_cast<std::uint8_t>(L & 0xFF));
    image.setByte(map::kHeaderSecondCopy, static_cast<std::uint8_t>((copy2 - L) & 0xFF));
    image.setByte(map::kHeaderZones, static_cast<std::uint8_t>((z - L) & 0xFF));
    image.setByte(0x07FF, 0x05);
}

// Texts of one device are shared when they differ only in the case of the
// Latin letters; Cyrillic case is significant.
std::string LatinFold(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

} // namespace

void EncodeDetectorTables(TPanelImage& image, const IniStore& cnf, std::uint32_t textStart) {
    // First zone of each name wins, as the lookup in [ЗОНА] order gives it.
    std::unordered_map<std::string, int> zoneIndex;
    for (int k = kZoneCount; k >= 1; --k)
        zoneIndex[ZoneName(cnf, k)] = k - 1;

    // Only the slots of the device chain have a table in the detector area;
    // a slot named in [СОСТАВ] beyond it would land on the directions, the
    // line map and the zone names.
    const int devices = DeviceChainLength(cnf);
    std::uint64_t pos = textStart;
    bool overflow = false;
    const DetectorDefaults defaults = CodecDefaults();
    for (int s = 0; s < devices; ++s) {
        if (SlotEmpty(cnf, s))
            continue;
        IniStore tb(detail::DetectorFile(cnf, s));
        std::unordered_map<std::string, std::uint16_t> stored; // folded text -> offset
        for (int l = 1; l <= kLinesPerDevice; ++l) {
            for (int a = 1; a <= kAddressesPerLine; ++a) {
                std::uint32_t rec = map::detectorRecord(s, l, a);
                const DetectorRecord det = ReadDetector(tb, DetectorPlace{s, l, a}, defaults);
                const std::string& txt = det.text;
                if (txt.empty()) {
                    image.setBe16(rec, 0x87F8);
                    continue;
                }
                std::uint16_t word = StateOn(det.state) ? 0 : 0x8000;
                int code = TypeCode(det.type);
                if (code == kTypeLoop) {
                    // A loop stray on another address is not produced by the
                    // editors; it is encoded as a smoke detector and does not
                    // turn its line into a loop.
                    if (a == 1)
                        image.setByte(map::detectorRecord(s, l, 1) + map::kLoopMarkInLine,
                                      map::kLoopMark);
                    code = 0;
                } else if (code < 0) {
                    code = 0;
                }
                word = static_cast<std::uint16_t>(word | code);
                auto z = zoneIndex.find(det.zone);
                int zi = z == zoneIndex.end() ? 256 : z->second;
                word = static_cast<std::uint16_t>(word + zi * 8);

                std::uint16_t offset = 0xFFFF;
                std::string folded = LatinFold(txt);
                auto it = stored.find(folded);
                if (it != stored.end()) {
                    offset = it->second;
                } else if (!overflow && TPanelImage::contains(pos, txt.size() + 1)) {
                    offset = static_cast<std::uint16_t>(pos);
                    image.setBytes(static_cast<std::uint32_t>(pos), txt);
                    image.setByte(static_cast<std::uint32_t>(pos + txt.size()), 0x00);
                    pos += txt.size() + 1;
                    stored.emplace(std::move(folded), offset);
                } else {
                    // Never written past the image: the passes that follow
                    // see TextEnd at the end of the image and report the
                    // text space, which stops the write.
                    overflow = true;
                }
                TDetectorRecord{word, offset}.write(image, rec);
            }
        }
    }
    image.setTextEnd(overflow ? TPanelImage::kSize : static_cast<std::uint32_t>(pos));
}

void BuildPanelImage(TPanelImage& image, const std::filesystem::path& configPath,
                     const ZoneNames& zoneGrid, CodecProgress* progress) {
    if (progress)
        progress->setStatus("     ПОДОЖДИТЕ, ИДЕТ ПОДГОТОВКА ДАННЫХ ДЛЯ ЗАПИСИ"_cp);
    IniStore cnf(ChangeFileExt(configPath, ".cnf"));

    image.fillAll(0xFF);
    image.setTextEnd(0);
    const int n = DeviceChainLength(cnf);
    if (n == 0)
        return;

    // A "-4" device is encoded as an 8-line device: its detector table sits
    // at slot x 2048 whatever its line count, and the line codes of linked
    // outputs and steps count 8 lines per slot, so a 1024-byte share of the
    // detector area would put the next tables over the reserved block, the
    // directions and the line map. The check rewrites "-4" to "-8" anyway.
    TLineMap lineMap;
    for (int s = 0; s < n; ++s)
        lineMap.entries.push_back(static_cast<std::uint8_t>(8 * s + 7));
    const std::uint32_t D = static_cast<std::uint32_t>(n) * map::kDeviceTableSize;
    const std::uint32_t L = D + map::kLineMapFromD;
    std::vector<std::uint8_t> copy = lineMap.copy();
    const std::uint32_t copy2 = L + static_cast<std::uint32_t>(copy.size());
    for (std::uint32_t i = 0; i < copy.size(); ++i) {
        image.setByte(L + i, copy[i]);
        image.setByte(copy2 + i, copy[i]);
    }
    const std::uint32_t Z = copy2 + static_cast<std::uint32_t>(copy.size());

    image.fill(D, map::kReservedSize, 0x00);
    EncodeDirections(image, cnf, zoneGrid, D + map::kDirectionsFromD);
    EncodeZoneNames(image, zoneGrid, Z);
    EncodeDetectorTables(image, cnf, Z + map::kZoneAreaSize);
    EncodeFixedBytes(image, L, copy2, Z);
}

} // namespace kvort
