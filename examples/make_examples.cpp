// Writes the sample configuration sets under a folder (default: the folder
// of this source, examples/) through the document layer, the way the
// editors would have written them:
//   small/  a small F/H installation: ПУ-П and one ППКП;
//   full/   ПУ-П and eight slots (ППКП, БРИТ, ПИУ), over 3000 detectors,
//           linked outputs, 128 scenarios, 8 directions;
//   limits/ texts past the F/H linked-output table and 260 linked outputs.
#include "document/Config.h"
#include "document/Detectors.h"
#include "document/IniStore.h"
#include "document/Lifecycle.h"
#include "text/Cp1251.h"
#include "text/Format.h"
#include "text/Literals.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace kvort;
using namespace kvort::text::literals;
using kvort::text::Format;

namespace {

std::string cp(std::string_view utf8) {
    return text::fromUtf8(utf8);
}

struct Builder {
    fs::path cnfPath;
    ZoneNames zones;
    std::unique_ptr<IniStore> cnf;
    std::unique_ptr<IniStore::Batch> batch;

    Builder(const fs::path& folder, const std::string& name) {
        fs::create_directories(folder);
        cnfPath = CreateNewConfig(folder / name, zones);
        cnf = std::make_unique<IniStore>(cnfPath);
        batch = std::make_unique<IniStore::Batch>(*cnf);
    }
    void finish() { batch->commit(); }

