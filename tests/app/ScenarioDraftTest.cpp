// The scenario editor's rules without widgets: the list rows, opening,
// the mode and device rules, saving, and the output descriptions.
#include "app/ScenarioDraft.h"
#include "ScriptedPrompts.h"
#include "app/OutputDescriptions.h"
#include "document/Config.h"
#include "text/Literals.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace kvort {
namespace {

using namespace text::literals;
namespace fs = std::filesystem;

class ScenarioPageRules : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device rd;
        m_dir = fs::temp_directory_path() / ("kvort-scen-" + std::to_string(rd()));
        fs::create_directories(m_dir);
        m_cnf = std::make_unique<IniStore>(m_dir / "a.cnf");
        IniStore::Batch batch(*m_cnf);
        cnf().WriteString("СОСТАВ"_cp, "0", "ПУ-П"_cp);
        cnf().WriteString("СОСТАВ"_cp, "1", "ППКП"_cp);
        cnf().WriteString("СОСТАВ"_cp, "2", "ППКП"_cp);
        cnf().WriteString("СОСТАВ"_cp, "3", "ПИУ"_cp);
        for (int z = 1; z <= 256; ++z)
            cnf().WriteString("ЗОНА"_cp, std::to_string(z), DefaultZoneName(z));
    }
    void TearDown() override {
        m_cnf.reset();
        fs::remove_all(m_dir);
    }
    IniStore& cnf() { return *m_cnf; }
    std::string value(int scenario, std::string_view key) {
        return cnf().ReadString(ScenarioSection(scenario), key, "?");
    }
    ScenarioDraft open(int scenario) {
        return OpenScenario(cnf(), ReadScenarioRow(cnf(), scenario), scenario);
    }

  private:
    fs::path m_dir;
    std::unique_ptr<IniStore> m_cnf;
};

TEST_F(ScenarioPageRules, RowsTakeTheirSectionAndTheirZoneColumn) {
    cnf().WriteString("СЦЕНАРИЙ 097"_cp, "РЕЖИМ"_cp, "10");
    cnf().WriteString("СЦЕНАРИЙ 097"_cp, "ЗОНА"_cp, "64");
    cnf().WriteString("СЦЕНАРИЙ 097"_cp, "ПРИМЕЧАНИЕ"_cp, "ВЕРСИЯ"_cp);
    // The three-digit name wins for 1..96 too.
    cnf().WriteString("СЦЕНАРИЙ 07"_cp, "РЕЖИМ"_cp, "1");
    cnf().WriteString("СЦЕНАРИЙ 007"_cp, "РЕЖИМ"_cp, "3");
    cnf().WriteString("СЦЕНАРИЙ 007"_cp, "ЗОНА"_cp, "255");
    cnf().WriteString("СЦЕНАРИЙ 08"_cp, "РЕЖИМ"_cp, "2");
    cnf().WriteString("СЦЕНАРИЙ 08"_cp, "ЗОНА"_cp, "4");
    cnf().WriteString("СЦЕНАРИЙ 09"_cp, "РЕЖИМ"_cp, "14");
    cnf().WriteString("СЦЕНАРИЙ 09"_cp, "ПРИМЕЧАНИЕ"_cp, "X");
    struct Row {
        int scenario;
        std::string_view label, mode, zone, note;
    } rows[] = {
        {97, "097", "ПОЖ.В ГРУППЕ"_cp, "3", "ВЕРСИЯ"_cp},
        {96, "96", "", "", ""},
        {7, "07", "ПОЖАР В ЗОНЕ"_cp, "В ЛЮБОЙ"_cp, ""},
        {8, "08", "ОТКАЗ В ЗОНЕ"_cp, "ЗОНА 5"_cp, ""},
        {9, "09", "", "", "X"}, // a mode outside 1..13 shows none
    };
    for (const Row& r : rows) {
        const ScenarioRow row = ReadScenarioRow(cnf(), r.scenario);
        EXPECT_EQ(row.label, r.label);
        EXPECT_EQ(row.mode, r.mode) << r.scenario;
        EXPECT_EQ(row.zone, r.zone) << r.scenario;
        EXPECT_EQ(row.note, r.note) << r.scenario;
    }
    EXPECT_EQ(ScenarioSection(97), "СЦЕНАРИЙ 097"_cp);
    EXPECT_EQ(ScenarioSection(96), "СЦЕНАРИЙ 96"_cp);
}

