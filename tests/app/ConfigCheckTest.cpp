#include "AppFixture.h"

#include "app/ConfigCheck.h"
#include "document/ConfigFileSet.h"
#include "image/Encoder.h"
#include "text/Error.h"
#include "text/Literals.h"

#include <functional>

namespace kvort::testing {
namespace {

using namespace kvort::text::literals;
namespace fs = std::filesystem;

std::string pad(std::string_view s, size_t width) {
    std::string out(s);
    if (out.size() < width)
        out.append(width - out.size(), ' ');
    return out;
}

std::string lines(std::initializer_list<std::string_view> ls) {
    std::string out;
    for (auto l : ls)
        out += std::string(l) + "\r\n";
    return out;
}

// The part of a report from `from` up to (not including) `to`.
std::string section(const std::string& report, std::string_view from, std::string_view to) {
    size_t a = report.find(from);
    size_t b = to.empty() ? std::string::npos : report.find(to, a + from.size());
    if (a == std::string::npos)
        return "<no " + std::string(from) + ">";
    return report.substr(a, b == std::string::npos ? std::string::npos : b - a);
}

class ConfigCheckTest : public AppTest {
  protected:
    void build() {
        IniStore c(cnfPath);
        BuildPanelImage(session->image, cnfPath, ReadZoneNames(c));
    }
    void expectStart(MsgResult answer = MsgResult::Yes) {
        prompts.expectMessage("ИНФОРМАЦИЯ"_cp, CheckStartQuestion(), MsgIcon::Question,
                              MsgButtons::YesNo, answer);
    }
    void expectStopBox() {
        prompts.expectMessage("ПРЕДУПРЕЖДЕНИЕ"_cp,
                              "ОШИБКА КОНФИГУРАЦИИ. ПРОЦЕДУРА ЗАПИСЬ ОСТАНОВЛЕНА"_cp,
                              MsgIcon::Error, MsgButtons::Ok, MsgResult::Ok);
    }
    void expectContinue(MsgResult answer) {
        prompts.expectMessage("ИНФОРМАЦИЯ"_cp, CheckContinueQuestion(), MsgIcon::Question,
                              MsgButtons::YesNo, answer);
    }
    CheckResult check() {
        const CheckResult r = CheckConfiguration(*session, prompts, view);
        EXPECT_EQ(prompts.pending(), 0u) << "prompts the check did not show";
        return r;
    }
    std::string report() { return contents(ConfigFileSet(cnfPath).report()); }
};

TEST_F(ConfigCheckTest, ReportOfAnUnknownDetectorZoneComesOutByteForByte) {
    newConfig();
    detector(0, 1, 5, "ЩИТОВАЯ"_cp, "СКЛАД"_cp);
    build();
    expectStart();
    expectStopBox();

    EXPECT_EQ(check(), CheckResult::Stopped);
    const std::string expected = lines({"СОСТАВ OK"_cp, "", "ЗОНЫ"_cp,
                                        "И01-05         ЗОНА СКЛАД          НЕТ В СПИСКЕ ЗОН"_cp,
                                        "", "СЦЕНАРИИ OK"_cp, "", "ПОЖАРОТУШЕНИЕ OK"_cp, ""});
    EXPECT_EQ(report(), expected);
    EXPECT_EQ(prompts.documentsOpened(), std::vector<fs::path>{dir / "OBJ_ConfigReport.txt"});
    EXPECT_EQ(session->CurrentConfigPath, dir / "OBJ.tb8");
    EXPECT_EQ(contents(dir / "OBJ.bin"), std::string(session->image.bytes()));
    ASSERT_FALSE(view.statuses.empty());
    EXPECT_EQ(view.statuses.front(), "     ИДЕТ ПРОЦЕДУРА ПРОВЕРКИ КОНФИГУРАЦИИ"_cp);
    EXPECT_EQ(view.statuses.back(), "");
}

TEST_F(ConfigCheckTest, CleanConfigurationRunsThePassesAndAsksNothingMore) {
    newConfig();
    detector(0, 1, 1, "ВХОД"_cp, "ЗОНА 1"_cp);
    {
        IniStore c(cnfPath);
        c.WriteString(DirectionSection(1), "ЗОНА"_cp, "ЗОНА 2"_cp);
        c.WriteString(ScenarioSection(1), "РЕЖИМ"_cp, "1");
        c.WriteString(ScenarioSection(1), StepKey(1), "ПУ-П /01/ВКЛ /000"_cp);
    }
    build();
    expectStart();
    EXPECT_EQ(check(), CheckResult::Ok);
    EXPECT_EQ(report(), lines({"СОСТАВ OK"_cp, "", "ЗОНЫ OK"_cp, "", "СЦЕНАРИИ OK"_cp, "",
                               "ПОЖАРОТУШЕНИЕ OK"_cp, "ОПИСАНИЕ ФУНКЦИЙ РЕЛЕ OK"_cp,
                               "СВЯЗАННЫЕ ВЫХОДЫ OK"_cp, ""}));
    EXPECT_TRUE(prompts.documentsOpened().empty());
    // The passes completed the image that NAME.bin holds: the F/H device list.
    EXPECT_EQ(session->image.byte(0xBFE0), 0x00);
    EXPECT_EQ(session->image.byte(0xBFE9), 0x00);
    EXPECT_EQ(contents(dir / "OBJ.bin"), std::string(session->image.bytes()));
}

TEST_F(ConfigCheckTest, CompositionFindingsRepairsAndResults) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, std::string>> composition; // "" deletes the key
        std::vector<int> tbFiles;                             // besides OBJ.tb0
        bool deleteTb0;
        std::string devicesPu; // [ПРИБОРЫ] ПУ-П; "" deletes it
        std::string expectedSection;
        CheckResult result;
        std::vector<std::pair<std::string, std::string>> compositionAfter; // key, value
        std::vector<std::pair<std::string, std::string>> devicesAfter;
    };
    const std::string gap("НАРУШЕНА ПОСЛЕДОВАТЕЛЬНОСТЬ АДРЕСОВ"_cp);
    const std::string wrong =
        cp("НЕПРАВИЛЬНОЕ НАИМЕНОВАНИЕ ПРИБОРА. НЕОБХОДИМО ВЫБРАТЬ В СОСТАВЕ ТРЕБУЕМЫЙ ПРИБОР"_cp);
    auto noFile = [](int s) {
        return cp("НЕ ОБНАРУЖЕН ФАЙЛ \"OBJ.tb"_cp) + std::to_string(s) +
               cp("\" С ТЕКСТОВОЙ ИНФОРМАЦИЕЙ ДЛЯ ИЗВЕЩАТЕЛЕЙ "_cp);
    };
    auto slotLine = [](int s, std::string_view v, const std::string& finding) {
        return "\r\n" + pad(cp("АДРЕС "_cp) + std::to_string(s), 15) + pad(v, 20) + finding +
               "\r\n";
    };
    const std::string ok = cp("СОСТАВ OK\r\n\r\n"_cp);
    const std::string head = cp("СОСТАВ"_cp);
    const std::string tail = "\r\n\r\n";
    const std::vector<Case> cases = {
        {"gap in the slots",
         {{1, cp("ППКП(8)"_cp)}, {2, cp("НЕТ"_cp)}, {3, cp("ППКП(8)"_cp)}},
         {1, 3},
         false,
         "-8",
         head + "\r\n" + gap + "\r\n" + tail,
         CheckResult::Stopped,
         {},
         {{cp("ППКП1"_cp), "-8"}, {cp("ППКП3"_cp), "-8"}}},
        {"outdated БДУ(4)",
         {{1, cp("ППКП"_cp)}, {2, cp("БДУ(4)"_cp)}},
         {1, 2},
         false,
         "-8",
         head +
             slotLine(2, "БДУ(4)"_cp,
                      cp("УСТАРЕВШЕЕ НАИМЕНОВАНИЕ ПРИБОРА. ИСПРАВЛЕНО НА БРИТ"_cp)) +
             tail,
         CheckResult::AcceptedWithFindings,
         {{"2", cp("БРИТ"_cp)}},
         {{cp("ППКП2"_cp), "-8"}, {cp("ППКП1"_cp), "-8"}}},
        {"ППКП as the editor writes it",
         {{1, cp("ППКП"_cp)}},
         {1},
         false,
         "-8",
         ok,
         CheckResult::Ok,
         {},
         {{cp("ППКП1"_cp), "-8"}}},
        {"БРИТ and ПИУ",
         {{1, cp("БРИТ"_cp)}, {2, cp("ПИУ"_cp)}, {3, cp("ППКП(4)"_cp)}},
         {1, 2, 3},
         false,
         "-4",
         ok,
         CheckResult::Ok,
         {},
         {{cp("ПУ-П"_cp), "-8"}, {cp("ППКП3"_cp), "-8"}}},
        {"unknown device name",
         {{1, cp("ППКП(5)"_cp)}},
         {1},
         false,
         "-8",
         head + slotLine(1, "ППКП(5)"_cp, wrong) + tail,
         CheckResult::Stopped,
         {},
         {{cp("ППКП1"_cp), ""}}},
        {"no ПУ-П at all",
         {{0, ""}},
         {},
         false,
         "",
         head + slotLine(0, "", cp("В СОСТАВЕ НЕТ ПУ. ДОБАВЛЕН ПУ-П"_cp)) + tail,
         CheckResult::AcceptedWithFindings,
         {{"0", cp("ПУ-П(8)"_cp)}},
         {{cp("ПУ-П"_cp), "-8"}}},
        {"ПУ-П known only from [ПРИБОРЫ]",
         {{0, ""}},
         {},
         false,
         "-4",
         ok,
         CheckResult::Ok,
         {{"0", cp("ПУ-П(8)"_cp)}},
         {{cp("ПУ-П"_cp), "-4"}}},
        {"missing detector file",
         {{1, cp("ППКП(8)"_cp)}},
         {},
         false,
         "-8",
         head + slotLine(1, "ППКП(8)"_cp, noFile(1)) + tail,
         CheckResult::Stopped,
         {},
         {}},
        {"missing file replaces the rename finding",
         {{1, cp("БДУ(4)"_cp)}},
         {},
         false,
         "-8",
         head + slotLine(1, "БДУ(4)"_cp, noFile(1)) + tail,
         CheckResult::Stopped,
         {{"1", cp("БРИТ"_cp)}},
         {}},
        {"missing file of the ПУ-П",
         {},
         {},
         true,
         "-8",
         head + slotLine(0, "ПУ-П"_cp, noFile(0)) + tail,
         CheckResult::Stopped,
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir);
        fs::create_directories(dir);
        newConfig();
        {
            IniStore conf(cnfPath);
            for (const auto& [slot, value] : c.composition) {
                if (value.empty())
                    conf.DeleteKey(SectionComposition(), std::to_string(slot));
                else
                    conf.WriteString(SectionComposition(), std::to_string(slot), value);
            }
            if (c.devicesPu.empty())
                conf.DeleteKey(SectionDevices(), "ПУ-П"_cp);
            else
                conf.WriteString(SectionDevices(), "ПУ-П"_cp, c.devicesPu);
        }
        for (int s : c.tbFiles)
            writeFile(ConfigFileSet(cnfPath).tb(s), "");
        if (c.deleteTb0)
            fs::remove(ConfigFileSet(cnfPath).tb(0));
        session->CurrentConfigPath = cnfPath;
        build();
        prompts = ScriptedPrompts();
        expectStart();
        if (c.result == CheckResult::AcceptedWithFindings)
            expectContinue(MsgResult::Yes);
        else if (c.result == CheckResult::Stopped)
            expectStopBox();

        EXPECT_EQ(check(), c.result);
        EXPECT_EQ(section(report(), "СОСТАВ"_cp, "ЗОНЫ"_cp), c.expectedSection);
        IniStore after(cnfPath);
        for (const auto& [key, value] : c.compositionAfter)
            EXPECT_EQ(after.ReadString(SectionComposition(), key, "?"), value) << key;
        for (const auto& [key, value] : c.devicesAfter)
            EXPECT_EQ(after.ReadString(SectionDevices(), key, ""), value) << key;
        EXPECT_EQ(contents(dir / "OBJ.bin").size(), 65536u);
    }
}