    void slot(int s, std::string_view kind) {
        ApplySlotChange(*cnf, s, kind);
        if (s > 0)
            writeFile(fs::path(cnfPath).replace_extension(".tb" + std::to_string(s)), "");
    }
    void zone(int z, std::string_view name) {
        zones[z - 1] = std::string(name);
        cnf->WriteString(SectionZones(), std::to_string(z), name);
    }
    void scenario(int k, int mode, int zone, std::string_view note,
                  const std::vector<std::string>& steps) {
        std::string sec = ScenarioSection(k);
        cnf->WriteInteger(sec, "РЕЖИМ"_cp, mode);
        if (zone >= 0)
            cnf->WriteInteger(sec, "ЗОНА"_cp, zone);
        if (!note.empty())
            cnf->WriteString(sec, "ПРИМЕЧАНИЕ"_cp, note);
        for (size_t j = 0; j < steps.size(); ++j)
            cnf->WriteString(sec, StepKey(int(j) + 1), steps[j]);
    }
    void direction(int n, std::string_view zone, const std::vector<std::string_view>& relays,
                   int scen, std::string_view brit) {
        std::string sec = DirectionSection(n);
        cnf->WriteString(sec, "ЗОНА"_cp, zone);
        for (int i = 1; i <= kRelayCount; ++i)
            cnf->WriteString(sec, RelayKey(i), relays[i - 1]);
        if (scen > 0)
            cnf->WriteString(sec, "СЦЕН."_cp, Format("%2.2d", {scen}));
        if (!brit.empty())
            cnf->WriteString(sec, "БРИТ"_cp, brit);
    }
    void describe(std::string_view key, std::string_view text) {
        cnf->WriteString(SectionDescriptions(), key, text);
    }
    void comment(std::string_view key, std::string_view text) {
        WriteDeviceComment(*cnf, key, text);
    }
};

// All detectors of one slot, written in one batch.
struct Detectors {
    IniStore tb;
    IniStore::Batch batch;
    int slot;
    Detectors(const Builder& b, int s)
        : tb(fs::path(b.cnfPath).replace_extension(".tb" + std::to_string(s))), batch(tb), slot(s) {
    }
    void put(int line, int address, std::string_view text, std::string_view type,
             std::string_view zone, bool on = true, std::string_view output = "",
             bool hide = false) {
        DetectorRecord r;
        r.text = std::string(text);
        r.type = std::string(type);
        r.zone = std::string(zone);
        r.state = std::string(on ? "ВКЛ"_cp : "ВЫКЛ"_cp);
        r.output = std::string(output);
        r.hide = hide ? std::string("ДА"_cp) : std::string();
        WriteDetector(tb, slot, line, address, r);
    }
};

std::string step(std::string_view device, int output, bool on, int delay) {
    return ScenarioStep::make(device, output, on, delay).join();
}

// ---- small ------------------------------------------------------------

void makeSmall(const fs::path& root) {
    Builder b(root / "small", "small");
    b.slot(1, "ППКП"_cp);
    const char* zoneNames[] = {"ВЕСТИБЮЛЬ", "КОРИДОР 1 ЭТ", "КОРИДОР 2 ЭТ", "СКЛАД",
                               "ЩИТОВАЯ",   "КУХНЯ",        "ЛЕСТНИЦА"};
    for (int z = 1; z <= 7; ++z)
        b.zone(z, cp(zoneNames[z - 1]));
    {
        Detectors d(b, 0);
        for (int a = 1; a <= 12; ++a)
            d.put(1, a, cp("ДЫМ ВЕСТИБЮЛЬ ") + std::to_string(a), "ДЫМОВОЙ"_cp, b.zones[0]);
        d.put(1, 13, cp("РУЧН ВХОД"), "РУЧНОЙ"_cp, b.zones[0], true, "ПУ-П /01/"_cp);
        d.put(1, 14, cp("РУЧН ЗАПАСН ВЫХОД"), "РУЧНОЙ"_cp, b.zones[0], true, "ПУ-П /02/"_cp);
        for (int a = 1; a <= 10; ++a)
            d.put(2, a, cp("ДЫМ КОРИДОР 1"), "ДЫМОВОЙ"_cp, b.zones[1], a != 7);
        d.put(2, 11, cp("ТЕПЛ КУХНЯ"), "ТЕПЛОВОЙ"_cp, b.zones[5], true, "ППКП1/03/"_cp);
        d.put(2, 12, cp("ДВЕРЬ СКЛАДА"), "БЕЗ ФИКСАЦИИ"_cp, b.zones[3]);
        d.put(3, 1, cp("ШЛЕЙФ ЛЕСТНИЦЫ"), "ШЛЕЙФ"_cp, b.zones[6]);
    }
    {
        Detectors d(b, 1);
        for (int a = 1; a <= 10; ++a)
            d.put(1, a, cp("ДЫМ КОРИДОР 2"), "ДЫМОВОЙ"_cp, b.zones[2]);
        d.put(1, 11, cp("ДЫМ ЩИТОВАЯ"), "ДЫМОВОЙ"_cp, b.zones[4], true, "БКА11/20/"_cp, true);
        d.put(1, 20, cp("МОДУЛЬ КЛАПАНА"), "БКА"_cp, b.zones[4]);
        d.put(2, 1, cp("ПЛАМЯ СКЛАД"), "СВЕТОВОЙ"_cp, b.zones[3], true, "СЦЕН./02/"_cp);
        d.put(2, 2, cp("УРОВЕНЬ ВОДЫ"), "ТЕХНОЛОГ"_cp, b.zones[3]);
    }
    b.scenario(1, 3, 0, cp("ОПОВЕЩЕНИЕ"),
               {step("ПУ-П "_cp, 2, true, 0), step("ППКП1"_cp, 1, true, 10)});
    b.scenario(2, 4, 3, "", {step("ППКП1"_cp, 4, true, 0), step("ППКП1"_cp, 4, false, 60)});
    b.scenario(3, 1, -1, cp("СБРОС"), {step("ППКП1"_cp, 1, false, 0)});
    b.direction(1, b.zones[3],
                {"ПУСК 1"_cp, "ПУСК 2"_cp, "ТАБЛО\"ОПОВЕЩ.\""_cp, "БЛОКИРОВКА"_cp, "НЕТ"_cp}, 2,
                "");
    b.describe("ППКП1/01"_cp, cp("СИРЕНА 2 ЭТАЖ"));
    b.comment("ППКП1"_cp, cp("ЩИТ 2 ЭТАЖА"));
    b.finish();
}

// ---- full ---------------------------------------------------------------

const char* kRooms[] = {"КОРИДОР", "ХОЛЛ",   "КАБИНЕТ", "СЕРВЕРНАЯ", "АРХИВ",
                        "СКЛАД",   "ЛЕСТН.", "ТАМБУР",  "КЛАДОВАЯ",  "ВЕНТКАМЕРА"};

void makeFull(const fs::path& root) {
    Builder b(root / "full", "full");
    b.slot(0, "ПУ-П"_cp);
    const std::string_view kinds[] = {"ППКП"_cp, "ППКП"_cp, "ППКП"_cp, "ППКП"_cp,
                                      "ППКП"_cp, "БРИТ"_cp, "ПИУ"_cp,  "ППКП"_cp};
    for (int s = 1; s <= 8; ++s)
        b.slot(s, kinds[s - 1]);
    for (int z = 1; z <= 250; ++z)
        b.zone(z, Format("%1.1d.%2.2d %s", {(z - 1) / 32 + 1, (z - 1) % 32 + 1, cp(kRooms[z % 10])})
                      .substr(0, 12));

    int linked = 0, noLatch = 0;
    for (int s = 0; s <= 8; ++s) {
        Detectors d(b, s);
        std::string_view kind = s == 0 ? "ПУ-П"_cp : kinds[s - 1];
        if (kind == "БРИТ"_cp) {
            for (int l = 1; l <= 4; ++l)
                d.put(l, 1, Format("%s%1.1d", {cp("БРИТ НАПР "), l}), "ДЫМОВОЙ"_cp,
                      b.zones[s * 24 + l]);
            continue;
        }
        if (kind == "ПИУ"_cp) {
            for (int a = 1; a <= 48; ++a)
                d.put(1, a, Format("%s%2.2d", {cp(a <= 24 ? "ВЫХОД ПИУ " : "ВХОД ПИУ "), a}),
                      a <= 24 ? "БКА"_cp : "ТЕХНОЛОГ"_cp, b.zones[s * 24 + a % 20]);
            continue;
        }
        for (int l = 1; l <= 8; ++l)
            for (int a = 1; a <= 60; ++a) {
                int zone = (s * 24 + l * 3 + a / 20) % 250;
                // Long texts, repeated per room so the device's texts share
                // storage the way a real installation's do.
                std::string text = Format("%s %s %1.1d", {cp(a % 4 == 0 ? "ИЗВ.ТЕПЛ" : "ИЗВ.ДЫМ"),
                                                          cp(kRooms[(a / 6) % 10]), s})
                                       .substr(0, 20);
                std::string_view type = a % 4 == 0 ? "ТЕПЛОВОЙ"_cp : "ДЫМОВОЙ"_cp;
                std::string output;
                bool hide = false;
                if (a == 60 && l <= 4) {
                    type = "РУЧНОЙ"_cp;
                    text = Format("%s%1.1d%1.1d", {cp("РУЧН.ИЗВ.ВЫХОД "), s, l});
                }
                if (a % 13 == 0 && linked < 150) {
                    static const char* targets[] = {"ПУ-П /%2.2d/",     "ППКП%1.1d/%2.2d/",
                                                    "БРВУ%1.1d/%2.2d/", "ВНЕШН/%3.3d/",
                                                    "СЦЕН./%2.2d/",     "БКА%1.1d%1.1d/%2.2d/"};
                    int kindIdx = linked % 6;
                    std::string pattern = cp(targets[kindIdx]);
                    switch (kindIdx) {
                    case 0:
                        output = Format(pattern, {linked % 8 + 1});
                        break;
                    case 1:
                        output = Format(pattern, {linked % 5 + 1, linked % 8 + 1});
                        break;
                    case 2:
                        output = Format(pattern, {linked % 8 + 1, linked % 8 + 1});
                        break;
                    case 3:
                        output = Format(pattern, {97 + linked % 32});
                        break;
                    case 4:
                        output = Format(pattern, {linked % 96 + 1});
                        break;
                    default:
                        output = Format(pattern, {7, 1, linked % 24 + 1}); // the ПИУ outputs
                    }
                    hide = linked % 7 == 0;
                    ++linked;
                } else if (a % 17 == 0 && noLatch < 60) {
                    type = "БЕЗ ФИКСАЦИИ"_cp;
                    text = Format("%s%1.1d%1.1d", {cp("ДВЕРЬ ТАМБУРА "), s, l});
                    hide = noLatch % 2 == 0;
                    ++noLatch;
                }
                d.put(l, a, text, type, b.zones[zone], a % 29 != 0, output, hide);
            }
    }

    // Every trigger mode and every target kind, with and without notes.
    const std::vector<std::string_view> devices = {"ПУ-П "_cp, "ППКП3"_cp, "БРВУ2"_cp,
                                                   "БКА71"_cp, "ВНЕШН"_cp, "СЦЕН."_cp};
    for (int k = 1; k <= 128; ++k) {
        int mode = (k - 1) % 13 + 1;
        int zone = -1;
        if (mode == 10)
            zone = ((k / 13) % 8) * 32;
        else if (mode != 1 && mode != 7 && mode != 8 && mode != 9)
            zone = k % 5 == 0 ? 255 : (k * 7) % 250;
        std::vector<std::string> steps;
        int count = k % 10 + 1;
        for (int j = 0; j < count; ++j) {
            std::string_view dev = devices[(k + j) % devices.size()];
            int out = dev == "ВНЕШН"_cp   ? (k + j) % 128 + 1
                      : dev == "СЦЕН."_cp ? (k * 3 + j) % 128 + 1
                      : dev == "БКА71"_cp ? (k + j) % 24 + 1
                                          : (k + j) % 8 + 1;
            steps.push_back(step(dev, out, (k + j) % 3 != 0, ((k * j) % 200) * 2));
        }
        b.scenario(k, mode, zone, k % 3 == 0 ? Format("%s%3.3d", {cp("ПРИМЕЧАНИЕ СЦЕН "), k}) : "",
                   steps);
    }

    const std::vector<std::string_view> relays = {
        "ПУСК 1"_cp,     "ПУСК 2"_cp,    "ПУСК 3"_cp,     "ПУСК 4"_cp, "ТАБЛО\"ОПОВЕЩ.\""_cp,
        "БЛОКИРОВКА"_cp, "АВТ.ОТКЛ."_cp, "ПОДАЧА ОТВ"_cp, "СТОП"_cp,   "РЕЗЕРВ.ПУСК"_cp,
        "НЕТ"_cp};
    for (int n = 1; n <= 8; ++n) {
        std::vector<std::string_view> r;
        for (int i = 0; i < 5; ++i)
            r.push_back(relays[(n + i * 2) % relays.size()]);
        b.direction(n, b.zones[n * 20], r, n * 11, Format("6%1.1d/01", {(n - 1) % 4 + 1}));
    }
    for (int d = 0; d <= 16; ++d)
        for (int o = 1; o <= 8; o += (d % 3) + 1) {
            std::string key = d == 0   ? std::string("ПУ-П /0"_cp)
                              : d <= 8 ? Format("%s%1.1d/0", {"ППКП"_cp, d})
                                       : Format("%s%1.1d/0", {"БРВУ"_cp, d - 8});
            b.describe(key + std::to_string(o),
                       Format("%s%1.1d %s", {cp("ВЫХОД "), o, cp(kRooms[(d + o) % 10])}));
        }
    for (int k = 0; k <= 8; ++k)
        b.comment(SlotDeviceKey(k), Format("%s%1.1d", {cp("ЩИТ ЭТАЖА "), k + 1}));
    b.comment("БРВУ1"_cp, cp("БЛОК РЕЛЕ ВЕНТИЛЯЦИИ"));
    b.comment("БДУ2"_cp, cp("ГАЗ СЕРВЕРНОЙ"));
    b.finish();
}

// ---- limits -------------------------------------------------------------

// Texts that end between the F/H linked-output table (0x8E00) and the series
// I description marker (0xBFFF), and 260 detectors needing a linked output.
void makeLimits(const fs::path& root) {
    Builder b(root / "limits", "limits");
    for (int s = 1; s <= 8; ++s)
        b.slot(s, "ППКП"_cp);
    int n = 0, linked = 0;
    for (int s = 0; s <= 8; ++s) {
        Detectors d(b, s);
        for (int l = 1; l <= 8; ++l)
            for (int a = 1; a <= 14; ++a) {
                std::string output;
                std::string_view type = "ДЫМОВОЙ"_cp;
                if (linked < 60 && a % 3 == 0) {
                    output = Format("%s%1.1d/%2.2d/", {"ППКП"_cp, l, a % 8 + 1});
                    ++linked;
                } else if (linked >= 60 && linked < 260 && a % 2 == 0) {
                    type = "БЕЗ ФИКСАЦИИ"_cp;
                    ++linked;
                }
                ++n;
                d.put(l, a, Format("%s%4.4d %s", {cp("ИЗВЕЩ N"), n, cp("УНИКАЛ")}), type,
                      b.zones[(n - 1) % 256], true, output, type == "БЕЗ ФИКСАЦИИ"_cp);
            }
    }
    b.finish();
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::cerr << "usage: kvort-make-examples [FOLDER]\n"
                     "writes the sample configurations small/, full/ and limits/ into FOLDER\n"
                     "(default: the project's examples/ folder)\n";
        return argc == 2 && std::string(argv[1]) == "--help" ? 0 : 2;
    }
    fs::path root = argc > 1 ? fs::path(argv[1]) : fs::path(KVORT_EXAMPLES_DIR);
    try {
        makeSmall(root);
        makeFull(root);
        makeLimits(root);
    } catch (const std::exception& e) {
        std::cerr << "kvort-make-examples: " << e.what() << "\n";
        return 1;
    }
    std::cout << "samples written under " << root.string() << "\n";
    return 0;
}
