// The band sequences of the four report builders: which bands, how often,
// where the pages break, and the values the bands receive.
#include "export/ReportBuilders.h"

#include "document/IniStore.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace kvort;
namespace fs = std::filesystem;

namespace {

// What a builder asked the engine for. Values are kept in UTF-8 for the
// comparisons.
struct Recorder : ReportSink {
    struct Step {
        std::string band; // "|" for a new page
        std::map<std::string, std::string> values;
    };
    std::vector<Step> steps;

    void showBand(std::string_view band, ReportValues values) override {
        Step s{std::string(band), {}};
        for (auto& [name, value] : values)
            s.values[text::toUtf8(name)] = text::toUtf8(value);
        steps.push_back(std::move(s));
    }
    void newPage() override { steps.push_back({"|", {}}); }

    // "PageHeader1 MasterData1*60 | PageFooter1": repeated bands folded.
    std::string outline() const {
        std::string out;
        for (std::size_t i = 0; i < steps.size();) {
            std::size_t n = 1;
            while (i + n < steps.size() && steps[i + n].band == steps[i].band &&
                   steps[i].band != "|")
                ++n;
            out += (out.empty() ? "" : " ") + steps[i].band;
            if (n > 1)
                out += "*" + std::to_string(n);
            i += n;
        }
        return out;
    }
    std::vector<const Step*> of(const std::string& band) const {
        std::vector<const Step*> found;
        for (const Step& s : steps)
            if (s.band == band)
                found.push_back(&s);
        return found;
    }
};

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

class Builders : public ::testing::Test {
  protected:
    fs::path dir =
        fs::temp_directory_path() / ("kvort-report-" + std::to_string(std::random_device{}()));
    fs::path cnf = dir / "OBJ.cnf";

    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    // Files are given in UTF-8 and stored in CP1251, as the tool keeps them.
    void write(const fs::path& path, const std::string& utf8) {
        writeFile(path, text::fromUtf8(utf8));
    }
    void writeCnf(const std::string& utf8) { write(cnf, utf8); }
    void writeTb(int slot, const std::string& utf8 = "") {
        write(dir / ("OBJ.tb" + std::to_string(slot)), utf8);
    }
    Recorder build(ReportKind kind) {
        Recorder r;
        BuildReport(kind, cnf, r);
        return r;
    }
};

// One device with full lines, as the detector list prints it.
std::string panel(int lines = 8) {
    return "GroupHeader1 " + repeat("MasterData1*60 | ", lines) + "PageFooter1 ";
}

TEST_F(Builders, DetectorListGivesEveryAddressARowAndBreaksAsTheDeviceRequires) {
    struct Case {
        const char* name;
        std::string composition; // [СОСТАВ] lines
        std::vector<int> files;  // NAME.tbN that exist
        std::string outline;
        std::vector<std::string> devices; // the device lines, in order
    };
    const Case cases[] = {
        {"panel and subordinate panel",
         "0=ПУ-П(8)\n1=ППКП(8)\n",
         {0, 1},
         "PageHeader1 " + panel() + panel() + "ReportSummary1",
         {"ПРИБОР ПУ-П(8)", "ПРИБОР №1 ППКП(8)"}},
        {"БДУ in slot 3: four single rows, then a break",
         "0=ПУ-П\n3=БДУ(4)\n",
         {0, 3},
         "PageHeader1 " + panel() + "GroupHeader1 MasterData1*4 PageFooter1 | ReportSummary1",
         {"ПРИБОР ПУ-П", "ПРИБОР №3 БДУ(4)"}},
        {"ПИУ line of 48 breaks after the line, БРИТ after the device",
         "0=ПУ-П\n1=ПИУ\n2=БРИТ\n",
         {0, 1, 2},
         "PageHeader1 " + panel() +
             "GroupHeader1 MasterData1*48 | PageFooter1 GroupHeader1 MasterData1*4 PageFooter1 | "
             "ReportSummary1",
         {"ПРИБОР ПУ-П", "ПРИБОР №1 ПИУ", "ПРИБОР №2 БРИТ"}},
        {"a missing file or an empty kind leaves the device out; an unknown kind has no rows",
         "0=ПУ-П\n1=\n2=НЕТ\n3=ППКП\n",
         {1, 2},
         "PageHeader1 GroupHeader1 PageFooter1 ReportSummary1",
         {"ПРИБОР №2 НЕТ"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir);
        fs::create_directories(dir);
        writeCnf("[СОСТАВ]\n" + c.composition);
        for (int slot : c.files)
            writeTb(slot);
        const Recorder r = build(ReportKind::Detectors);
        EXPECT_EQ(r.outline(), c.outline);
        std::vector<std::string> devices;
        for (const auto* s : r.of("GroupHeader1"))
            devices.push_back(s->values.at("ПРИБОР"));
        EXPECT_EQ(devices, c.devices);
    }
}

TEST_F(Builders, DetectorRowsCarryTheRecordAndTheTotalCountsTexts) {
    writeCnf("[СОСТАВ]\n0=ПУ-П\n3=БДУ(4)\n");
    writeTb(0, "[И01-02]\nТЕКСТ=ДЫМ КОРИДОР\nСОСТОЯНИЕ=ВКЛ\nТИП=ДЫМОВОЙ\nЗОНА=СКЛАД 1\n"
               "ВЫХОД=ВНЕШН/100/\n"
               "[И08-60]\nТЕКСТ=РУЧН ВЫХОД\nТИП=РУЧНОЙ\n"
               "[И02-01]\nТИП=ТЕПЛОВОЙ\nЗОНА=СКЛАД 2\n");
    writeTb(3, "[И32-01]\nТЕКСТ=БДУ ПУСК\n");
    const Recorder r = build(ReportKind::Detectors);
    const auto rows = r.of("MasterData1");
    ASSERT_EQ(rows.size(), 484u);

    using V = std::map<std::string, std::string>;
    EXPECT_EQ(rows[0]->values, (V{{"АДРЕС", "И01-01"},
                                  {"ТИП", ""},
                                  {"ЗОНА", ""},
                                  {"СООБЩЕНИЕ", ""},
                                  {"СОСТ", ""},
                                  {"ПРИМ", ""}}));
    EXPECT_EQ(rows[1]->values, (V{{"АДРЕС", "И01-02"},
                                  {"ТИП", "ДЫМОВОЙ"},
                                  {"ЗОНА", "СКЛАД 1"},
                                  {"СООБЩЕНИЕ", "ДЫМ КОРИДОР"},
                                  {"СОСТ", "ВКЛ"},
                                  {"ПРИМ", "ВЫХОД: ВНЕШН/100/"}}));
    // A record without a text is no detector, but its other columns print.
    EXPECT_EQ(rows[60]->values.at("ТИП"), "ТЕПЛОВОЙ");
    EXPECT_EQ(rows[60]->values.at("СООБЩЕНИЕ"), "");
    EXPECT_EQ(rows[479]->values.at("АДРЕС"), "И08-60");
    std::vector<std::string> bdu;
    for (std::size_t i = 480; i < rows.size(); ++i)
        bdu.push_back(rows[i]->values.at("АДРЕС"));
    EXPECT_EQ(bdu, (std::vector<std::string>{"И31-01", "И32-01", "И33-01", "И34-01"}));

    ASSERT_EQ(r.of("ReportSummary1").size(), 1u);
    EXPECT_EQ(r.of("ReportSummary1")[0]->values.at("GlobalDat"), "3");
}

TEST_F(Builders, ScenarioReportPrintsEveryStepOfEachExistingScenario) {
    writeCnf("[ЗОНА]\n5=ЗАЛ\n"
             "[СЦЕНАРИЙ 05]\nРЕЖИМ=3\nЗОНА=4\nШАГ 01=ПУ-П /01/ВКЛ /000\n"
             "[СЦЕНАРИЙ 96]\n"
             "[СЦЕНАРИЙ 097]\nРЕЖИМ=6\nЗОНА=255\nПРИМЕЧАНИЕ=ТУШЕНИЕ СКЛАДА\n"
             "ШАГ 03=ВНЕШН/100/ВЫКЛ/010\n"
             "[СЦЕНАРИЙ 98]\nРЕЖИМ=1\n"
             "[СЦЕНАРИЙ 128]\nРЕЖИМ=14\n");
    const Recorder r = build(ReportKind::Scenarios);
    EXPECT_EQ(r.outline(), "PageHeader1 " + repeat("GroupHeader1 MasterData1*10 ", 2) +
                               "GroupHeader1 MasterData1*10");

    using V = std::map<std::string, std::string>;
    const auto groups = r.of("GroupHeader1");
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0]->values, (V{{"СЦЕНАРИЙ", "СЦЕНАРИЙ: 05"},
                                    {"РЕЖИМ", "РЕЖИМ: ПОЖАР В ЗОНЕ"},
                                    {"ЗОНА", "ЗОНА: ЗАЛ"},
                                    {"ПРИМЕЧАНИЕ", ""}}));
    EXPECT_EQ(groups[1]->values, (V{{"СЦЕНАРИЙ", "СЦЕНАРИЙ: 97"},
                                    {"РЕЖИМ", "РЕЖИМ: ТУШЕНИЕ"},
                                    {"ЗОНА", "ЗОНА: В ЛЮБОЙ ЗОНЕ"},
                                    {"ПРИМЕЧАНИЕ", "ТУШЕНИЕ СКЛАДА"}}));
    // A mode outside the list and a missing zone print empty after the label.
    EXPECT_EQ(groups[2]->values.at("РЕЖИМ"), "РЕЖИМ: ");
    EXPECT_EQ(groups[2]->values.at("ЗОНА"), "ЗОНА: ");