TEST_F(ConfigCheckTest, ZoneFindingsUseFixedWidthsAndCoverEveryDetectorFile) {
    newConfig();
    detector(0, 1, 1, "А"_cp, "ЗОНА 1"_cp);
    detector(0, 1, 2, "Б"_cp, "зона 1"_cp); // exact comparison
    detector(0, 8, 60, "В"_cp, "ОЧЕНЬ ДЛИННАЯ ЗОНА 1"_cp);
    detector(5, 2, 3, "Г"_cp, "НИГДЕ"_cp); // slot 5 is not in the composition
    tb(0).WriteString(SensorAddress(0, 2, 2), "ЗОНА"_cp, "");
    build();
    expectStart();
    expectStopBox();
    EXPECT_EQ(check(), CheckResult::Stopped);
    const std::string nz("НЕТ В СПИСКЕ ЗОН"_cp);
    EXPECT_EQ(section(report(), "ЗОНЫ"_cp, "СЦЕНАРИИ"_cp),
              cp("ЗОНЫ"_cp) + "\r\n" + pad("И01-02"_cp, 15) + cp("ЗОНА "_cp) +
                  pad("зона 1"_cp, 15) + nz + "\r\n" + pad("И08-60"_cp, 15) + cp("ЗОНА "_cp) +
                  cp("ОЧЕНЬ ДЛИННАЯ ЗОНА 1"_cp) + nz + "\r\n" + pad("И52-03"_cp, 15) +
                  cp("ЗОНА "_cp) + pad("НИГДЕ"_cp, 15) + nz + "\r\n\r\n");
}