TEST_F(ScenarioPageRules, SavedZoneFollowsTheMode) {
    struct Row {
        int mode;
        int target;
        const char* zone; // ЗОНА stored, "?" when none
        std::string_view column;
    } rows[] = {
        {10, 2, "64", "3"},
        {3, kAnyZoneIndex, "255", "В ЛЮБОЙ"_cp},
        {11, kAnyZoneIndex, "255", "В ЛЮБОЙ"_cp},
        {12, kAnyZoneIndex, "255", "В ЛЮБОЙ"_cp},
        {13, kAnyZoneIndex, "255", "В ЛЮБОЙ"_cp},
        {2, 0, "0", "ЗОНА 1"_cp},
        {6, 254, "254", "ЗОНА 255"_cp},
        {1, -1, "?", ""},
        {9, -1, "?", ""},
    };
    for (const Row& r : rows) {
        cnf().WriteString(ScenarioSection(5), "ЗОНА"_cp, "17"); // what a mode without one drops
        ScenarioDraft d;
        d.scenario = 5;
        d.setMode(r.mode);
        d.target = r.target;
        ASSERT_EQ(ScenarioSaveProblem(d), "");
        EXPECT_EQ(SaveScenario(cnf(), d), ScenarioSaved::Written);
        EXPECT_EQ(value(5, "РЕЖИМ"_cp), std::to_string(r.mode));
        EXPECT_EQ(value(5, "ЗОНА"_cp), r.zone) << r.mode;
        EXPECT_EQ(ReadScenarioRow(cnf(), 5).zone, r.column) << r.mode;
        const ScenarioDraft back = open(5);
        EXPECT_EQ(back.mode, r.mode);
        EXPECT_EQ(back.target, r.target) << r.mode;
    }
}

TEST_F(ScenarioPageRules, ModeAndDeviceRules) {
    ScenarioDraft d;
    d.setMode(3);
    EXPECT_EQ(d.target, 0);
    for (int k = 0; k < 5; ++k) {
        d.setDevice(k, "БРВУ1"_cp);
        d.steps[k].number = "0" + std::to_string(k + 1);
    }
    d.setMode(2); // ОТКАЗ В ЗОНЕ keeps the steps
    EXPECT_EQ(d.steps.size(), 5u);
    d.setDevice(2, "ВНЕШН"_cp); // another device at step 3 empties 4 and 5
    ASSERT_EQ(d.steps.size(), 3u);
    EXPECT_EQ(d.steps[1].number, "02");
    EXPECT_EQ(d.steps[2].number, "01");
    EXPECT_EQ(d.steps[2].state, "ВКЛ "_cp);
    d.setDevice(1, "");
    EXPECT_EQ(d.steps.size(), 1u);
    d.setDevice(5, "ВНЕШН"_cp); // past the last step: no gap is made
    EXPECT_EQ(d.steps.size(), 1u);
    d.setMode(1); // ПО СБРОСУ empties the steps and the zone
    EXPECT_TRUE(d.steps.empty());
    EXPECT_EQ(d.target, -1);
    d.setNote("примечание длиннее двадцати"_cp);
    EXPECT_EQ(d.note, "ПРИМЕЧАНИЕ ДЛИННЕЕ Д"_cp);
}

