#include "export/JsonExport.h"

#include "document/Config.h"
#include "document/Detectors.h"
#include "document/IniStore.h"
#include "text/Error.h"
#include "text/Literals.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kvort;
using namespace kvort::text::literals;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> splitCrLf(const std::string& s) {
    std::vector<std::string> out;
    size_t from = 0;
    while (from < s.size()) {
        size_t end = s.find("\r\n", from);
        EXPECT_NE(end, std::string::npos) << "a line without CR LF at " << from;
        if (end == std::string::npos)
            break;
        out.push_back(s.substr(from, end - from));
        from = end + 2;
    }
    return out;
}

class JsonTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              (std::string("kvort_json_") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        cnfPath = dir / "OBJ.cnf";
        writeFile(cnfPath, "[СИСТЕМА]\r\n"); // an existing, almost empty configuration
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
    }
    fs::path tb(int d) { return dir / ("OBJ.tb" + std::to_string(d)); }

    fs::path dir, cnfPath;
};

TEST_F(JsonTest, EmptyConfigurationGivesTheFiveFixedLines) {
    EXPECT_EQ(BuildJson(cnfPath), "{\r\n\"sensor\":[\r\n{\"NAME\":\"END\"}\r\n]\r\n}\r\n");
}

TEST_F(JsonTest, ScenarioLines) {
    IniStore cnf(cnfPath);
    cnf.WriteString(ScenarioSection(3), "ПРИМЕЧАНИЕ"_cp, "ВЕНТИЛЯЦИЯ"_cp);
    cnf.WriteString(ScenarioSection(3), "РЕЖИМ"_cp, "2");
    cnf.WriteString(ScenarioSection(5), "РЕЖИМ"_cp, "7"); // no note: skipped
    cnf.WriteString(ScenarioSection(97), "ПРИМЕЧАНИЕ"_cp, "ОПОВЕЩЕНИЕ"_cp);
    cnf.WriteString(ScenarioSection(97), "РЕЖИМ"_cp, "7");
    cnf.WriteString(ScenarioSection(128), "ПРИМЕЧАНИЕ"_cp, "100% \"ДЫМ\"\\"_cp);

    auto lines = splitCrLf(BuildJson(cnfPath));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[2], "{ \"NAME\":\"S3\", \"TEXT\":\"ВЕНТИЛЯЦИЯ\",\"ZONE\":\"\",\"STATE\":false, "
                        "\"TYPE\":\"\"},");
    EXPECT_EQ(lines[3],
              "{ \"NAME\":\"S97\", \"TEXT\":\"* ОПОВЕЩЕНИЕ\",\"ZONE\":\"\",\"STATE\":false, "
              "\"TYPE\":\"\"},");
    EXPECT_EQ(lines[4], "{ \"NAME\":\"S128\", \"TEXT\":\"100% \\\"ДЫМ\\\"\\\\\",\"ZONE\":\"\","
                        "\"STATE\":false, \"TYPE\":\"\"},");
}

TEST_F(JsonTest, DetectorLinesCoverEveryAddressOfEveryExistingFile) {
    {
        IniStore t0(tb(0));
        DetectorRecord r;
        r.text = "КОРИДОР"_cp;
        r.zone = "ЗОНА 1"_cp;
        r.type = "ДЫМОВОЙ"_cp;
        r.state = "ВКЛ"_cp;
        WriteDetector(t0, 0, 1, 5, r);
        r.text = "ЩИТ \"А\""_cp;
        r.state = "";
        WriteDetector(t0, 0, 8, 60, r); // no СОСТОЯНИЕ: false
        IniStore t1(tb(1));
        t1.WriteString(SensorAddress(1, 1, 1), "ТЕКСТ"_cp, "ВХОД"_cp);
        t1.WriteString(SensorAddress(1, 1, 1), "СОСТОЯНИЕ"_cp, "ВКЛ "_cp);  // trimmed: ВКЛ
        t1.WriteString(SensorAddress(1, 1, 2), "ЗОНА"_cp, "БЕЗ ТЕКСТА"_cp); // no text: empty line
    }
    std::string json = BuildJson(cnfPath);
    auto lines = splitCrLf(json);
    ASSERT_EQ(lines.size(), 5u + 960u);
    EXPECT_EQ(lines[2],
              "{ \"NAME\":\"D0101\",\"TEXT\":\"\",\"ZONE\":\"\",\"STATE\":false,\"TYPE\":\"\"},");
    EXPECT_EQ(lines[6],
              "{ \"NAME\":\"D0105\",\"TEXT\":\"КОРИДОР\",\"ZONE\":\"ЗОНА 1\",\"STATE\":true,"
              "\"TYPE\":\"ДЫМОВОЙ\"},");
    EXPECT_EQ(lines[481], "{ \"NAME\":\"D0860\",\"TEXT\":\"ЩИТ \\\"А\\\"\",\"ZONE\":\"ЗОНА 1\","
                          "\"STATE\":false,\"TYPE\":\"ДЫМОВОЙ\"},");
    EXPECT_EQ(lines[482], "{ \"NAME\":\"D1101\",\"TEXT\":\"ВХОД\",\"ZONE\":\"\",\"STATE\":true,"
                          "\"TYPE\":\"\"},");
    EXPECT_EQ(lines[483], "{ \"NAME\":\"D1102\",\"TEXT\":\"\",\"ZONE\":\"\",\"STATE\":false,"
                          "\"TYPE\":\"\"},");
    EXPECT_EQ(lines[961],
              "{ \"NAME\":\"D1860\",\"TEXT\":\"\",\"ZONE\":\"\",\"STATE\":false,\"TYPE\":\"\"},");
    EXPECT_EQ(lines[962], "{\"NAME\":\"END\"}");

    // The names run D0101..D0860, D1101..D1860 in order.
    std::vector<std::string> names;
    for (int d : {0, 1})
        for (int l = 1; l <= 8; ++l)
            for (int a = 1; a <= 60; ++a) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "D%d%d%02d", d, l, a);
                names.push_back(buf);
            }
    nlohmann::json parsed = nlohmann::json::parse(json);
    ASSERT_EQ(parsed["sensor"].size(), 961u);
    for (size_t i = 0; i < names.size(); ++i)
        ASSERT_EQ(parsed["sensor"][i]["NAME"], names[i]) << i;
}