TEST_F(ConfigCheckTest, ScenarioFindings) {
    newConfig();
    {
        IniStore c(cnfPath);
        auto put = [&c](int k, std::string_view key, std::string_view value) {
            c.WriteString(ScenarioSection(k), key, value);
        };
        put(1, "РЕЖИМ"_cp, "2");
        put(1, StepKey(1), "ПУ-П /01/ВКЛ /00"_cp); // 16 characters
        put(2, StepKey(1), "X");                   // no РЕЖИМ: not examined
        put(2, "ПРИМЕЧАНИЕ"_cp, "БЕЗ РЕЖИМА"_cp);
        put(3, "РЕЖИМ"_cp, "ABC");
        put(4, "РЕЖИМ"_cp, "3");
        put(4, "ЗОНА"_cp, "X1");
        put(5, "РЕЖИМ"_cp, "3");
        put(5, "ЗОНА"_cp, "5");
        put(5, StepKey(1), "ПУ-П /01/ВКЛ /000"_cp);
        put(5, StepKey(2), "ВНЕШН/105/ВЫКЛ/010"_cp);
        put(6, "РЕЖИМ"_cp, "$0A"); // the runtime's integer forms include hexadecimal
        put(97, "РЕЖИМ"_cp, "1");
        put(97, StepKey(10), "ПУ-П /01/ВКЛ /00000"_cp); // 19 characters
    }
    build();
    expectStart();
    expectStopBox();
    EXPECT_EQ(check(), CheckResult::Stopped);
    const std::string err("ОШИБКА"_cp);
    EXPECT_EQ(section(report(), "СЦЕНАРИИ"_cp, "ПОЖАРОТУШЕНИЕ"_cp),
              cp("СЦЕНАРИИ"_cp) + "\r\n" + pad("СЦЕНАРИЙ 01"_cp, 15) + err + "\r\n" +
                  pad("СЦЕНАРИЙ 03"_cp, 15) + err + "\r\n" + pad("СЦЕНАРИЙ 04"_cp, 15) + err +
                  "\r\n" + pad("СЦЕНАРИЙ 097"_cp, 15) + err + "\r\n\r\n");
    // The passes did not run: the broken steps never reached the encoder.
    EXPECT_EQ(report().find("СВЯЗАННЫЕ"_cp), std::string::npos);
}