TEST_F(ScenarioPageRules, StepsRoundTrip) {
    ScenarioDraft d;
    d.scenario = 12;
    d.setMode(7);
    auto step = [](std::string_view device, const char* number, std::string_view state, int delay) {
        return StepDraft{std::string(device), number, std::string(state), delay};
    };
    d.steps = {step("ВНЕШН"_cp, "100", "ВЫКЛ"_cp, 10), step("ПИУ31"_cp, "07", "ВКЛ "_cp, 254),
               step("ПУ-П "_cp, "01", "ВКЛ "_cp, 0)};
    d.note = "ЩИТ"_cp;
    SaveScenario(cnf(), d);
    EXPECT_EQ(value(12, "ШАГ 01"_cp), "ВНЕШН/100/ВЫКЛ/010"_cp);
    EXPECT_EQ(value(12, "ШАГ 01"_cp).size(), 18u);
    EXPECT_EQ(value(12, "ШАГ 02"_cp), "БКА31/07/ВКЛ /254"_cp);
    EXPECT_EQ(value(12, "ШАГ 03"_cp), "ПУ-П /01/ВКЛ /000"_cp);
    EXPECT_EQ(value(12, "ШАГ 04"_cp), "?");
    EXPECT_EQ(value(12, "ЗОНА"_cp), "?");
    const ScenarioDraft back = open(12);
    ASSERT_EQ(back.steps.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(back.steps[k].device, d.steps[k].device);
        EXPECT_EQ(back.steps[k].number, d.steps[k].number);
        EXPECT_EQ(back.steps[k].state, d.steps[k].state);
        EXPECT_EQ(back.steps[k].delay, d.steps[k].delay);
    }
    // Once slot 3 is no ПИУ, its line reads as a БКА line again.
    cnf().WriteString("СОСТАВ"_cp, "3", "ППКП"_cp);
    EXPECT_EQ(open(12).steps[1].device, "БКА31"_cp);
    // Saving a shorter scenario deletes the steps it no longer has.
    d.steps.resize(1);
    d.note.clear();
    SaveScenario(cnf(), d);
    EXPECT_EQ(value(12, "ШАГ 02"_cp), "?");
    EXPECT_EQ(value(12, "ПРИМЕЧАНИЕ"_cp), "?");
}

TEST_F(ScenarioPageRules, OpeningStopsAtTheFirstMissingStepAndClampsDelays) {
    cnf().WriteString("СЦЕНАРИЙ 03"_cp, "РЕЖИМ"_cp, "8");
    cnf().WriteString("СЦЕНАРИЙ 03"_cp, "ШАГ 01"_cp, "БРВУ2/03/ВКЛ /388"_cp);
    cnf().WriteString("СЦЕНАРИЙ 03"_cp, "ШАГ 03"_cp, "БРВУ2/04/ВКЛ /000"_cp);
    ScenarioDraft d = open(3);
    ASSERT_EQ(d.steps.size(), 1u);
    EXPECT_EQ(d.steps[0].delay, 255);
    SaveScenario(cnf(), d);
    EXPECT_EQ(value(3, "ШАГ 01"_cp), "БРВУ2/03/ВКЛ /255"_cp);
    EXPECT_EQ(value(3, "ШАГ 03"_cp), "?");
}

// Scenarios name their zone by number; names may repeat. Opening chooses the
// zone the scenario holds, so saving it again does not move it to another
// zone of the same name.
TEST_F(ScenarioPageRules, DuplicateZoneNamesKeepTheStoredZone) {
    cnf().WriteString("ЗОНА"_cp, "2", "СКЛАД"_cp);
    cnf().WriteString("ЗОНА"_cp, "5", "СКЛАД"_cp);
    cnf().WriteString("СЦЕНАРИЙ 04"_cp, "РЕЖИМ"_cp, "3");
    cnf().WriteString("СЦЕНАРИЙ 04"_cp, "ЗОНА"_cp, "4");
    const ScenarioDraft d = open(4);
    EXPECT_EQ(ReadScenarioRow(cnf(), 4).zone, "СКЛАД"_cp);
    EXPECT_EQ(d.target, 4);
    SaveScenario(cnf(), d);
    EXPECT_EQ(value(4, "ЗОНА"_cp), "4");
}

