#include "Encoder.h"

#include "CodecDetail.h"

#include "document/ConfigFileSet.h"
#include "document/Detectors.h"
#include "text/Cp1251.h"
#include "text/Error.h"
#include "text/Literals.h"

#include <unordered_map>

namespace kvort {

using namespace text::literals;
namespace map = imagemap;

namespace detail {

int DeviceChainLength(const IniStore& cnf) {
    if (cnf.ReadString(SectionDevices(), SlotDeviceKey(0), "НЕТ"_cp) == "НЕТ"_cp)
        return 0;
    int n = 1;
    while (n < kSlotCount &&
           cnf.ReadString(SectionDevices(), SlotDeviceKey(n), "НЕТ"_cp) != "НЕТ"_cp)
        ++n;
    return n;
}

std::filesystem::path DetectorFile(const IniStore& cnf, int slot) {
    return ConfigFileSet(cnf.path()).tb(slot);
}

int NumberAt(std::string_view value, std::size_t first, std::size_t last,
             const std::filesystem::path& file, std::string_view section, std::string_view key) {
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
        throw ConvertError("'" + text::toUtf8(part) + "' is not a valid integer value in " +
                           file.string() + " [" + text::toUtf8(section) + "] " + text::toUtf8(key) +
                           "=" + text::toUtf8(value));
    return n;
}

} // namespace detail

namespace {

// Relay function of a direction's БДУ output; -1 leaves the default byte.
int RelayFunctionCode(std::string_view v) {
    static const std::string_view kWords[] = {
        "ПУСК 1"_cp,     "ПУСК 2"_cp,    "ПУСК 3"_cp,     "ПУСК 4"_cp, "ТАБЛО\"ОПОВЕЩ.\""_cp,
        "БЛОКИРОВКА"_cp, "АВТ.ОТКЛ."_cp, "ПОДАЧА ОТВ"_cp, "СТОП"_cp,   "РЕЗЕРВ.ПУСК"_cp};
    for (int i = 0; i < 10; ++i)
        if (v == kWords[i])
            return i;
    if (v == "ТАБЛО\"ГАЗ..\""_cp)
        return 4;
    if (v == "НЕТ"_cp)
        return 0xFF;
    return -1;
}

void EncodeDirections(TPanelImage& image, const IniStore& cnf, const ZoneNames& zoneGrid,
                      std::uint32_t at) {
    for (int n = 1; n <= kDirectionCount; ++n)
        TDirectionRecord{}.write(image, at + (n - 1) * map::kDirectionSize);
    for (int n = 1; n <= kDirectionCount; ++n) {
        std::string sec = DirectionSection(n);
        if (!cnf.SectionExists(sec))
            continue;
        std::string zone = cnf.ReadString(sec, "ЗОНА"_cp, "");
        int row = -1;
        for (int r = 0; r < kZoneCount; ++r)
            if (zoneGrid[r] == zone) {
                row = r;
                break;
            }
        if (row < 0)
            continue;
        std::uint32_t rec = at + (n - 1) * map::kDirectionSize;
        TDirectionRecord d = TDirectionRecord::read(image, rec);
        d.bytes[0] = 0x02;
        d.bytes[1] = static_cast<std::uint8_t>(row);
        d.bytes[2] = 0x1E;
        for (int i = 1; i <= kRelayCount; ++i) {
            int code = RelayFunctionCode(cnf.ReadString(sec, RelayKey(i), ""));
            if (code >= 0)
                d.bytes[2 + i] = static_cast<std::uint8_t>(code);
        }
        d.bytes[8] = static_cast<std::uint8_t>((cnf.ReadInteger(sec, "СЦЕН."_cp, 0) - 1) & 0xFF);
        std::string_view key = "БРИТ"_cp;
        std::string brit = cnf.ReadString(sec, key, "");
        if (brit.empty()) {
            key = "БДУ4"_cp;
            brit = cnf.ReadString(sec, key, "");
        }
        if (!brit.empty()) {
            int slot = detail::NumberAt(brit, 1, 1, cnf.path(), sec, key);
            int line = detail::NumberAt(brit, 2, 2, cnf.path(), sec, key);
            int address = detail::NumberAt(brit, 4, 5, cnf.path(), sec, key);
            d.bytes[9] = static_cast<std::uint8_t>((slot * 8 + line - 1) & 0xFF);
            d.bytes[10] = static_cast<std::uint8_t>((address - 1) & 0xFF);
        }
        d.bytes[14] = 0x01;
        d.write(image, rec);
    }
}

// Zone names are fixed 16-byte fields. The cut is by bytes on purpose: the
// editor allows 12 characters and a longer name found in a file must not run
// into the next zone's field.
void EncodeZoneNames(TPanelImage& image, const ZoneNames& zoneGrid, std::uint32_t z) {
    for (int r = 0; r < kZoneCount; ++r) {
        std::string field = zoneGrid[r].substr(0, map::kZoneNameSize);
        for (char& c : field)
            if (c == '\xB3' || c == '\xBF') // і and ї: the panel shows the Latin I
                c = 'I';
        field.resize(map::kZoneNameSize, ' ');
        image.setBytes(z + r * map::kZoneNameSize, field);
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
        zoneIndex[cnf.ReadString(SectionZones(), std::to_string(k), "")] = k - 1;

    // Only the slots of the device chain have a table in the detector area;
    // a slot named in [СОСТАВ] beyond it would land on the directions, the
    // line map and the zone names.
    const int devices = detail::DeviceChainLength(cnf);
    std::uint64_t pos = textStart;
    bool overflow = false;
    for (int s = 0; s < devices; ++s) {
        if (SlotEmpty(cnf, s))
            continue;
        IniStore tb(detail::DetectorFile(cnf, s));
        std::unordered_map<std::string, std::uint16_t> stored; // folded text -> offset
        for (int l = 1; l <= kLinesPerDevice; ++l) {
            for (int a = 1; a <= kAddressesPerLine; ++a) {
                std::uint32_t rec = map::detectorRecord(s, l, a);
                std::string sec = SensorAddress(s, l, a);
                std::string txt = tb.ReadString(sec, "ТЕКСТ"_cp, "");
                if (txt.empty()) {
                    image.setBe16(rec, 0x87F8);
                    continue;
                }
                std::uint16_t word =
                    tb.ReadString(sec, "СОСТОЯНИЕ"_cp, "ВЫКЛ"_cp) == "ВЫКЛ"_cp ? 0x8000 : 0;
                std::string type = tb.ReadString(sec, "ТИП"_cp, "");
                int code = TypeCode(type);
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
                auto z = zoneIndex.find(tb.ReadString(sec, "ЗОНА"_cp, ""));
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
    const int n = detail::DeviceChainLength(cnf);
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
