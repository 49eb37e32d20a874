#include "TestText.h"

#include "document/Config.h"
#include "document/ConfigFileSet.h"
#include "document/Detectors.h"
#include "document/Lifecycle.h"
#include "text/Error.h"

#include <cstdio>
#include <gtest/gtest.h>

using namespace kvort;
using namespace kvort::test;
namespace fs = std::filesystem;

namespace {

std::string expectedSkeleton(bool forRead) {
    std::string s = "[СИСТЕМА]\r\n\r\n[АДРЕС ПУ-П]\r\n\r\n[СОСТАВ]\r\n\r\n[ПРИБОРЫ]\r\n\r\n"
                    "[ОБЩИЙ ПЛАН]\r\n\r\n[ЗОНА]\r\n\r\n[ПЛАН ЗОНЫ]\r\n";
    if (forRead)
        s += "\r\n";
    char buf[40];
    for (int n = 1; n <= 128; ++n) {
        std::snprintf(buf, sizeof buf, n <= 96 ? "[СЦЕНАРИЙ %02d]\r\n" : "[СЦЕНАРИЙ %03d]\r\n", n);
        s += buf;
    }
    s += "\r\n";
    for (int d = 1; d <= 8; ++d)
        s += "[НАПРАВЛЕНИЕ " + std::to_string(d) + "]\r\n";
    s += "\r\n[ОПИСАНИЕ ВЫХОДОВ]\r\n";
    if (!forRead)
        s += "ПУ-П /01=ПЕРЕДАЧА НА ПЦН\r\nПУ-П /02=ОПОВЕЩЕНИЕ\r\n";
    return cp(s);
}

} // namespace

TEST(Skeletons, ByteForByte) {
    EXPECT_EQ(NewConfigSkeleton(), expectedSkeleton(false));
    EXPECT_EQ(ReadSkeleton(), expectedSkeleton(true));
    EXPECT_NE(NewConfigSkeleton().find(cp("[СЦЕНАРИЙ 96]\r\n[СЦЕНАРИЙ 097]\r\n")),
              std::string::npos);
}