    const auto rows = r.of("MasterData1");
    EXPECT_EQ(rows[0]->values, (V{{"ШАГ", "01"},
                                  {"ПРИБОР", "ПУ-П "},
                                  {"НОМЕР", "01"},
                                  {"СОСТОЯНИЕ", "ВКЛ "},
                                  {"ЗАДЕРЖКА", "000"}}));
    EXPECT_EQ(rows[12]->values, (V{{"ШАГ", "03"},
                                   {"ПРИБОР", "ВНЕШН"},
                                   {"НОМЕР", "100"},
                                   {"СОСТОЯНИЕ", "ВЫКЛ"},
                                   {"ЗАДЕРЖКА", "010"}}));
    EXPECT_EQ(
        rows[19]->values,
        (V{{"ШАГ", "10"}, {"ПРИБОР", ""}, {"НОМЕР", ""}, {"СОСТОЯНИЕ", ""}, {"ЗАДЕРЖКА", ""}}));
}

TEST_F(Builders, DirectionReportNamesTheControlModuleOrSaysNone) {
    writeCnf("[НАПРАВЛЕНИЕ 2]\nЗОНА=ЗАЛ\nРЕЛЕ 1=ПУСК 1\nРЕЛЕ 5=СТОП\n"
             "[НАПРАВЛЕНИЕ 5]\nЗОНА=СКЛАД\nСЦЕН.=11\nБРИТ=41/01\nБДУ4=31/01\n"
             "[НАПРАВЛЕНИЕ 7]\nБРИТ=61/01\n");
    const Recorder r = build(ReportKind::Directions);
    EXPECT_EQ(r.outline(), "PageHeader1 GroupHeader1*3");
    const auto groups = r.of("GroupHeader1");
    ASSERT_EQ(groups.size(), 3u);

    using V = std::map<std::string, std::string>;
    EXPECT_EQ(groups[0]->values, (V{{"НАПРАВЛЕНИЕ", "НАПРАВЛЕНИЕ 2"},
                                    {"ЗОНА", "ЗОНА: ЗАЛ"},
                                    {"РЕЛЕ 1", "ПУСК 1"},
                                    {"РЕЛЕ 2", ""},
                                    {"РЕЛЕ 3", ""},
                                    {"РЕЛЕ 4", ""},
                                    {"РЕЛЕ 5", "СТОП"},
                                    {"СЦЕНАРИЙ", "НЕТ"},
                                    {"БДУ", "НЕТ"},
                                    {"БРИТ", "НЕТ"}}));
    EXPECT_EQ(groups[1]->values.at("СЦЕНАРИЙ"), "11");
    EXPECT_EQ(groups[1]->values.at("БДУ"), "БДУ/31/01");
    EXPECT_EQ(groups[1]->values.at("БРИТ"), "БРИТ/41/01");
    EXPECT_EQ(groups[2]->values.at("БДУ"), "БДУ/61/01");
    EXPECT_EQ(groups[2]->values.at("ЗОНА"), "ЗОНА: ");
}

