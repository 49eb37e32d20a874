#include "TestText.h"

#include "document/DirectionRules.h"

#include <gtest/gtest.h>

using namespace kvort;
using namespace kvort::test;

namespace {

const std::string kSec = cp("НАПРАВЛЕНИЕ 2");

std::string value(const IniStore& s, const char* key) {
    return s.KeyExists(kSec, cp(key)) ? s.ReadString(kSec, cp(key), "") : "<none>";
}

} // namespace

TEST(DirectionRules, BritLinkAndItsOlderKey) {
    struct Row {
        const char* slot;
        const char* line;
        const char* brit; // after saving
        const char* bdu4;
    } rows[] = {
        {"4", "2", "42/01", "<none>"}, // written; the older key no longer overrides it
        {"", "", "<none>", "<none>"},  // no module at all: neither key may link one
        {"", "3", "<none>", "<none>"}, // a line without a slot links nothing
        {"4", "", "23/07", "21/01"},   // incomplete: the file keeps what it had
    };
    for (const Row& r : rows) {
        TempDir dir;
        IniStore s(dir / "D.cnf");
        s.WriteString(kSec, cp("БРИТ"), "23/07");
        s.WriteString(kSec, cp("БДУ4"), "21/01");
        s.WriteString(kSec, cp("СЦЕН."), "12");
        DirectionChoice c;
        c.zone = cp("ЗОНА 7");
        c.relays = DefaultDirectionRelays();
        c.britModule = r.slot;
        c.britLine = r.line;
        WriteDirectionChoice(s, 2, c);
        IniStore again(dir / "D.cnf");
        EXPECT_EQ(value(again, "БРИТ"), r.brit) << r.slot << "/" << r.line;
        EXPECT_EQ(value(again, "БДУ4"), r.bdu4) << r.slot << "/" << r.line;
        EXPECT_EQ(value(again, "СЦЕН."), "<none>");
        EXPECT_EQ(u8(value(again, "ЗОНА")), "ЗОНА 7");
        EXPECT_EQ(u8(value(again, "РЕЛЕ 3")), "ТАБЛО\"ОПОВЕЩ.\"");
    }
}

TEST(DirectionRules, NoZoneErasesTheSectionAndResetsTheGroup) {
    TempDir dir;
    IniStore s(dir / "D.cnf");
    s.WriteString(kSec, cp("ЗОНА"), cp("ЗОНА 1"));
    s.WriteString(kSec, cp("БДУ4"), "21/01");
    DirectionChoice c; // zone "НЕТ"
    c.relays = {cp("СТОП"), cp("СТОП"), cp("СТОП"), cp("СТОП"), cp("СТОП")};
    c.scenario = "05";
    c.britModule = "3";
    WriteDirectionChoice(s, 2, c);
    EXPECT_FALSE(s.SectionExists(kSec));

    ResetDirectionChoice(c);
    EXPECT_EQ(u8(c.zone), "НЕТ");
    EXPECT_EQ(c.relays, DefaultDirectionRelays());
    EXPECT_EQ(u8(c.relays[3]), "АВТ.ОТКЛ.");
    EXPECT_EQ(u8(c.relays[4]), "БЛОКИРОВКА");
    EXPECT_TRUE(c.scenario.empty() && c.britModule.empty() && c.britLine.empty());
    EXPECT_FALSE(BritAddressIncomplete(c));
    c.britModule = "3";
    EXPECT_TRUE(BritAddressIncomplete(c));
}

TEST(DirectionRules, ListsOffered) {
    TempDir dir;
    IniStore s(dir / "D.cnf");
    const char* kinds[] = {"ПУ-П", "БДУ(4)", "ППКП", "БРИТ ", "ПИУ", "БРИТ"};
    for (int slot = 0; slot < 6; ++slot)
        s.WriteString(cp("СОСТАВ"), std::to_string(slot), cp(kinds[slot]));
    EXPECT_EQ(BritSlots(s), (std::vector<int>{1, 3, 5}));

    const auto scenarios = DirectionScenarioChoices();
    ASSERT_EQ(scenarios.size(), 129u);
    EXPECT_EQ(scenarios[0], "");
    EXPECT_EQ(scenarios[1], "01");
    EXPECT_EQ(scenarios[96], "96");
    EXPECT_EQ(scenarios[128], "128");

    const auto functions = RelayFunctionChoices();
    ASSERT_EQ(functions.size(), 11u);
    EXPECT_EQ(u8(functions[4]), "ТАБЛО\"ОПОВЕЩ.\"");
    EXPECT_EQ(u8(functions[9]), "РЕЗЕРВ.ПУСК");
    EXPECT_EQ(u8(functions[10]), "НЕТ");
}