TEST(FileSet, ExtensionReplacement) {
    struct Row {
        const char* in;
        const char* ext;
        const char* out;
    } rows[] = {
        {"/a/ОБЪЕКТ.cnf", ".tb3", "/a/ОБЪЕКТ.tb3"},
        {"/a/ОБЪЕКТ", ".cnf", "/a/ОБЪЕКТ.cnf"},
        {"/a/ОБЪЕКТ.txt", ".cnf", "/a/ОБЪЕКТ.cnf"},
        {"/a/b.c/ОБЪЕКТ", ".cnf", "/a/b.c/ОБЪЕКТ.cnf"},
        {"/a/x.y.tb8", "_ConfigReport.txt", "/a/x.y_ConfigReport.txt"},
        {"/a/x.tb8", "", "/a/x"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ChangeFileExt(r.in, r.ext).string(), r.out) << r.in;
    ConfigFileSet set("/f/ДОМ.tb5");
    EXPECT_EQ(set.cnf(), "/f/ДОМ.cnf");
    EXPECT_EQ(set.workTb(2), "/f/ДОМ.~tb2");
    EXPECT_EQ(set.workCnf(), "/f/ДОМ.~cnf");
    EXPECT_EQ(set.report(), "/f/ДОМ_ConfigReport.txt");
    EXPECT_EQ(set.faultArchive(), "/f/ДОМ_АрхивОтказов.txt");
    EXPECT_EQ(set.name(), "ДОМ");
}

TEST(NewConfig, ContentOfAFreshConfiguration) {
    TempDir dir;
    ZoneNames grid;
    fs::path cnf = CreateNewConfig(dir / "ОБЪЕКТ.xyz", grid);
    EXPECT_EQ(cnf, dir / "ОБЪЕКТ.cnf");
    EXPECT_FALSE(fs::exists(dir / "ОБЪЕКТ.xyz"));
    ASSERT_TRUE(fs::exists(dir / "ОБЪЕКТ.tb0"));
    EXPECT_EQ(fs::file_size(dir / "ОБЪЕКТ.tb0"), 0u);

    IniStore s(cnf);
    EXPECT_EQ(u8(s.ReadString(cp("СИСТЕМА"), cp("НАИМЕНОВАНИЕ"), "")), "КВОРТ");
    EXPECT_EQ(s.ReadString(cp("СИСТЕМА"), cp("ВЕРСИЯ"), ""), "V6.10");
    EXPECT_EQ(s.ReadString(cp("АДРЕС ПУ-П"), cp("АДРЕС"), ""), "-1");
    EXPECT_EQ(u8(s.ReadString(cp("СОСТАВ"), "0", "")), "ПУ-П");
    EXPECT_EQ(s.ReadString(cp("ПРИБОРЫ"), cp("ПУ-П"), ""), "-8");
    EXPECT_EQ(s.ReadSection(cp("СОСТАВ")).size(), 1u);
    EXPECT_EQ(s.ReadString(cp("ОБЩИЙ ПЛАН"), "0", "absent"), "");
    for (int z : {1, 2, 100, 256}) {
        EXPECT_EQ(u8(s.ReadString(cp("ЗОНА"), std::to_string(z), "")), "ЗОНА " + std::to_string(z));
        EXPECT_EQ(s.ReadString(cp("ПЛАН ЗОНЫ"), std::to_string(z), "absent"), "");
        EXPECT_EQ(u8(grid[z - 1]), "ЗОНА " + std::to_string(z));
    }
    EXPECT_EQ(s.ReadSection(cp("ЗОНА")).size(), 256u);
    EXPECT_EQ(s.ReadSection(cp("ПЛАН ЗОНЫ")).size(), 256u);
    // The keys land inside the skeleton's sections, which keep their order.
    std::string text = fileUtf8(cnf);
    EXPECT_NE(
        text.find("[СОСТАВ]\r\n0=ПУ-П\r\n\r\n[ПРИБОРЫ]\r\nПУ-П=-8\r\n\r\n[ОБЩИЙ ПЛАН]\r\n0=\r\n\r\n"
                  "[ЗОНА]\r\n1=ЗОНА 1\r\n"),
        std::string::npos);
    EXPECT_NE(text.find("256=\r\n[СЦЕНАРИЙ 01]\r\n"), std::string::npos);
    EXPECT_NE(
        text.find("[ОПИСАНИЕ ВЫХОДОВ]\r\nПУ-П /01=ПЕРЕДАЧА НА ПЦН\r\nПУ-П /02=ОПОВЕЩЕНИЕ\r\n"),
        std::string::npos);
    for (int n = 1; n <= 128; ++n)
        EXPECT_FALSE(ReadScenario(s, n).exists);
}

TEST(NewConfig, OverwritesAnOldConfigurationOfTheSameName) {
    TempDir dir;
    writeFile(dir / "A.cnf", "[СТАРОЕ]\r\nk=1\r\n");
    writeFile(dir / "A.tb0", cp("[И01-01]\r\nТЕКСТ=СТАРЫЙ\r\n"));
    writeFile(dir / "A.tb4", cp("[И41-01]\r\nТЕКСТ=СТАРЫЙ\r\n"));
    ZoneNames grid;
    CreateNewConfig(dir / "A", grid);
    EXPECT_EQ(fileUtf8(dir / "A.cnf").find("СТАРОЕ"), std::string::npos);
    EXPECT_EQ(fs::file_size(dir / "A.tb0"), 0u);
    EXPECT_FALSE(fs::exists(dir / "A.tb4"));
    EXPECT_THROW(CreateNewConfig(dir / "missing" / "B.cnf", grid), FileError);
}

namespace {
void touch(const fs::path& p, const std::string& utf8) {
    writeFile(p, cp(utf8));
}
std::string content(const fs::path& p) {
    return fs::exists(p) ? fileUtf8(p) : "<missing>";
}
} // namespace

TEST(OpenAndDiscard, WorkingCopiesOnlyForFilesThatExist) {
    TempDir dir;
    touch(dir / "N.cnf", "[A]\r\nk=cnf\r\n");
    touch(dir / "N.tb3", "t3");
    touch(dir / "N.tb5", "t5");
    MakeWorkingCopies(dir / "N.cnf");
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
              (std::vector<std::string>{"N.cnf", "N.tb3", "N.tb5", "N.~cnf", "N.~tb3", "N.~tb5"}));
}