TEST_F(Builders, OutputReportSplitsTheKeyAfterTheDevice) {
    writeCnf("[ОПИСАНИЕ ВЫХОДОВ]\nПУ-П /01=ПЕРЕДАЧА НА ПЦН\nВНЕШН/100=ДЫМОУДАЛЕНИЕ\n"
             "ПИУ31/07=КЛАПАН\n");
    const Recorder r = build(ReportKind::Outputs);
    EXPECT_EQ(r.outline(), "PageHeader1 MasterData1*3 PageFooter1");
    using V = std::map<std::string, std::string>;
    const auto rows = r.of("MasterData1");
    EXPECT_EQ(rows[0]->values,
              (V{{"ПРИБОР", "ПУ-П "}, {"НОМЕР", "01"}, {"ОПИСАНИЕ", "ПЕРЕДАЧА НА ПЦН"}}));
    EXPECT_EQ(rows[1]->values,
              (V{{"ПРИБОР", "ВНЕШН"}, {"НОМЕР", "100"}, {"ОПИСАНИЕ", "ДЫМОУДАЛЕНИЕ"}}));
    EXPECT_EQ(rows[2]->values.at("ПРИБОР"), "ПИУ31");
    EXPECT_EQ(rows[2]->values.at("НОМЕР"), "07");

    writeCnf("[ОПИСАНИЕ ВЫХОДОВ]\n");
    EXPECT_EQ(build(ReportKind::Outputs).outline(), "");
}