TEST_F(ConfigCheckTest, DirectionFindings) {
    newConfig();
    {
        IniStore c(cnfPath);
        c.WriteString(DirectionSection(2), "ЗОНА"_cp, "ЗОНА 7"_cp);
        c.WriteString(DirectionSection(3), "ЗОНА"_cp, "ПОДВАЛ"_cp);
        c.WriteString(DirectionSection(4), "ЗОНА"_cp, "");
        c.WriteString(DirectionSection(5), "ЗОНА"_cp, "НЕТ"_cp);
        c.WriteString(DirectionSection(6), "РЕЛЕ 1"_cp, "ПУСК 1"_cp); // no ЗОНА key
    }
    build();
    expectStart();
    expectStopBox();
    EXPECT_EQ(check(), CheckResult::Stopped);
    const std::string nz("НЕТ В СПИСКЕ ЗОН"_cp);
    EXPECT_EQ(section(report(), "ПОЖАРОТУШЕНИЕ"_cp, ""),
              cp("ПОЖАРОТУШЕНИЕ"_cp) + "\r\n" + pad("НАПРАВЛЕНИЕ 3"_cp, 15) + cp("ЗОНЫ "_cp) +
                  pad("ПОДВАЛ"_cp, 15) + nz + "\r\n" + pad("НАПРАВЛЕНИЕ 4"_cp, 15) +
                  cp("ЗОНЫ "_cp) + pad("", 15) + nz + "\r\n" + "\r\n");

    // With an empty zone name in the list, the empty direction zone is found.
    {
        IniStore c(cnfPath);
        c.WriteString(SectionZones(), "17", "");
        c.WriteString(DirectionSection(3), "ЗОНА"_cp, "ЗОНА 3"_cp);
    }
    build();
    session->CurrentConfigPath = cnfPath;
    expectStart();
    EXPECT_EQ(check(), CheckResult::Ok);
    EXPECT_EQ(section(report(), "ПОЖАРОТУШЕНИЕ"_cp, "ОПИСАНИЕ"_cp), cp("ПОЖАРОТУШЕНИЕ OK\r\n"_cp));
}