TEST(OpenAndDiscard, DiscardRestoresWhatHasWorkingCopies) {
    TempDir dir;
    touch(dir / "N.cnf", "[A]\r\nk=opened\r\n");
    touch(dir / "N.tb1", "tb1 opened");
    touch(dir / "N.~tb2", "stale copy from an earlier run");
    MakeWorkingCopies(dir / "N.cnf");
    {
        IniStore s(dir / "N.cnf");
        s.WriteString("A", "k", "edited");
        touch(dir / "N.tb1", "tb1 edited");
        touch(dir / "N.tb6", "created since opening");
        DiscardConfig(dir / "N.tb1");                    // any member names the set
        EXPECT_EQ(s.ReadString("A", "k", ""), "opened"); // the live store sees the restore
    }
    EXPECT_EQ(content(dir / "N.cnf"), "[A]\r\nk=opened\r\n");
    EXPECT_EQ(content(dir / "N.tb1"), "tb1 opened");
    EXPECT_EQ(content(dir / "N.tb2"), "stale copy from an earlier run");
    EXPECT_EQ(content(dir / "N.tb6"), "created since opening");
    EXPECT_EQ(content(dir / "N.~cnf"), "[A]\r\nk=opened\r\n");
}

TEST(OpenAndDiscard, DiscardWithoutWorkingCopyChangesNothing) {
    TempDir dir;
    touch(dir / "R.cnf", "read");
    touch(dir / "R.~tb1", "orphan copy");
    touch(dir / "R.tb1", "current");
    DiscardConfig(dir / "R.cnf");
    EXPECT_EQ(content(dir / "R.cnf"), "read");
    EXPECT_EQ(content(dir / "R.tb1"), "current");
}

TEST(Save, ZonesAndDirections) {
    TempDir dir;
    ZoneNames grid;
    fs::path cnf = CreateNewConfig(dir / "S", grid);
    MakeWorkingCopies(cnf);
    grid[0] = cp("КОРИДОР");
    grid[255] = "";
    DirectionChoices dirs;
    dirs[0].zone = cp("КОРИДОР");
    dirs[0].relays = {cp("ПУСК 1"), cp("ТАБЛО\"ОПОВЕЩ.\""), "", cp("НЕТ"), cp("СТОП")};
    dirs[0].scenario = "05";
    dirs[0].britModule = "3";
    dirs[0].britLine = "2";
    dirs[1].zone = cp("ЗОНА 2"); // no scenario, no БРИТ
    {
        IniStore s(cnf);
        s.WriteString(cp("НАПРАВЛЕНИЕ 2"), cp("СЦЕН."), "7");
        s.WriteString(cp("НАПРАВЛЕНИЕ 2"), cp("БРИТ"), "11/01");
        s.WriteString(cp("НАПРАВЛЕНИЕ 3"), cp("ЗОНА"), cp("ЗОНА 3")); // zone choice "НЕТ" now
    }
    SaveConfig(cnf, grid, dirs);
    IniStore s(cnf);
    EXPECT_EQ(u8(ZoneName(s, 1)), "КОРИДОР");
    EXPECT_EQ(s.ReadString(cp("ЗОНА"), "256", "absent"), "");
    Direction d1 = ReadDirection(s, 1);
    EXPECT_EQ(u8(d1.zone), "КОРИДОР");
    EXPECT_EQ(u8(d1.relays[1]), "ТАБЛО\"ОПОВЕЩ.\"");
    EXPECT_EQ(d1.relays[2], "");
    EXPECT_TRUE(s.KeyExists(cp("НАПРАВЛЕНИЕ 1"), cp("РЕЛЕ 3")));
    EXPECT_EQ(d1.scenario, 5);
    EXPECT_EQ(d1.brit, "32/01");
    EXPECT_FALSE(s.KeyExists(cp("НАПРАВЛЕНИЕ 2"), cp("СЦЕН.")));
    EXPECT_FALSE(s.KeyExists(cp("НАПРАВЛЕНИЕ 2"), cp("БРИТ")));
    EXPECT_FALSE(s.SectionExists(cp("НАПРАВЛЕНИЕ 3")));
    EXPECT_EQ(fileUtf8(cnf).find("[НАПРАВЛЕНИЕ 3]"), std::string::npos);
    // The working copy is the state at opening.
    EXPECT_NE(fileUtf8(ConfigFileSet(cnf).workCnf()).find("1=ЗОНА 1\r\n"), std::string::npos);
}