TEST_F(JsonTest, ParsesAsJsonWithEveryKindOfTextInside) {
    {
        IniStore cnf(cnfPath);
        cnf.WriteString(ScenarioSection(1), "ПРИМЕЧАНИЕ"_cp, "TAB\tHERE"_cp);
        cnf.WriteString(ScenarioSection(2), "ПРИМЕЧАНИЕ"_cp, "Ё№ЇІ «»—€"_cp);
        IniStore t2(tb(2));
        t2.WriteString(SensorAddress(2, 3, 4), "ТЕКСТ"_cp,
                       std::string("A\x01"
                                   "B\\\"/") +
                           "}{,]");
        t2.WriteString(SensorAddress(2, 3, 4), "ТИП"_cp, "КОНТАКТ"_cp);
    }
    std::string json = BuildJson(cnfPath);
    nlohmann::json parsed;
    ASSERT_NO_THROW(parsed = nlohmann::json::parse(json));
    const auto& sensor = parsed["sensor"];
    ASSERT_EQ(sensor.size(), 2u + 480u + 1u);
    EXPECT_EQ(sensor[0]["TEXT"], "TAB\tHERE");
    EXPECT_EQ(sensor[1]["TEXT"], "Ё№ЇІ «»—€");
    const auto& d = sensor[2 + (3 - 1) * 60 + (4 - 1)];
    EXPECT_EQ(d["NAME"], "D2304");
    EXPECT_EQ(d["TEXT"], "A\x01"
                         "B\\\"/}{,]");
    EXPECT_EQ(d["TYPE"], "КОНТАКТ");
    EXPECT_EQ(d["STATE"], false);
    EXPECT_EQ(sensor.back()["NAME"], "END");
}

TEST_F(JsonTest, UnwritableTargetIsAClearErrorAndLeavesNothing) {
    auto expectFileError = [](const fs::path& cnf, const fs::path& out) {
        try {
            ExportJson(cnf, out);
            ADD_FAILURE() << "no error for " << out;
        } catch (const FileError& e) {
            EXPECT_NE(std::string(e.what()).find("OBJ.json"), std::string::npos) << e.what();
        }
    };
    // A folder that is a regular file fails for every user, root included.
    expectFileError(cnfPath, cnfPath / "OBJ.json");
    EXPECT_TRUE(fs::is_regular_file(cnfPath));

    fs::path locked = dir / "locked";
    fs::create_directories(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(locked.c_str(), W_OK) != 0) { // root writes anyway
        expectFileError(cnfPath, locked / "OBJ.json");
        fs::permissions(locked, fs::perms::owner_all);
        EXPECT_TRUE(fs::is_empty(locked));
    }

    // An existing export survives a failed one.
    writeFile(dir / "OBJ.json", "OLD");
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(dir.c_str(), W_OK) != 0) {
        expectFileError(cnfPath, dir / "OBJ.json");
        fs::permissions(dir, fs::perms::owner_all);
        EXPECT_EQ(readFile(dir / "OBJ.json"), "OLD");
    }
    fs::permissions(dir, fs::perms::owner_all);
}

} // namespace
