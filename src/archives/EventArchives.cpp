#include "EventArchives.h"

#include "document/Config.h"
#include "document/ConfigFileSet.h"
#include "document/Detectors.h"
#include "document/IniStore.h"
#include "text/Format.h"
#include "text/Literals.h"

#include <map>
#include <memory>

namespace kvort {

using namespace text::literals;
using text::Format;
using text::IntToStr;

namespace {

constexpr std::size_t kRecordSize = 8;
constexpr std::string_view kUnknownType = "ТИП НЕОПРЕДЕЛЕН"_cp;

// Bytes outside the buffer read as 0xFF, the value of never-written memory:
// a short buffer then holds only empty slots and absent counters.
struct ImageReader {
    std::span<const std::uint8_t> bytes;
    std::uint8_t at(std::size_t offset) const {
        return offset < bytes.size() ? bytes[offset] : std::uint8_t{0xFF};
    }
    unsigned be16(std::size_t offset) const { return at(offset) * 256u + at(offset + 1); }
};

struct Ring {
    std::size_t counter;
    std::size_t base;
    int slots;
};

Ring ringOf(ArchiveKind kind, const ImageReader& image) {
    switch (kind) {
    case ArchiveKind::Fires:
        return {archive::kFireCounter, archive::kFireRing, archive::kSlots};
    case ArchiveKind::Faults:
        return {archive::kFaultCounter, archive::kFaultRing, archive::kSlots};
    case ArchiveKind::Events:
        break;
    }
    if (image.at(archive::kLayoutMarker) == archive::kAltLayout)
        return {archive::kEventCounterAlt, archive::kEventRingAlt, archive::kSlotsAlt};
    return {archive::kEventCounter, archive::kEventRing, archive::kSlots};
}

struct Record {
    std::uint8_t b[kRecordSize];
    int device() const { return b[5]; }
    int object() const { return b[6]; }
    int event() const { return b[7]; }
    // Fires and faults carry flags in the upper bits of the object byte.
    int cls() const { return (b[6] & 0x80) ? (b[6] & 0x3F) : b[6]; }
    int subordinate() const { return (b[7] & 0x30) / 16; }
};

std::string dateTime(const Record& r) {
    return BcdText(r.b[0]) + "." + BcdText(r.b[1]) + "." + BcdText(r.b[2]) + " " + BcdText(r.b[3]) +
           ":" + BcdText(r.b[4]);
}

std::string subordinateSuffix(const Record& r) {
    const int s = r.subordinate();
    return s ? std::string(" ПОДЧ#"_cp) + IntToStr(s) : std::string();
}

struct Columns {
    std::string description = " ";
    std::string event = " ";
};

Columns fireColumns(const Record& r, const std::string& device, ArchiveNames& names) {
    Columns c;
    const int cls = r.cls();
    const int code = r.device();
    const int sub = r.subordinate();
    if (cls < 60 && code < 72) {
        c.description = names.detector(r.device(), r.object());
    } else if (cls < 60 && code >= 80 && code <= 87 && r.object() < 5) {
        c.description = sub == 0 ? names.zone(device) + std::string(" РЕЛЕ "_cp) +
                                       names.function(device, r.object() + 1)
                                 : std::string("РЕЛЕ "_cp) + IntToStr(r.object() + 1) +
                                       std::string("/ПОДЧ#"_cp) + IntToStr(sub);
        c.event = "КОНТАКТ ЗАМКНУТ"_cp;
    } else if (cls == 71) {
        c.description = sub == 0 ? names.zone(device) : std::string("ПОДЧ#"_cp) + IntToStr(sub);
        c.event = "АКТИВАЦИЯ"_cp;
    } else if (cls == 72) {
        c.description = sub == 0 ? names.zone(device) : std::string("/ПОДЧ#"_cp) + IntToStr(sub);
        c.event = "ПОДАЧА ОТВ"_cp;
    } else if (cls == 81) {
        if (sub == 0)
            c.description = names.zone(device);
        if ((r.event() & 0x0F) == 2)
            c.description += " КНОПКА ПУСК БДУ"_cp;
        else if ((r.event() & 0x0F) == 10)
            c.description += " КНОПКА ПУСК ПУ-ПТ"_cp;
    }
    c.description += subordinateSuffix(r);
    return c;
}

std::string faultDescription(const Record& r, const std::string& device, ArchiveNames& names) {
    const int cls = r.cls();
    const int code = r.device();
    const int relay = code % 8 + 1;
    std::string d = " ";
    if (cls < 60) {
        d = code >= 72 && code <= 79 ? std::string("РЕЛЕ "_cp) + IntToStr(cls + 1)
                                     : names.detector(r.device(), r.object());
    } else if (cls >= 84 && cls <= 88) {
        d = names.zone(device) + std::string(" РЕЛЕ "_cp) + IntToStr(cls - 83) + " " +
            names.function(device, cls - 83);
    } else {
        switch (cls) {
        case 60:
        case 92:
            d = "НЕТ СВЯЗИ С ПРИБОРОМ "_cp;
            break;
        case 61:
            d = std::string("ЗАМЫКАНИЕ ЛИНИИ "_cp) + IntToStr(relay);
            break;
        case 62:
            d = std::string("РЕЛЕ "_cp) + IntToStr(relay) + " " + names.output(device, relay);
            break;
        case 63:
            d = "МЕЖСИСТЕМНАЯ КОММУНИКАЦИЯ"_cp;
            break;
        case 64:
            d = "КАНАЛ СВЯЗИ А1/В1"_cp;
            break;
        case 65:
            d = "КАНАЛ СВЯЗИ А2/В2"_cp;
            break;
        case 66:
            d = "ОСНОВНОЕ ПИТАНИЕ "_cp;
            break;
        case 67:
            d = "РЕЗЕРВНОЕ ПИТАНИЕ "_cp;
            break;
        case 68:
            d = "АККУМУЛЯТОР РАЗРЯЖЕН "_cp;
            break;
        case 69:
            d = "ЗАРЯДНОЕ УСТРОЙСТВО "_cp;
            break;
        case 70:
            d = "ИСТОЧНИК ПИТАНИЯ "_cp;
            break;
        case 75:
        case 89:
            d = "МОДУЛЬ ИНДИКАЦИИ"_cp;
            break;
        case 78:
            d = "ЦЕПЬ ПОДАЧА ОТВ"_cp;
            break;
        case 79:
            d = "ЦЕПЬ УТЕЧКА ОТВ"_cp;
            break;
        case 80:
            d = "ЦЕПЬ БЛОКИРОВКА"_cp;
            break;
        case 81:
            d = "КНОПКА ПУСК"_cp;
            break;
        case 82:
            d = "КНОПКА СТОП"_cp;
            break;
        case 83:
            d = "КНОПКА РУЧНОЙ"_cp;
            break;
        case 90:
            d = "СИСТЕМНОЕ ВРЕМЯ"_cp;
            break;
        default:
            break;
        }
    }
    return d + subordinateSuffix(r);
}

Columns eventColumns(const Record& r, const std::string& device, ArchiveNames& names) {
    Columns c;
    const int code = r.device();
    const int obj = r.object();
    const int ev = r.event();
    auto set = [&c](std::string_view description, std::string_view event) {
        c.description = std::string(description);
        c.event = std::string(event);
    };
    if (code <= 71) {
        if (obj < 60) {
            std::string_view event = " ";
            if (ev == 5 || ev == 6)
                event = "ТЕХНОЛОГИЯ"_cp;
            else if (ev == 8)
                event = "КОНТАКТ РАЗОМКНУТ"_cp;
            else if (ev == 0x88)
                event = "КОНТАКТ ЗАМКНУТ"_cp;
            else if (ev == 0x92)
                event = "ВКЛЮЧЕН"_cp;
            else if (ev == 0x93)
                event = "ВЫКЛЮЧЕН"_cp;
            else if (ev & 0x80)
                event = "НОРМА"_cp;
            set(names.detector(r.device(), r.object()), event);
        } else if (obj == 60) {
            if (ev == 0)
                set("ПРИБОР"_cp, "СБРОС СИСТЕМЫ"_cp);
            else if (ev == 0x92)
                set("ПРИБОР"_cp, "ВКЛЮЧЕН"_cp);
            else if (ev == 0x93)
                set("ПРИБОР"_cp, "ВЫКЛЮЧЕН"_cp);
        } else if (obj == 62) {
            const int relay = code % 8 + 1;
            std::string relayText =
                std::string("РЕЛЕ "_cp) + IntToStr(relay) + " " + names.output(device, relay);
            if (ev == 8)
                set(relayText, "КОНТАКТ РАЗОМКНУТ"_cp);
            else if (ev == 0x88)
                set(relayText, "КОНТАКТ ЗАМКНУТ"_cp);
            else if (ev == 0x92)
                set(relayText, "КОНТРОЛЬ ВКЛЮЧЕН"_cp);
            else if (ev == 0x93)
                set(relayText, "КОНТРОЛЬ ВЫКЛЮЧЕН"_cp);
        } else if (obj == 66) {
            set("ОСНОВНОЕ ПИТАНИЕ "_cp, "НОРМА"_cp);
        } else if (obj == 67) {
            set("РЕЗЕРВНОЕ ПИТАНИЕ "_cp, "НОРМА"_cp);
        }
    } else if (code <= 79) {
        // By event first, then by object: the later match wins.
        if (ev == 8 || ev == 0x88)
            set(std::string("РЕЛЕ "_cp) + IntToStr(obj + 1) + " " + names.output(device, obj + 1),
                ev == 8 ? "КОНТАКТ РАЗОМКНУТ"_cp : "КОНТАКТ ЗАМКНУТ"_cp);
        if (obj == 66)
            set("ОСНОВНОЕ ПИТАНИЕ "_cp, "НОРМА"_cp);
        else if (obj == 67)
            set("РЕЗЕРВНОЕ ПИТАНИЕ "_cp, "НОРМА"_cp);
    } else if (code <= 87) {
        // By object first, then by event: the later match wins.
        if (obj == 60 && ev == 0x92)
            set("ПРИБОР"_cp, "ВКЛЮЧЕН"_cp);
        else if (obj == 60 && ev == 0x93)
            set("ПРИБОР"_cp, "ВЫКЛЮЧЕН"_cp);
        else if (obj == 66)
            set("ОСНОВНОЕ ПИТАНИЕ "_cp, "НОРМА"_cp);
        else if (obj == 67)
            set("РЕЗЕРВНОЕ ПИТАНИЕ "_cp, "НОРМА"_cp);
        if (obj <= 4 && ev == 5)
            set(names.zone(device) + std::string(" РЕЛЕ "_cp) + IntToStr(obj + 1) + " " +
                    names.function(device, obj + 1),
                "КОНТАКТ ЗАМКНУТ"_cp);
        if (ev == 0x15 || ev == 0x25 || ev == 0x35)
            set(std::string("РЕЛЕ "_cp) + IntToStr(obj + 1) + std::string("/ПОДЧ#"_cp) +
                    IntToStr(r.subordinate()),
                "КОНТАКТ ЗАМКНУТ"_cp);
        if (ev == 0x98 && obj == 5)
            set(names.zone(device) + std::string(" БЛОКИРОВКА"_cp), "ВКЛЮЧЕНА"_cp);
        else if (ev == 0x98 && obj == 6)
            set(names.zone(device) + std::string(" РУЧНОЙ РЕЖИМ"_cp), "ВКЛЮЧЕН"_cp);
        else if (ev == 0x99 && obj == 5)
            set(names.zone(device) + std::string(" БЛОКИРОВКА"_cp), "ВЫКЛЮЧЕН"_cp);
        else if (ev == 0x99 && obj == 6)
            set(names.zone(device) + std::string(" РУЧНОЙ РЕЖИМ"_cp), "ВЫКЛЮЧЕН"_cp);
        else if (ev == 0x99 && obj == 8)
            set(names.zone(device) + std::string(" РЕЖИМ СТОП"_cp), "ВКЛЮЧЕН"_cp);
    }
    return c;
}

std::string recordLine(ArchiveKind kind, const Record& r, ArchiveNames& names) {
    const std::string device = ArchiveDeviceText(static_cast<std::uint8_t>(r.device()));
    switch (kind) {
    case ArchiveKind::Fires: {
        Columns c = fireColumns(r, device, names);
        return Format("%-20s %-10s %-50s %s", {dateTime(r), device, c.description, c.event});
    }
    case ArchiveKind::Faults:
        return Format("%-20s%-10s%-50s", {dateTime(r), device, faultDescription(r, device, names)});
    case ArchiveKind::Events:
        break;
    }
    // Device codes without a row keep their device text and blank columns.
    Columns c = eventColumns(r, device, names);
    return Format("%-20s %-10s %-50s %s", {dateTime(r), device, c.description, c.event});
}

} // namespace

// The stores stay open for the source's life: nothing writes these files
// while archives are decoded, so each is parsed once, and a record's
// detector text is built once however often the archives name it.
struct ArchiveNames::Files {
    explicit Files(const std::filesystem::path& n)
        : name(n), cnf(std::filesystem::path(n.string() + ".cnf")) {}
    std::filesystem::path name;
    IniStore cnf;
    std::map<char, std::unique_ptr<IniStore>> tb;
    std::map<int, std::string> detectors; // by device code * 256 + object
};

ArchiveNames::ArchiveNames(const std::filesystem::path& name)
    : m_files(std::make_unique<Files>(name)) {}
ArchiveNames::~ArchiveNames() = default;

const std::filesystem::path& ArchiveNames::name() const {
    return m_files->name;
}

std::string ArchiveNames::detector(int deviceCode, int object) {
    const int memoKey = deviceCode * 256 + object;
    if (auto it = m_files->detectors.find(memoKey); it != m_files->detectors.end())
        return it->second;
    // A device code past the nine slots gives a section no file holds, so
    // the detector reads as unknown.
    const DetectorPlace at{deviceCode / 8, deviceCode % 8 + 1, object + 1};
    const std::string address = at.text().substr(1); // without the leading "И"
    auto& tb = m_files->tb[address[0]];
    if (!tb)
        tb = std::make_unique<IniStore>(
            std::filesystem::path(m_files->name.string() + ".tb" + address[0]));
    DetectorDefaults defaults;
    defaults.type = std::string(kUnknownType);
    const DetectorRecord det = ReadDetector(*tb, at, defaults);
    std::string text = det.present() ? det.zone + " " + det.text + " /D" + address + " /" + det.type
                                     : std::string("ЛИНИЯ "_cp) + address.substr(0, 2) + " " +
                                           std::string("ДАТЧИК "_cp) + address.substr(3, 2) +
                                           " /D" + address + " /" + std::string(kUnknownType);
    return m_files->detectors.emplace(memoKey, std::move(text)).first->second;
}

std::string ArchiveNames::zone(const std::string& device) {
    auto n = direction(device);
    return n ? DirectionZone(m_files->cnf, *n) : std::string();
}

std::string ArchiveNames::function(const std::string& device, int relay) {
    auto n = direction(device);
    return n ? DirectionRelay(m_files->cnf, *n, relay) : std::string();
}

std::string ArchiveNames::output(const std::string& device, int k) {
    return OutputDescription(m_files->cnf, DescriptionKey(device, k));
}

std::optional<int> ArchiveNames::direction(const std::string& device) {
    if (device.size() < 4 || device.compare(0, 3, "БДУ"_cp) != 0)
        return std::nullopt;
    return device[3] - '0';
}

std::string BcdText(std::uint8_t b) {
    return IntToStr(b >> 4) + IntToStr(b & 0x0F);
}

std::string ArchiveDeviceText(std::uint8_t code) {
    if (code <= 7)
        return std::string("ПУ-П "_cp);
    if (code <= 71)
        return std::string("ППКП"_cp) + IntToStr(code / 8);
    if (code <= 79)
        return std::string("БРВУ"_cp) + IntToStr(code % 8 + 1);
    if (code <= 87)
        return std::string("БДУ"_cp) + IntToStr(code % 8 + 1);
    switch (code) {
    case 120:
        return std::string("ДВП  "_cp);
    case 121:
        return std::string("ПЦН  "_cp);
    case 122:
    case 123:
    case 124:
        return std::string("ПОДЧ#"_cp) + IntToStr(code - 121);
    default:
        return " ";
    }
}

std::optional<std::vector<std::string>>
ArchiveLines(ArchiveKind kind, std::span<const std::uint8_t> bytes, ArchiveNames& names) {
    const ImageReader image{bytes};
    const Ring ring = ringOf(kind, image);
    const unsigned counter = image.be16(ring.counter);
    if (counter >= static_cast<unsigned>(ring.slots))
        return std::nullopt;

    std::vector<std::string> lines;
    const std::size_t last = ring.base + (ring.slots - 1) * kRecordSize;
    const std::size_t start = ring.base + counter * kRecordSize;
    std::size_t pos = start;
    do {
        Record r;
        for (std::size_t i = 0; i < kRecordSize; ++i)
            r.b[i] = image.at(pos + i);
        if (r.b[0] != 0xFF)
            lines.push_back(recordLine(kind, r, names));
        pos = pos == ring.base ? last : pos - kRecordSize;
    } while (pos != start);
    return lines;
}

std::filesystem::path ArchiveFile(ArchiveKind kind, const std::filesystem::path& name) {
    ConfigFileSet set(std::filesystem::path(name.string() + ".cnf"));
    switch (kind) {
    case ArchiveKind::Fires:
        return set.fireArchive();
    case ArchiveKind::Faults:
        return set.faultArchive();
    case ArchiveKind::Events:
        break;
    }
    return set.eventArchive();
}

std::optional<std::vector<std::string>> ArchiveLines(ArchiveKind kind,
                                                     std::span<const std::uint8_t> image,
                                                     const std::filesystem::path& name) {
    ArchiveNames names(name);
    return ArchiveLines(kind, image, names);
}

bool DecodeArchive(ArchiveKind kind, std::span<const std::uint8_t> image, ArchiveNames& names) {
    auto lines = ArchiveLines(kind, image, names);
    if (!lines)
        return false;
    std::string text;
    for (const std::string& line : *lines)
        text += line + "\r\n";
    writeFile(ArchiveFile(kind, names.name()), text);
    return true;
}

bool DecodeArchive(ArchiveKind kind, std::span<const std::uint8_t> image,
                   const std::filesystem::path& name) {
    ArchiveNames names(name);
    return DecodeArchive(kind, image, names);
}

void DecodeArchives(std::span<const std::uint8_t> image, const std::filesystem::path& name) {
    ArchiveNames names(name);
    DecodeArchive(ArchiveKind::Faults, image, names);
    DecodeArchive(ArchiveKind::Fires, image, names);
    DecodeArchive(ArchiveKind::Events, image, names);
}

} // namespace kvort