TEST(Composition, CompletionOfOlderFiles) {
    TempDir dir;
    touch(dir / "O.cnf", "[ПРИБОРЫ]\r\nПУ-П=-8\r\nППКП1=-8\r\nППКП2=НЕТ\r\nППКП3=-4\r\n");
    IniStore s(dir / "O.cnf");
    CompleteOnOpening(s);
    EXPECT_EQ(u8(SlotKind(s, 0)), "ПУ-П(8)");
    EXPECT_EQ(u8(SlotKind(s, 1)), "ППКП(8)");
    EXPECT_EQ(u8(SlotKind(s, 2)), "НЕТ");
    EXPECT_FALSE(s.KeyExists(cp("СОСТАВ"), "2"));
    EXPECT_EQ(u8(SlotKind(s, 3)), "ППКП(8)");
    EXPECT_EQ(SlotLineCount(s, 3), 4);

    touch(dir / "P.cnf", "[СОСТАВ]\r\n0=ПУ-П\r\n1=БРИТ \r\n2=НЕТ\r\n3=ПИУ\r\n");
    IniStore p(dir / "P.cnf");
    CompleteOnOpening(p);
    EXPECT_EQ(p.ReadSection(cp("ПРИБОРЫ")).size(), 2u);
    EXPECT_EQ(p.ReadString(cp("ПРИБОРЫ"), cp("ППКП1"), ""), "-8");
    EXPECT_EQ(p.ReadString(cp("ПРИБОРЫ"), cp("ППКП3"), ""), "-8");
    EXPECT_EQ(u8(SlotKind(p, 1)), "БРИТ");                // the trailing blank is trimmed
    EXPECT_FALSE(p.KeyExists(cp("ПРИБОРЫ"), cp("ПУ-П"))); // slot 0 is not completed
}

TEST(Composition, SlotChangesAndLineCounts) {
    TempDir dir;
    ZoneNames grid;
    fs::path cnf = CreateNewConfig(dir / "C", grid);
    IniStore s(cnf);
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(ApplySlotChange(s, n, cp("ППКП")), n);
    EXPECT_EQ(ApplySlotChange(s, 3, ""), 3); // the empty fifth item is a value too
    EXPECT_TRUE(s.KeyExists(cp("СОСТАВ"), "3"));
    EXPECT_EQ(ApplySlotChange(s, 2, cp("НЕТ")), 1);
    for (int n = 2; n <= 8; ++n) {
        EXPECT_FALSE(s.KeyExists(cp("СОСТАВ"), std::to_string(n)));
        EXPECT_FALSE(s.KeyExists(cp("ПРИБОРЫ"), SlotDeviceKey(n)));
    }
    EXPECT_EQ(u8(SlotKind(s, 1)), "ППКП");
    struct Row {
        const char* kind;
        int lines;
    } rows[] = {{"ПУ-П(4)", 4}, {"ППКП(4)", 4}, {"ППКП(8)", 8}, {"ППКП", 8}, {"БРИТ", 8}, {"", 8}};
    for (const auto& r : rows)
        EXPECT_EQ(KindLineCount(cp(r.kind)), r.lines) << r.kind;
    EXPECT_EQ(u8(DisplayKind(cp("ПУ-П(4)"))), "ПУ-П");
    EXPECT_EQ(u8(DisplayKind(cp("ППКП(8)"))), "ППКП");
    EXPECT_EQ(u8(DisplayKind(cp("БДУ(4)"))), "БДУ(4)");
}