TEST_F(ConfigCheckTest, DeclinedCheckStillEncodesReportsAndSavesTheImage) {
    newConfig();
    {
        IniStore c(cnfPath); // a gap the check would stop on
        c.WriteString(SectionComposition(), "2", "ППКП"_cp);
    }
    build();
    expectStart(MsgResult::No);
    EXPECT_EQ(check(), CheckResult::Ok);
    EXPECT_EQ(report(), lines({"ОПИСАНИЕ ФУНКЦИЙ РЕЛЕ OK"_cp, "СВЯЗАННЫЕ ВЫХОДЫ OK"_cp, ""}));
    EXPECT_EQ(session->CurrentConfigPath, cnfPath);
    EXPECT_EQ(contents(dir / "OBJ.bin"), std::string(session->image.bytes()));
    EXPECT_TRUE(view.statuses.empty() || view.statuses.front().empty());
}

TEST_F(ConfigCheckTest, UndeterminedSeriesStopsInBothPasses) {
    newConfig();
    build();
    session->DeviceSeries = Series::Unknown;
    expectStart(MsgResult::No);
    expectStopBox();
    EXPECT_EQ(check(), CheckResult::Stopped);
    const std::string ns("ОШИБКА. НЕ ОПРЕДЕЛЕНА СЕРИЯ ПРИБОРА"_cp);
    EXPECT_EQ(report(), lines({"ОПИСАНИЕ ФУНКЦИЙ РЕЛЕ"_cp, ns, "СВЯЗАННЫЕ ВЫХОДЫ"_cp, ns, ""}));
}

TEST_F(ConfigCheckTest, FullLinkedOutputTableNamesTheSeries) {
    for (Series series : {Series::FH, Series::I}) {
        SCOPED_TRACE(SeriesCode(series));
        fs::remove_all(dir);
        fs::create_directories(dir);
        newConfig();
        {
            IniStore::Batch batch(tb(0));
            for (int i = 0; i < 260; ++i) {
                DetectorRecord r;
                r.text = "ДАТЧИК"_cp;
                r.type = "БЕЗ ФИКСАЦИИ"_cp;
                r.zone = "ЗОНА 1"_cp;
                r.state = "ВКЛ"_cp;
                r.hide = series == Series::I ? cp("ДА"_cp) : "";
                WriteDetector(tb(0), 0, i / 60 + 1, i % 60 + 1, r);
            }
            batch.commit();
        }
        build();
        session->DeviceSeries = series;
        session->CurrentConfigPath = cnfPath;
        prompts = ScriptedPrompts();
        expectStart(MsgResult::No);
        expectStopBox();
        EXPECT_EQ(check(), CheckResult::Stopped);
        EXPECT_EQ(section(report(), "СВЯЗАННЫЕ"_cp, ""),
                  lines({"СВЯЗАННЫЕ ВЫХОДЫ"_cp,
                         series == Series::FH
                             ? "ОШИБКА. ПРЕВЫШЕНО СУММАРНОЕ КОЛИЧЕСТВО \"СВЯЗАННЫХ "
                               "ВЫХОДОВ\" И ДАТЧИКОВ БЕЗ ФИКСАЦИИ(>256)"_cp
                             : "ОШИБКА. ПРЕВЫШЕНО КОЛИЧЕСТВО \"СВЯЗАННЫХ ВЫХОДОВ\"(>256)"_cp,
                         ""}));
        resetStores();
    }
}

