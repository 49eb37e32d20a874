#include "ConfigCompare.h"

#include "document/Detectors.h"
#include "document/Lifecycle.h"
#include "image/Decoder.h"
#include "image/Encoder.h"
#include "image/ImageMessages.h"
#include "text/Cp1251.h"
#include "text/Error.h"
#include "text/Format.h"
#include "text/Literals.h"

#include <algorithm>
#include <random>
#include <set>

#include <unistd.h>

namespace kvort {

using namespace text::literals;
using text::Format;
namespace fs = std::filesystem;

namespace {

// The panel's fields, in bytes (the cut is by bytes, like the encoder's).
constexpr std::size_t kPanelText = imagemap::kTextMax;            // detector texts
constexpr std::size_t kPanelZoneName = ZoneNameField::capacity(); // zone names
constexpr std::size_t kPanelNote = PanelTextField::capacity();    // series I descriptions ...
constexpr int kPanelDirectionScenarioMax = 96;

std::string Quoted(std::string_view v) {
    return std::string("«"_cp) + std::string(v) + std::string("»"_cp);
}

std::string TrimRight(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.pop_back();
    return s;
}

bool AllDigits(std::string_view v) {
    if (v.empty())
        return false;
    for (char c : v)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// ---- reading --------------------------------------------------------------

// The slot's kind as the panel's device code names it (БДУ(4) is a БРИТ, the
// line count is not in the code).
std::string KindOfCode(int slot, std::string_view kind) {
    if (kind.empty() || kind == word::kNone)
        return {};
    return DisplayKind(KindOfDeviceCode(slot, DeviceCodeOfKind(slot, kind)));
}

DetectorValues ReadValues(const IniStore& tb, const std::string& sec) {
    DetectorValues d;
    d.text = tb.ReadString(sec, key::kText, "");
    d.type = tb.ReadString(sec, key::kType, "");
    d.zone = tb.ReadString(sec, key::kZone, "");
    d.state = tb.ReadString(sec, key::kState, "");
    d.output = tb.ReadString(sec, key::kOutput, "");
    d.hide = tb.ReadString(sec, key::kHide, "");
    return d;
}

// The decoded copy is read once and thrown away, so it needs none of the
// disk syncs every file write makes: a memory-backed folder, where there is
// one, keeps the comparison fast.
fs::path ScratchRoot() {
    std::error_code ec;
    fs::path shm = "/dev/shm";
    if (fs::is_directory(shm, ec) && ::access(shm.c_str(), W_OK | X_OK) == 0)
        return shm;
    return fs::temp_directory_path();
}

fs::path TempFolder() {
    static std::mt19937_64 rng{std::random_device{}()};
    for (int attempt = 0; attempt < 16; ++attempt) {
        fs::path p = ScratchRoot() / ("kvort-compare-" + std::to_string(rng()));
        std::error_code ec;
        if (fs::create_directory(p, ec))
            return p;
    }
    throw FileError("Не удалось создать временную папку для сравнения в " + ScratchRoot().string());
}

struct TempFolderGuard {
    fs::path path;
    ~TempFolderGuard() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

// ---- the panel's view -----------------------------------------------------

struct Notes {
    std::vector<std::string>* out;
    const std::string& prefix;
    void add(const std::string& line) const {
        if (out)
            out->push_back(prefix + line);
    }
};

std::string Cut(const std::string& v, std::size_t n, const std::string& what, const Notes& notes) {
    if (v.size() <= n)
        return v;
    std::string held = TrimRight(v.substr(0, n));
    notes.add(what + ": " + Quoted(v) + std::string(" длиннее "_cp) + std::to_string(n) +
              std::string(" знаков, прибор хранит "_cp) + Quoted(held));
    return held;
}

// A linked output in the form the decoder writes it; "" for none. A value
// the encoder cannot read is kept as it is (the check reports it).
std::string HeldOutput(const std::string& v) {
    if (v.empty() || v == "НЕТ"_cp)
        return {};
    try {
        const bool wide = HasWideNumberDevice(v) && v.size() != 9;
        auto ref = ReadOutputRef(v, wide, true, ValuePlace{});
        return ref ? OutputRefText(*ref, true) : v;
    } catch (const ConvertError&) {
        return v;
    }
}

// A step value split the way the encoder reads it; nullopt where the encoder
// stores nothing (and the panel's step list therefore ends).
struct HeldStep {
    std::string device;
    int number = 0;
    bool off = false;
    int delay = 0;
};
std::optional<HeldStep> ParseHeldStep(std::string_view v) {
    const bool longForm = HasWideNumberDevice(v) && v.size() != 17;
    const std::size_t stateAt = longForm ? 10 : 9; // 0-based
    if (v.size() < stateAt + 8)
        return std::nullopt;
    std::optional<OutputRef> ref;
    try {
        ref = ReadOutputRef(v, longForm, false, ValuePlace{});
    } catch (const ConvertError&) {
        return std::nullopt;
    }
    std::string_view delay = v.substr(stateAt + 5, 3);
    if (!ref || !AllDigits(delay))
        return std::nullopt;
    HeldStep s;
    s.device = ref->device.name();
    s.number = ref->number;
    s.off = v.substr(stateAt, 4) == "ВЫКЛ"_cp;
    s.delay = std::stoi(std::string(delay));
    return s;
}

std::string JoinHeldStep(const HeldStep& s) {
    // The decoder writes a scenario number with "%2.2d" whatever its size, an
    // external output with three digits above 96.
    bool wide = s.device.rfind("ВНЕ"_cp, 0) == 0 && s.number > 96;
    return s.device + "/" + Format(wide ? "%3.3d" : "%2.2d", {s.number}) + "/" +
           std::string(s.off ? "ВЫКЛ"_cp : "ВКЛ "_cp) + "/" + Format("%3.3d", {(s.delay / 2) * 2});
}

bool ModeHasZone(int mode) {
    return (mode >= 2 && mode <= 6) || (mode >= 10 && mode <= 13);
}

// The device of description row d of a series I image: ПУ-П, ППКП1..8, БРВУ1..8.
std::string DescriptionDevice(int d) {
    if (d == 0)
        return std::string("ПУ-П "_cp);
    return std::string(d <= 8 ? "ППКП"_cp : "БРВУ"_cp) + std::to_string(d <= 8 ? d : d - 8);
}

const std::set<std::string>& SeriesIDescriptionKeys() {
    static const std::set<std::string> keys = [] {
        std::set<std::string> k;
        for (int d = 0; d <= 16; ++d)
            for (int o = 1; o <= 8; ++o)
                k.insert(text::foldName(DescriptionKey(DescriptionDevice(d), o)));
        return k;
    }();
    return keys;
}

const std::set<std::string>& SeriesICommentKeys() {
    static const std::set<std::string> keys = [] {
        std::set<std::string> k;
        for (int n = 0; n < kCommentCount; ++n)
            k.insert(text::foldName(CommentKey(n)));
        return k;
    }();
    return keys;
}

std::string ScenarioName(int k) {
    return std::string("сценарий "_cp) + Format("%2.2d", {k});
}

std::string DirectionName(int n) {
    return std::string("направление "_cp) + std::to_string(n);
}

// ---- differences ----------------------------------------------------------

struct Collector {
    std::vector<Difference>& out;
    void field(DiffKind kind, const std::string& object, const std::string& a,
               const std::string& b) {
        if (a != b)
            out.push_back({kind, object, Shown(a), Shown(b)});
    }
    static std::string Shown(const std::string& v) {
        return v.empty() ? std::string("пусто"_cp) : Quoted(v);
    }
};

std::string DetectorSummary(const DetectorValues& d) {
    std::string s = Quoted(d.text) + " (" + (d.type.empty() ? std::string("ДЫМОВОЙ"_cp) : d.type);
    if (!d.zone.empty())
        s += ", " + d.zone;
    s += ", " + (d.state.empty() ? std::string("ВЫКЛ"_cp) : d.state);
    if (!d.output.empty())
        s += std::string(", выход "_cp) + d.output;
    return s + ")";
}

std::string ScenarioSummary(const ScenarioValues& s) {
    std::string r = std::string("режим "_cp) + std::to_string(s.mode);
    if (s.zone >= 0)
        r += std::string(", зона "_cp) + std::to_string(s.zone);
    r += std::string(", шагов "_cp) + std::to_string(s.steps.size());
    return r;
}

} // namespace

std::string_view DiffKindName(DiffKind kind) {
    switch (kind) {
    case DiffKind::Composition:
        return "Состав"_cp;
    case DiffKind::Zones:
        return "Зоны"_cp;
    case DiffKind::Detectors:
        return "Извещатели"_cp;
    case DiffKind::Scenarios:
        return "Сценарии"_cp;
    case DiffKind::Directions:
        return "Направления"_cp;
    case DiffKind::Descriptions:
        return "Описания выходов"_cp;
    case DiffKind::Comments:
        return "Комментарии к приборам"_cp;
    }
    return {};
}

ConfigSnapshot ReadConfigSnapshot(const fs::path& cnfPath) {
    std::error_code ec;
    if (!fs::is_regular_file(cnfPath, ec))
        throw FileError("Нет файла конфигурации " + cnfPath.string());
    IniStore cnf(cnfPath);
    ConfigSnapshot s;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        s.kinds[slot] = KindOfCode(slot, SlotKind(cnf, slot));
        if (slot == 0 && s.kinds[0].empty() && !SlotEmpty(cnf, 0))
            s.kinds[0] = std::string("ПУ-П"_cp);
        s.lines[slot] = s.kinds[slot].empty() ? 0 : SlotLineCount(cnf, slot);
    }
    s.zones = ReadZoneNames(cnf);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (s.kinds[slot].empty())
            continue;
        fs::path tbPath = cnfPath;
        tbPath.replace_extension(".tb" + std::to_string(slot));
        if (!fs::exists(tbPath, ec))
            continue;
        IniStore tb(tbPath);
        for (const std::string& sec : tb.ReadSections()) {
            // Only the sections of this slot that name an address the panel has.
            auto place = ParseSensorAddress(text::foldName(sec));
            if (!place || place->slot != slot)
                continue;
            const std::string addr = place->text();
            DetectorValues d = ReadValues(tb, sec);
            if (!d.text.empty())
                s.detectors.emplace(addr, std::move(d));
        }
    }
    for (int k = 1; k <= kScenarioCount; ++k) {
        Scenario sc = ReadScenario(cnf, k, 0);
        ScenarioValues& v = s.scenarios[k - 1];
        if (!sc.exists)
            continue;
        v.mode = sc.mode;
        v.zone = sc.zone;
        v.note = sc.note;
        // Kept with their gaps here; the panel's view closes them.
        for (const std::string& step : sc.steps)
            v.steps.push_back(step);
        while (!v.steps.empty() && v.steps.back().empty())
            v.steps.pop_back();
        if (v.mode == -1 && v.steps.empty() && v.note.empty())
            v.mode = -1;
    }
    for (int n = 1; n <= kDirectionCount; ++n) {
        Direction d = ReadDirection(cnf, n);
        DirectionValues& v = s.directions[n - 1];
        v.present = d.exists;
        if (!d.exists)
            continue;
        v.zone = d.zone;
        v.relays = d.relays;
        v.scenario = d.scenario;
        v.brit = d.brit;
    }
    for (auto& [key, value] : cnf.ReadSectionValues(SectionDescriptions()))
        if (!value.empty())
            s.descriptions.emplace(text::foldName(key), value);
    for (auto& [key, value] : cnf.ReadSectionValues(SectionComments()))
        if (!value.empty())
            s.comments.emplace(text::foldName(key), value);
    return s;
}

ConfigSnapshot ReadImageSnapshot(const TPanelImage& image, Series series, Series* decodedSeries) {
    TempFolderGuard folder{TempFolder()};
    TPanelImage copy = image;
    // A series named by the person wins over the marker: images read from a
    // panel of series I do not always carry it.
    if (series == Series::I)
        copy.setByte(imagemap::kISeriesMarker, imagemap::kSeriesMarker);
    else if (series == Series::FH && copy.byte(imagemap::kISeriesMarker) == imagemap::kSeriesMarker)
        copy.setByte(imagemap::kISeriesMarker, 0xFF);
    fs::path cnf = WriteReadSkeleton(folder.path / "panel.cnf");
    Series decoded = DecodePanelImage(copy, cnf);
    if (decodedSeries)
        *decodedSeries = decoded;
    return ReadConfigSnapshot(cnf);
}

ConfigSnapshot PanelView(const ConfigSnapshot& config, Series series, std::vector<std::string>* out,
                         const std::string& prefix) {
    Notes notes{out, prefix};
    ConfigSnapshot v = config;

    for (int z = 1; z <= kZoneCount; ++z)
        v.zones[z - 1] = Cut(config.zones[z - 1], kPanelZoneName,
                             std::string("зона "_cp) + std::to_string(z), notes);

    for (auto& [addr, d] : v.detectors) {
        d.text = Cut(d.text, kPanelText, addr + std::string(", текст"_cp), notes);
        // The encoder looks the name up exactly; a name not in the list is
        // stored as number 256, whose low eight bits read back as zone 1.
        auto zone = std::find(config.zones.begin(), config.zones.end(), d.zone);
        if (zone == config.zones.end()) {
            notes.add(addr + std::string(": зона "_cp) + Quoted(d.zone) +
                      std::string(" не найдена в списке зон, прибор читает её как зону 1"_cp));
            zone = config.zones.begin();
        }
        d.zone = v.zones[zone - config.zones.begin()];
        int code = TypeCode(d.type);
        if (code < 0 || (code == kTypeLoop && addr.substr(addr.size() - 2) != "01"))
            code = kTypeSmoke;
        d.type = std::string(TypeWord(code));
        d.state = std::string(d.state.empty() || d.state == "ВЫКЛ"_cp ? "ВЫКЛ"_cp : "ВКЛ"_cp);
        d.output = (code == kTypeBka || code == kTypeLoop) ? std::string() : HeldOutput(d.output);
        bool record = !d.output.empty() || code == kTypeNoLatch;
        if (d.hide == "ДА"_cp && !record) {
            notes.add(addr + std::string(
                                 ": отметка СКРЫТЬ без связанного выхода, прибор её не хранит"_cp));
            d.hide.clear();
        } else if (d.hide != "ДА"_cp) {
            d.hide.clear();
        }
    }

    for (int k = 1; k <= kScenarioCount; ++k) {
        ScenarioValues& s = v.scenarios[k - 1];
        if (s.mode < 1 || s.mode > 13)
            s.mode = -1;
        s.zone = ModeHasZone(s.mode) ? (s.zone < 0 ? 0 : s.zone & 0xFF) : -1;
        std::vector<std::string> held;
        for (std::size_t j = 0; j < s.steps.size(); ++j) {
            std::string object =
                ScenarioName(k) + std::string(", шаг "_cp) + Format("%2.2d", {int(j + 1)});
            auto step = ParseHeldStep(s.steps[j]);
            if (!step) {
                if (j + 1 < s.steps.size())
                    notes.add(object + std::string(": прибор не хранит шаги после пустого или "
                                                   "неверного шага"_cp));
                break;
            }
            std::string h = JoinHeldStep(*step);
            if (step->delay % 2)
                notes.add(object + std::string(": задержка "_cp) + std::to_string(step->delay) +
                          std::string(", прибор хранит "_cp) + std::to_string(step->delay / 2 * 2));
            held.push_back(h);
        }
        s.steps = std::move(held);
        if (series == Series::I) {
            s.note =
                Cut(s.note, kPanelNote, ScenarioName(k) + std::string(", примечание"_cp), notes);
        } else if (series == Series::FH && !s.note.empty()) {
            notes.add(ScenarioName(k) + std::string(": примечание "_cp) + Quoted(s.note) +
                      std::string(" прибор серии F/H не хранит"_cp));
            s.note.clear();
        }
    }

    for (int n = 1; n <= kDirectionCount; ++n) {
        DirectionValues& d = v.directions[n - 1];
        if (!d.present)
            continue;
        // The encoder binds a direction by the exact zone name; without a match
        // the panel keeps its default record, which reads back as no direction.
        bool bound = false;
        for (const std::string& name : config.zones)
            if (name == d.zone)
                bound = true;
        if (!bound) {
            notes.add(DirectionName(n) + std::string(": зона "_cp) + Quoted(d.zone) +
                      std::string(" не найдена в списке зон, прибор направление не хранит"_cp));
            d = DirectionValues{};
            continue;
        }
        d.zone = TrimRight(d.zone.substr(0, std::min(d.zone.size(), kPanelZoneName)));
        for (std::string& r : d.relays) {
            const int code = RelayFunctionCode(r);
            if (r.empty())
                r = std::string("НЕТ"_cp);
            else if (code >= 0 && code < kRelayFunctionCount)
                r = std::string(RelayFunctionWord(code));
        }
        if (d.scenario > kPanelDirectionScenarioMax || d.scenario < 0) {
            notes.add(DirectionName(n) + std::string(": сценарий "_cp) +
                      std::to_string(d.scenario) + std::string(" прибор не хранит"_cp));
            d.scenario = 0;
        }
        if (!d.brit.empty()) {
            auto ref = ParseBritRef(d.brit);
            if (ref && ref->slot * 8 + ref->line - 1 < 0x48 && ref->address >= 1 &&
                ref->address <= 0x3C)
                d.brit = Format("%1.1d%1.1d/%2.2d", {ref->slot, ref->line, ref->address});
            else
                d.brit.clear();
        }
    }

    if (series == Series::I) {
        std::map<std::string, std::string> held;
        for (auto& [key, value] : config.descriptions) {
            if (!SeriesIDescriptionKeys().count(key)) {
                notes.add(std::string("описание "_cp) + key +
                          std::string(": прибор серии I хранит "
                                      "описания только выходов "
                                      "ПУ-П, ППКП и БРВУ"_cp));
                continue;
            }
            held.emplace(key, Cut(value, kPanelNote, std::string("описание "_cp) + key, notes));
        }
        v.descriptions = std::move(held);
        held.clear();
        for (auto& [key, value] : config.comments) {
            if (!SeriesICommentKeys().count(key))
                continue;
            held.emplace(key, Cut(value, kPanelNote, std::string("комментарий "_cp) + key, notes));
        }
        v.comments = std::move(held);
    } else if (series == Series::FH) {
        for (auto& [key, value] : config.comments)
            notes.add(std::string("комментарий "_cp) + key + ": " + Quoted(value) +
                      std::string(" прибор серии F/H не хранит"_cp));
        v.comments.clear();
    }
    return v;
}

std::string Difference::line() const {
    return object + ": A " + a + ", B " + b;
}

int Comparison::count(DiffKind kind) const {
    int n = 0;
    for (const Difference& d : differences)
        n += d.kind == kind;
    return n;
}

std::vector<Difference> CompareSnapshots(const ConfigSnapshot& a, const ConfigSnapshot& b,
                                         const CompareOptions& options) {
    std::vector<Difference> out;
    Collector c{out};
    const std::string none = std::string("нет"_cp);

    for (int s = 0; s < kSlotCount; ++s) {
        auto kind = [&](const ConfigSnapshot& x) {
            if (x.kinds[s].empty())
                return std::string("НЕТ"_cp);
            if (options.lineCounts && x.lines[s] == 4)
                return x.kinds[s] + "(4)";
            return x.kinds[s];
        };
        c.field(DiffKind::Composition, std::string("слот "_cp) + SlotKey(s), kind(a), kind(b));
    }

    for (int z = 1; z <= kZoneCount; ++z)
        c.field(DiffKind::Zones, std::string("зона "_cp) + std::to_string(z), a.zones[z - 1],
                b.zones[z - 1]);

    std::set<std::string> addresses;
    for (auto& [k, _] : a.detectors)
        addresses.insert(k);
    for (auto& [k, _] : b.detectors)
        addresses.insert(k);
    for (const std::string& addr : addresses) {
        auto ia = a.detectors.find(addr), ib = b.detectors.find(addr);
        if (ia == a.detectors.end() || ib == b.detectors.end()) {
            out.push_back({DiffKind::Detectors, addr,
                           ia == a.detectors.end() ? none : DetectorSummary(ia->second),
                           ib == b.detectors.end() ? none : DetectorSummary(ib->second)});
            continue;
        }
        const DetectorValues &x = ia->second, &y = ib->second;
        c.field(DiffKind::Detectors, addr + std::string(", текст"_cp), x.text, y.text);
        c.field(DiffKind::Detectors, addr + std::string(", тип"_cp), x.type, y.type);
        c.field(DiffKind::Detectors, addr + std::string(", зона"_cp), x.zone, y.zone);
        c.field(DiffKind::Detectors, addr + std::string(", состояние"_cp), x.state, y.state);
        c.field(DiffKind::Detectors, addr + std::string(", выход"_cp), x.output, y.output);
        c.field(DiffKind::Detectors, addr + std::string(", скрыть"_cp), x.hide, y.hide);
    }

    for (int k = 1; k <= kScenarioCount; ++k) {
        const ScenarioValues &x = a.scenarios[k - 1], &y = b.scenarios[k - 1];
        if (x.present() != y.present()) {
            out.push_back({DiffKind::Scenarios, ScenarioName(k),
                           x.present() ? ScenarioSummary(x) : none,
                           y.present() ? ScenarioSummary(y) : none});
            continue;
        }
        auto num = [](int n) { return n < 0 ? std::string() : std::to_string(n); };
        c.field(DiffKind::Scenarios, ScenarioName(k) + std::string(", режим"_cp), num(x.mode),
                num(y.mode));
        c.field(DiffKind::Scenarios, ScenarioName(k) + std::string(", зона"_cp), num(x.zone),
                num(y.zone));
        c.field(DiffKind::Scenarios, ScenarioName(k) + std::string(", примечание"_cp), x.note,
                y.note);
        std::size_t steps = std::max(x.steps.size(), y.steps.size());
        for (std::size_t j = 0; j < steps; ++j)
            c.field(DiffKind::Scenarios,
                    ScenarioName(k) + std::string(", шаг "_cp) + Format("%2.2d", {int(j + 1)}),
                    j < x.steps.size() ? x.steps[j] : std::string(),
                    j < y.steps.size() ? y.steps[j] : std::string());
    }

    for (int n = 1; n <= kDirectionCount; ++n) {
        const DirectionValues &x = a.directions[n - 1], &y = b.directions[n - 1];
        if (x.present != y.present) {
            out.push_back({DiffKind::Directions, DirectionName(n),
                           x.present ? std::string("есть, зона "_cp) + Quoted(x.zone) : none,
                           y.present ? std::string("есть, зона "_cp) + Quoted(y.zone) : none});
            continue;
        }
        if (!x.present)
            continue;
        c.field(DiffKind::Directions, DirectionName(n) + std::string(", зона"_cp), x.zone, y.zone);
        for (int r = 0; r < kRelayCount; ++r)
            c.field(DiffKind::Directions,
                    DirectionName(n) + std::string(", реле "_cp) + std::to_string(r + 1),
                    x.relays[r], y.relays[r]);
        auto scen = [](int s) { return s > 0 ? Format("%2.2d", {s}) : std::string(); };
        c.field(DiffKind::Directions, DirectionName(n) + std::string(", сценарий"_cp),
                scen(x.scenario), scen(y.scenario));
        c.field(DiffKind::Directions, DirectionName(n) + std::string(", БРИТ"_cp), x.brit, y.brit);
    }

    auto keyed = [&](DiffKind kind, const char* what, const std::map<std::string, std::string>& x,
                     const std::map<std::string, std::string>& y) {
        std::set<std::string> keys;
        for (auto& [k, _] : x)
            keys.insert(k);
        for (auto& [k, _] : y)
            keys.insert(k);
        for (const std::string& k : keys) {
            auto ix = x.find(k), iy = y.find(k);
            std::string vx = ix == x.end() ? std::string() : ix->second;
            std::string vy = iy == y.end() ? std::string() : iy->second;
            if (vx != vy)
                out.push_back({kind, text::fromUtf8(what) + k, ix == x.end() ? none : Quoted(vx),
                               iy == y.end() ? none : Quoted(vy)});
        }
    };
    keyed(DiffKind::Descriptions, "выход ", a.descriptions, b.descriptions);
    keyed(DiffKind::Comments, "прибор ", a.comments, b.comments);
    return out;
}

CompareSource SourceFromPath(const fs::path& path) {
    std::string ext = path.extension().string();
    for (char& ch : ext)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return {path, ext != ".cnf", nullptr};
}

namespace {

std::string SeriesLabel(Series series) {
    return std::string(series == Series::I ? "серия I"_cp : "серия F/H"_cp);
}

} // namespace

Comparison CompareSources(const CompareSource& a, const CompareSource& b, Series series) {
    struct Side {
        ConfigSnapshot snapshot;
        Series series = Series::Unknown;
        std::string label;
    };
    std::vector<std::string> inputs;
    auto load = [&](const CompareSource& src) {
        Side side;
        std::string name = text::fromUtf8Lossy(src.path.filename().string());
        if (src.image) {
            bool longer = false;
            TPanelImage image =
                src.inMemory ? *src.inMemory : TPanelImage::fromFile(src.path, &longer);
            if (longer)
                inputs.push_back(text::fromUtf8Lossy(msg::imageFileLonger(src.path)));
            side.snapshot = ReadImageSnapshot(image, series, &side.series);
            side.label =
                name + std::string(" (образ прибора, "_cp) + SeriesLabel(side.series) + ")";
        } else {
            side.snapshot = ReadConfigSnapshot(src.path);
            side.label = name + std::string(" (конфигурация)"_cp);
        }
        return side;
    };
    Side sa = load(a), sb = load(b);

    // With an image on either side, the configurations are seen by that panel.
    Series view = series;
    if (a.image)
        view = sa.series;
    else if (b.image)
        view = sb.series;

    Comparison c;
    c.labelA = sa.label;
    c.labelB = sb.label;
    c.inputs = std::move(inputs);
    ConfigSnapshot va = PanelView(sa.snapshot, view, a.image ? nullptr : &c.notes, "A: ");
    ConfigSnapshot vb = PanelView(sb.snapshot, view, b.image ? nullptr : &c.notes, "B: ");
    CompareOptions options;
    options.lineCounts = !a.image && !b.image;
    c.differences = CompareSnapshots(va, vb, options);
    return c;
}

TPanelImage EncodeConfigurationImage(const fs::path& cnfPath, Series series) {
    ZoneNames zones;
    {
        IniStore cnf(cnfPath);
        zones = ReadZoneNames(cnf);
    }
    TPanelImage image;
    BuildPanelImage(image, cnfPath, zones);
    IniStore cnf(cnfPath);
    EncodeOutputTexts(image, cnf, series);
    EncodeLinkedOutputs(image, cnf, series);
    EncodeScenarios(image, cnf, series);
    if (series == Series::I)
        image.setByte(imagemap::kISeriesMarker, imagemap::kSeriesMarker);
    return image;
}

std::vector<std::string> FormatComparison(const Comparison& c) {
    std::vector<std::string> lines;
    lines.push_back(std::string("A: "_cp) + c.labelA);
    lines.push_back(std::string("B: "_cp) + c.labelB);
    for (const std::string& n : c.inputs)
        lines.push_back(std::string("ВНИМАНИЕ: "_cp) + n);
    lines.emplace_back(std::string("Значения, которые прибор не может хранить, сравниваются так, "
                                   "как их хранит прибор."_cp));
    if (!c.notes.empty()) {
        lines.push_back(std::string("Прибор не может хранить ("_cp) +
                        std::to_string(c.notes.size()) + "):");
        for (const std::string& n : c.notes)
            lines.push_back("  " + n);
    }
    if (c.same()) {
        lines.emplace_back(std::string("Различий нет."_cp));
        return lines;
    }
    lines.push_back(std::string("Различий: "_cp) + std::to_string(c.differences.size()));
    for (int k = 0; k < kDiffKindCount; ++k) {
        DiffKind kind = static_cast<DiffKind>(k);
        int n = c.count(kind);
        if (n == 0)
            continue;
        lines.push_back(std::string(DiffKindName(kind)) + " (" + std::to_string(n) + ")");
        for (const Difference& d : c.differences)
            if (d.kind == kind)
                lines.push_back("  " + d.line());
    }
    return lines;
}

} // namespace kvort
