// The device list shared by scenario steps and linked outputs, and the
// numbers a step offers.
#include "TestText.h"

#include "document/OutputDevices.h"

#include <gtest/gtest.h>

using namespace kvort;
using namespace kvort::test;

namespace {

std::string joined(const std::vector<std::string>& list) {
    std::string out;
    for (const std::string& e : list)
        out += (out.empty() ? "" : ",") + u8(e);
    return out;
}

// What every list holds after "ПУ-П " and the panels.
constexpr const char* kFixed = ",БРВУ1,БРВУ2,БРВУ3,БРВУ4,БРВУ5,БРВУ6,БРВУ7,БРВУ8,ВНЕШН,СЦЕН.";

} // namespace

TEST(ScenarioPageDeviceList, FollowsTheComposition) {
    struct Row {
        const char* name;
        std::vector<std::pair<int, const char*>> composition; // [СОСТАВ] keys present
        std::string expected;                                 // without the leading ","
    };
    const std::string fixed = kFixed;
    const std::string pu = "ПУ-П ";
    auto bka = [](int slot, int lines) {
        std::string s;
        for (int k = 1; k <= lines; ++k)
            s += ",БКА" + std::to_string(slot) + std::to_string(k);
        return s;
    };
    const std::string pp = "ПУ-П ,ППКП1,ППКП2,ППКП3,ППКП4,ППКП5,ППКП8" + fixed;
    const Row rows[] = {
        {"no composition at all", {}, pu + fixed},
        {"a lone ПУ-П", {{0, "ПУ-П"}}, pu + fixed + bka(0, 8)},
        {"a 4-line ПУ-П and ППКП",
         {{0, "ПУ-П(4)"}, {1, "ППКП(4)"}},
         "ПУ-П ,ППКП1" + fixed + bka(0, 4) + bka(1, 4)},
        // The examples' composition: БРИТ and ПИУ are no panels; a ПИУ gives
        // its one line.
        {"the full sample",
         {{0, "ПУ-П"},
          {1, "ППКП"},
          {2, "ППКП(8)"},
          {3, "ППКП"},
          {4, "ППКП"},
          {5, "ППКП"},
          {6, "БРИТ"},
          {7, "ПИУ"},
          {8, "ППКП"}},
         pp + bka(0, 8) + bka(1, 8) + bka(2, 8) + bka(3, 8) + bka(4, 8) + bka(5, 8) + ",ПИУ71" +
             bka(8, 8)},
        // The panels are listed past a gap, the module lines stop at it.
        {"a gap", {{0, "ПУ-П"}, {1, "НЕТ"}, {2, "ППКП"}}, "ПУ-П ,ППКП2" + fixed + bka(0, 8)},
        // The empty kind is a panel for the relays but has no lines listed,
        // and does not stop the lines of the slots after it.
        {"the empty kind",
         {{0, "ПУ-П"}, {1, ""}, {2, "БДУ(4)"}, {3, "ППКП"}},
         "ПУ-П ,ППКП1,ППКП3" + fixed + bka(0, 8) + bka(3, 8)},
        {"no ПУ-П key: no lines", {{1, "ППКП"}}, "ПУ-П ,ППКП1" + fixed},
    };
    for (const Row& row : rows) {
        TempDir dir;
        IniStore cnf(dir / "a.cnf");
        for (const auto& [slot, kind] : row.composition)
            cnf.WriteString(cp("СОСТАВ"), std::to_string(slot), cp(kind));
        const std::vector<std::string> list = BuildOutputDeviceList(cnf);
        ASSERT_FALSE(list.empty()) << row.name;
        EXPECT_EQ(list.front(), "") << row.name;
        EXPECT_EQ(joined({list.begin() + 1, list.end()}), row.expected) << row.name;
    }
}

TEST(ScenarioPageDeviceList, StepNumbers) {
    struct Row {
        const char* device;
        std::size_t count;
        const char* last;
    } rows[] = {
        {"ПУ-П ", 8, "08"},  {"ППКП3", 8, "08"},    {"БРВУ8", 8, "08"},    {"ПИУ71", 24, "24"},
        {"БКА12", 60, "60"}, {"ВНЕШН", 128, "128"}, {"СЦЕН.", 128, "128"}, {"", 0, ""},
    };
    for (const Row& row : rows) {
        const auto numbers = StepNumberList(cp(row.device));
        ASSERT_EQ(numbers.size(), row.count) << row.device;
        if (row.count) {
            EXPECT_EQ(numbers.front(), "01");
            EXPECT_EQ(numbers.back(), row.last);
        }
    }
    // A step numbers its outputs with "%2.2d": 97 is "97", unlike a linked output.
    EXPECT_EQ(StepNumberList(cp("ВНЕШН"))[96], "97");
    EXPECT_EQ(StepNumberList(cp("ВНЕШН"))[99], "100");
}