TEST_F(ConfigCheckTest, DetectorTextsFillingTheSeriesAreaAreReported) {
    newConfig();
    {
        IniStore c(cnfPath);
        c.WriteString(SectionComposition(), "1", "ППКП"_cp);
        c.WriteString(SectionComposition(), "2", "ППКП"_cp);
        c.WriteString(SectionDevices(), "ППКП1"_cp, "-8");
        c.WriteString(SectionDevices(), "ППКП2"_cp, "-8");
    }
    for (int s = 0; s < 3; ++s) {
        IniStore::Batch batch(tb(s));
        for (int l = 1; l <= 8; ++l)
            for (int a = 1; a <= 60; ++a) {
                char text[32];
                std::snprintf(text, sizeof text, "DETECTOR %d%d%02d TEXT", s, l, a);
                detector(s, l, a, text, "ЗОНА 1"_cp);
            }
        batch.commit();
    }
    build();
    ASSERT_GT(session->image.TextEnd(), 0x8E00u);
    expectStart();
    expectStopBox();
    EXPECT_EQ(check(), CheckResult::Stopped);
    EXPECT_EQ(section(report(), "ОПИСАНИЕ"_cp, ""),
              lines({"ОПИСАНИЕ ФУНКЦИЙ РЕЛЕ"_cp,
                     "ВНИМАНИЕ. ОПИСАНИЯ ФУНКЦИЙ РЕЛЕ НЕ БУДУТ СОХРАНЕНЫ В ПРИБОРЕ ПУ"_cp,
                     "СВЯЗАННЫЕ ВЫХОДЫ"_cp,
                     "ОШИБКА. НЕОБХОДИМО СОКРАТИТЬ ОБЪЕМ ТЕКСТОВОЙ ИНФОРМАЦИИ В СООБЩЕНИЯХ "
                     "ДАТЧИКОВ. ИСПОЛЬЗУЙТЕ СОКРАЩЕНИЯ ЧАСТО УПОТРЕБЛЯЕМЫХ СЛОВ"_cp,
                     ""}));
}

TEST_F(ConfigCheckTest, NonCriticalOutcomeAsksAndNoStopsAndOpensTheReport) {
    for (MsgResult answer : {MsgResult::Yes, MsgResult::No}) {
        fs::remove_all(dir);
        fs::create_directories(dir);
        newConfig();
        {
            IniStore c(cnfPath);
            c.WriteString(SectionComposition(), "1", "БДУ(4)"_cp);
        }
        writeFile(ConfigFileSet(cnfPath).tb(1), "");
        build();
        prompts = ScriptedPrompts();
        expectStart();
        expectContinue(answer);
        EXPECT_EQ(check(), answer == MsgResult::Yes ? CheckResult::AcceptedWithFindings
                                                    : CheckResult::Stopped);
        EXPECT_EQ(prompts.documentsOpened().size(), answer == MsgResult::Yes ? 0u : 1u);
        EXPECT_EQ(contents(dir / "OBJ.bin").size(), 65536u);
        session->CurrentConfigPath = cnfPath;
    }
}

TEST_F(ConfigCheckTest, UnwritableReportEndsTheCheckWithAFileError) {
    newConfig();
    build();
    fs::create_directories(dir / "OBJ_ConfigReport.txt"); // a folder where the report goes
    expectStart();
    try {
        CheckConfiguration(*session, prompts, view);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("OBJ_ConfigReport.txt"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(dir / "OBJ.bin"));
}

TEST_F(ConfigCheckTest, FindZoneTakesTheFirstExactMatch) {
    newConfig();
    cnf().WriteString(SectionZones(), "40", "ЗОНА 7"_cp);
    EXPECT_EQ(FindZone(cnf(), "ЗОНА 7"_cp), 7);
    EXPECT_EQ(FindZone(cnf(), "ЗОНА 256"_cp), 256);
    EXPECT_EQ(FindZone(cnf(), "зона 7"_cp), -1);
    EXPECT_EQ(FindZone(cnf(), "ЗОНА 7 "_cp), -1);
    EXPECT_EQ(FindZone(cnf(), ""), -1);
    // A zone whose key is missing has the empty name, as the zone grid and
    // the encoder see it.
    cnf().DeleteKey(SectionZones(), "17");
    EXPECT_EQ(FindZone(cnf(), ""), 17);
}

TEST_F(ConfigCheckTest, EmptyDirectionZoneMatchesAZoneWhoseKeyIsMissing) {
    newConfig();
    {
        IniStore c(cnfPath);
        c.DeleteKey(SectionZones(), "200");
        c.WriteString(DirectionSection(1), "ЗОНА"_cp, "");
    }
    build();
    expectStart();
    EXPECT_EQ(check(), CheckResult::Ok);
    EXPECT_EQ(section(report(), "ПОЖАРОТУШЕНИЕ"_cp, "ОПИСАНИЕ"_cp), cp("ПОЖАРОТУШЕНИЕ OK\r\n"_cp));
}

} // namespace
} // namespace kvort::testing