TEST(Scenarios, SectionNamesAndStepValues) {
    EXPECT_EQ(u8(ScenarioSection(7)), "СЦЕНАРИЙ 07");
    EXPECT_EQ(u8(ScenarioSection(96)), "СЦЕНАРИЙ 96");
    EXPECT_EQ(u8(ScenarioSection(97)), "СЦЕНАРИЙ 097");
    EXPECT_EQ(u8(ScenarioSectionOtherWidth(7)), "СЦЕНАРИЙ 007");
    EXPECT_EQ(u8(StepKey(10)), "ШАГ 10");

    std::string s17 = ScenarioStep::make(cp("ПУ-П "), 1, true, 0).join();
    EXPECT_EQ(u8(s17), "ПУ-П /01/ВКЛ /000");
    EXPECT_EQ(s17.size(), 17u);
    std::string s18 = ScenarioStep::make(cp("ВНЕШН"), 100, false, 10).join();
    EXPECT_EQ(u8(s18), "ВНЕШН/100/ВЫКЛ/010");
    EXPECT_EQ(s18.size(), 18u);
    for (const std::string& v : {s17, s18, cp("БКА12/07/ВЫКЛ/510"), cp("СЦЕН./128/ВКЛ /254")}) {
        auto step = ScenarioStep::parse(v);
        ASSERT_TRUE(step) << u8(v);
        EXPECT_EQ(step->join(), v);
    }
    auto p = ScenarioStep::parse(s18);
    EXPECT_EQ(u8(p->device), "ВНЕШН");
    EXPECT_EQ(p->output, "100");
    EXPECT_EQ(u8(p->state), "ВЫКЛ");
    EXPECT_EQ(p->delay, "010");
    for (const char* bad : {"", "ПУ-П /01/ВКЛ/000", "ВНЕШН/1000/ВЫКЛ/010"})
        EXPECT_FALSE(ScenarioStep::parse(cp(bad))) << bad;
}

TEST(Detectors, AddressesTypesAndRecords) {
    EXPECT_EQ(u8(SensorAddress(0, 1, 5)), "И01-05");
    EXPECT_EQ(u8(SensorAddress(2, 3, 7)), "И23-07");
    EXPECT_EQ(TypeCode(cp("ШЛЕЙФ")), 8);
    EXPECT_EQ(TypeCode(cp("ОХРАНА")), -1);
    EXPECT_EQ(u8(std::string(TypeCaption(4))), "БСА/ ВХ.БКА");

    TempDir dir;
    IniStore tb(dir / "X.tb1");
    DetectorRecord r{cp("ДАТЧИК"), cp("БКА"), cp("ЗОНА 1"), cp("ВКЛ"), cp("ППКП2/05/"), cp("ДА")};
    // A БКА carries no output and gains no display mark of its own.
    WriteDetector(tb, 1, 2, 3, r);
    EXPECT_EQ(fileUtf8(dir / "X.tb1"), "[И12-03]\r\nТЕКСТ=ДАТЧИК\r\nСОСТОЯНИЕ=ВКЛ\r\nТИП=БКА\r\n"
                                       "ЗОНА=ЗОНА 1\r\n");
    r.type = cp("ДЫМОВОЙ");
    WriteDetector(tb, 1, 2, 3, r);
    EXPECT_EQ(u8(ReadDetector(tb, 1, 2, 3).output), "ППКП2/05/");
    // Turned into a БКА, it loses the output and keeps the mark it had.
    r.type = cp("БКА");
    r.hide = "";
    WriteDetector(tb, 1, 2, 3, r);
    EXPECT_FALSE(tb.KeyExists(SensorAddress(1, 2, 3), cp("ВЫХОД")));
    EXPECT_EQ(u8(tb.ReadString(SensorAddress(1, 2, 3), cp("СКРЫТЬ"), "")), "ДА");
    r.type = cp("ДЫМОВОЙ");
    r.hide = cp("ДА");
    for (int a = 1; a <= 60; ++a)
        WriteDetector(tb, 1, 4, a, r);
    r.type = cp("ШЛЕЙФ");
    WriteDetector(tb, 1, 4, 1, r);
    EXPECT_TRUE(ReadDetector(tb, 1, 4, 1).present());
    EXPECT_FALSE(tb.KeyExists(SensorAddress(1, 4, 1), cp("ВЫХОД")));
    EXPECT_FALSE(tb.KeyExists(SensorAddress(1, 4, 1), cp("СКРЫТЬ")));
    for (int a = 2; a <= 60; ++a)
        EXPECT_FALSE(tb.SectionExists(SensorAddress(1, 4, a))) << a;
    EXPECT_TRUE(ReadDetector(tb, 1, 2, 3).present()); // other lines untouched
    DeleteDetector(tb, 1, 2, 3);
    EXPECT_FALSE(ReadDetector(tb, 1, 2, 3).present());
    EXPECT_EQ(u8(ReadDetector(tb, 1, 2, 3, {"", cp("ВЫКЛ"), cp("НЕТ"), cp("НЕТ")}).state), "ВЫКЛ");
}