TEST_F(Builders, PrintOrderIsDetectorsScenariosOutputsDirections) {
    struct Case {
        const char* cnf;
        std::vector<ReportKind> kinds;
    };
    using K = ReportKind;
    const Case cases[] = {
        // Section headers without keys, as a new configuration has them.
        {"[СЦЕНАРИЙ 01]\n[НАПРАВЛЕНИЕ 1]\n[ОПИСАНИЕ ВЫХОДОВ]\n", {K::Detectors}},
        {"[НАПРАВЛЕНИЕ 8]\nЗОНА=ЗАЛ\n[ОПИСАНИЕ ВЫХОДОВ]\nПУ-П /01=ПЦН\n[СЦЕНАРИЙ 128]\nРЕЖИМ=1\n",
         {K::Detectors, K::Scenarios, K::Outputs, K::Directions}},
        {"[НАПРАВЛЕНИЕ 3]\nБРИТ=61/01\n", {K::Detectors, K::Directions}},
        // Only the width the writers use counts.
        {"[СЦЕНАРИЙ 7]\nРЕЖИМ=1\n[СЦЕНАРИЙ 97]\nРЕЖИМ=1\n", {K::Detectors}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cnf);
        writeCnf(c.cnf);
        EXPECT_EQ(ReportsToPrint(cnf), c.kinds);
    }
}

TEST_F(Builders, CommonValuesNameTheFileAndItsDate) {
    const fs::path named = dir / "СКЛАД №2.cnf";
    write(named, "[СОСТАВ]\n0=ПУ-П\n");
    std::tm noon{};
    noon.tm_year = 2024 - 1900;
    noon.tm_mon = 2;
    noon.tm_mday = 5;
    noon.tm_hour = 12;
    noon.tm_isdst = -1;
    const auto when = std::chrono::system_clock::from_time_t(std::mktime(&noon));
    fs::last_write_time(named, std::chrono::file_clock::from_sys(when));

    const ReportValues values = CommonReportValues(dir / "СКЛАД №2.tb4");
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].first, "FileName");
    EXPECT_EQ(text::toUtf8(values[0].second), "СКЛАД №2");
    EXPECT_EQ(values[1].first, "FileDate");
    EXPECT_EQ(values[1].second, "05.03.2024");
}

} // namespace