TEST_F(ScenarioPageRules, ZoneModeWithoutAZoneIsRefused) {
    struct Row {
        const char* mode;
        const char* zone; // nullptr: no key
        bool refused;
    } rows[] = {
        {"3", nullptr, true},  {"3", "256", true},     {"3", "-5", true},
        {"10", "256", true},   {"10", nullptr, false}, // ЗОНА div 32 + 1 = group 1
        {"1", nullptr, false},
    };
    for (const Row& r : rows) {
        cnf().EraseSection("СЦЕНАРИЙ 06"_cp);
        cnf().WriteString("СЦЕНАРИЙ 06"_cp, "РЕЖИМ"_cp, r.mode);
        if (r.zone)
            cnf().WriteString("СЦЕНАРИЙ 06"_cp, "ЗОНА"_cp, r.zone);
        const ScenarioDraft d = open(6);
        EXPECT_EQ(!ScenarioSaveProblem(d).empty(), r.refused)
            << r.mode << " " << (r.zone ? r.zone : "");
    }
}

TEST_F(ScenarioPageRules, EmptyModeAndDeleteEraseTheSection) {
    cnf().WriteString("СЦЕНАРИЙ 100"_cp, "РЕЖИМ"_cp, "1");
    cnf().WriteString("СЦЕНАРИЙ 101"_cp, "РЕЖИМ"_cp, "1");
    ScenarioDraft d = open(100);
    d.setMode(0);
    EXPECT_EQ(SaveScenario(cnf(), d), ScenarioSaved::Erased);
    EXPECT_FALSE(cnf().SectionExists("СЦЕНАРИЙ 100"_cp));
    DeleteScenario(cnf(), 101);
    EXPECT_FALSE(cnf().SectionExists("СЦЕНАРИЙ 101"_cp));
}

class OutputDescriptionsRules : public ScenarioPageRules {};

TEST_F(OutputDescriptionsRules, EditFromAStep) {
    const std::string_view prompt = "ВВЕДИТЕ ОПИСАНИЕ ФУНКЦИИ ВЫХОДА"_cp;
    const std::string_view section = "ОПИСАНИЕ ВЫХОДОВ"_cp;
    cnf().WriteString(section, "ПУ-П /01"_cp, "передача"_cp);
    ScriptedPrompts prompts;
    prompts.expectInput("ПУ-П /01"_cp, prompt, std::string("передача на пцн"_cp))
        .expectInput("ПИУ31/07"_cp, prompt, "")
        .expectInput("ВНЕШН/100"_cp, prompt, std::string("насос"_cp))
        .expectInput("ППКП2/05"_cp, prompt,
                     std::string("сирена"_cp)); // cancelled: the initial text
    EXPECT_FALSE(EditOutputDescription(cnf(), prompts, "БКА12"_cp, "05"));
    EXPECT_FALSE(EditOutputDescription(cnf(), prompts, "", ""));
    EXPECT_TRUE(EditOutputDescription(cnf(), prompts, "ПУ-П "_cp, "01"));
    EXPECT_EQ(cnf().ReadString(section, "ПУ-П /01"_cp, "?"), "ПЕРЕДАЧА НА ПЦН"_cp);
    cnf().WriteString(section, "ПИУ31/07"_cp, "ДВЕРЬ"_cp);
    EXPECT_TRUE(EditOutputDescription(cnf(), prompts, "ПИУ31"_cp, "07"));
    EXPECT_FALSE(cnf().KeyExists(section, "ПИУ31/07"_cp));
    EXPECT_TRUE(EditOutputDescription(cnf(), prompts, "ВНЕШН"_cp, "100"));
    EXPECT_EQ(cnf().ReadString(section, "ВНЕШН/100"_cp, "?"), "НАСОС"_cp);
    cnf().WriteString(section, "ППКП2/05"_cp, "сирена"_cp);
    EXPECT_TRUE(EditOutputDescription(cnf(), prompts, "ППКП2"_cp, "05"));
    EXPECT_EQ(cnf().ReadString(section, "ППКП2/05"_cp, "?"), "СИРЕНА"_cp);
    EXPECT_EQ(prompts.pending(), 0u);
}

} // namespace
} // namespace kvort