TEST(Detectors, LinkedOutputsReadBackAsWritten) {
    struct Row {
        const char* value;
        const char* device;
        const char* number;
    } rows[] = {
        {"ВНЕШН/097/", "ВНЕШН", "097"}, {"СЦЕН./05/", "СЦЕН.", "05"},
        {"СЦЕН./128/", "СЦЕН.", "128"}, {"ППКП2/05/", "ППКП2", "05"},
        {"БРВУ1/08/", "БРВУ1", "08"},   {"ПУ-П /01/", "ПУ-П ", "01"},
        {"БКА31/07/", "БКА31", "07"},   {"ВНЕШН/96/", "ВНЕШН", "96"},
    };
    for (const auto& r : rows) {
        auto o = ParseLinkedOutput(cp(r.value));
        ASSERT_TRUE(o) << r.value;
        EXPECT_EQ(u8(o->device), r.device);
        EXPECT_EQ(o->number, r.number);
        EXPECT_EQ(u8(JoinLinkedOutput(o->device, o->number)), r.value);
    }
    for (const char* none : {"", "НЕТ", "ППКП2/"})
        EXPECT_FALSE(ParseLinkedOutput(cp(none))) << none;

    TempDir dir;
    IniStore cnf(dir / "P.cnf");
    cnf.WriteString(cp("СОСТАВ"), "3", cp("ПИУ"));
    cnf.WriteString(cp("СОСТАВ"), "1", cp("ППКП"));
    EXPECT_EQ(u8(ShownOutputDevice(cp("БКА31"), cnf)), "ПИУ31");
    EXPECT_EQ(u8(ShownOutputDevice(cp("БКА11"), cnf)), "БКА11");
    EXPECT_EQ(u8(StoredOutputDevice(cp("ПИУ31"))), "БКА31");
}

TEST(Directions, BritFallbacksDependOnTheReader) {
    TempDir dir;
    IniStore s(dir / "D.cnf");
    s.WriteString(cp("НАПРАВЛЕНИЕ 4"), cp("БДУ4"), "21/01");
    EXPECT_EQ(ReadDirection(s, 4).brit, "21/01");
    s.WriteString(cp("НАПРАВЛЕНИЕ 4"), cp("БРИТ"), "31/01");
    EXPECT_EQ(ReadDirection(s, 4, BritKeyOrder::BritFirst).brit, "31/01");
    EXPECT_EQ(ReadDirection(s, 4, BritKeyOrder::Bdu4First).brit, "21/01");
    auto ref = ParseBritRef("32/07");
    ASSERT_TRUE(ref);
    EXPECT_EQ(ref->slot, 3);
    EXPECT_EQ(ref->line, 2);
    EXPECT_EQ(ref->address, 7);
    EXPECT_FALSE(ParseBritRef("3/01"));
    EXPECT_FALSE(ReadDirection(s, 5).exists);
    EXPECT_EQ(ReadDirection(s, 5).scenario, 0);
}
