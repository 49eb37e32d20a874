// The card path end to end through the real kvortcfg, in a scratch folder.
#include "AppFixture.h"
#include "Process.h"

#include "archives/EventArchives.h"
#include "text/Literals.h"

#ifdef KVORTCFG

namespace kvort::testing {
namespace {

using namespace kvort::text::literals;
namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out, err;
};

class CommandLineTest : public AppTest {
  protected:
    // Runs kvortcfg with the arguments (split at blanks) in dir.
    Outcome kvortcfg(const std::string& args) {
        const test::ProcessResult r = test::RunProcess(KVORTCFG, test::SplitWords(args), dir);
        return {r.status, r.out, r.err};
    }
    void sampleConfig() {
        ASSERT_EQ(kvortcfg("new OBJ").status, 0);
        cnfPath = dir / "OBJ.cnf";
        detector(0, 1, 1, "ВХОД"_cp, "ЗОНА 1"_cp);
        detector(0, 1, 2, "КОРИДОР 2"_cp, "ЗОНА 1"_cp, "ТЕПЛОВОЙ");
        detector(0, 4, 60, "ЩИТОВАЯ"_cp, "ЗОНА 9"_cp, "РУЧНОЙ");
        cnf().WriteString(ScenarioSection(1), "РЕЖИМ"_cp, "2");
        cnf().WriteString(ScenarioSection(1), "ЗОНА"_cp, "0");
        cnf().WriteString(ScenarioSection(1), StepKey(1), "ПУ-П /02/ВКЛ /010"_cp);
        cnf().WriteString(ScenarioSection(1), "ПРИМЕЧАНИЕ"_cp, "ТАБЛО"_cp);
        cnf().WriteString(SectionDescriptions(), "ПУ-П /01"_cp, "СИРЕНА"_cp);
        resetStores();
    }
};

TEST_F(CommandLineTest, CardRoundTripIsAFixedPointForBothSeries) {
    sampleConfig();
    for (const std::string series : {"fh", "i"}) {
        SCOPED_TRACE(series);
        const fs::path card = dir / ("card_" + series);
        const fs::path back = dir / ("read_" + series);
        fs::create_directories(card);
        fs::create_directories(back);

        Outcome w = kvortcfg("write-card OBJ.cnf --series " + series + " -o card_" + series +
                             "/CONFIG.BIN");
        ASSERT_EQ(w.status, 0) << w.err;
        const std::string first = contents(card / "CONFIG.BIN");
        ASSERT_EQ(first.size(), 65536u);
        EXPECT_EQ(fs::exists(card / "ARHIVE.BIN"), series == "i");

        Outcome r =
            kvortcfg("read-card card_" + series + "/CONFIG.BIN -o read_" + series + "/NEW.cnf");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find((back / "NEW.cnf").string()), std::string::npos) << r.out;
        EXPECT_EQ(contents(back / "NEW.bin"), first);
        IniStore tb0(back / "NEW.tb0");
        EXPECT_EQ(tb0.ReadString("И04-60"_cp, "ТЕКСТ"_cp, ""), cp("ЩИТОВАЯ"_cp));
        // No ARHIVE.BIN beside NEW.cnf for series I; the F/H card's archive area
        // holds no ring, so no archive file either way.
        for (ArchiveKind k : {ArchiveKind::Fires, ArchiveKind::Faults, ArchiveKind::Events})
            EXPECT_FALSE(fs::exists(ArchiveFile(k, back / "NEW")));

        Outcome again = kvortcfg("write-card read_" + series + "/NEW.cnf --series " + series +
                                 " -o read_" + series + "/AGAIN.BIN");
        ASSERT_EQ(again.status, 0) << again.err;
        EXPECT_TRUE(contents(back / "AGAIN.BIN") == first) << "re-encoded card differs";
    }
}

TEST_F(CommandLineTest, CheckExitsWithTheCheckResult) {
    sampleConfig();
    Outcome clean = kvortcfg("check OBJ.cnf --series fh");
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(clean.out, (dir / "OBJ_ConfigReport.txt").string() + "\n");
    EXPECT_EQ(contents(dir / "OBJ.bin").size(), 65536u);

    cnf().WriteString(SectionComposition(), "1", "БДУ(4)"_cp);
    resetStores();
    writeFile(dir / "OBJ.tb1", "");
    EXPECT_EQ(kvortcfg("check OBJ.cnf --series i").status, 2); // non-critical, declined
    cnf().WriteString(SectionComposition(), "1", "БДУ(4)"_cp); // the check renamed it
    resetStores();
    EXPECT_EQ(kvortcfg("check OBJ.cnf --series i --continue").status, 1);

    cnf().WriteString(SectionComposition(), "3", "ППКП"_cp); // a gap
    resetStores();
    EXPECT_EQ(kvortcfg("check OBJ.cnf --series fh --continue").status, 2);
    Outcome skipped = kvortcfg("check OBJ.cnf --series fh --skip-check");
    EXPECT_EQ(skipped.status, 0) << skipped.err;
    EXPECT_EQ(contents(dir / "OBJ_ConfigReport.txt"),
              cp("ОПИСАНИЕ ФУНКЦИЙ РЕЛЕ OK\r\nСВЯЗАННЫЕ ВЫХОДЫ OK\r\n\r\n"_cp));

    Outcome stopped = kvortcfg("write-card OBJ.cnf --series fh -o CARD.BIN");
    EXPECT_EQ(stopped.status, 2);
    EXPECT_FALSE(fs::exists(dir / "CARD.BIN"));

    EXPECT_EQ(kvortcfg("check OBJ.cnf").status, 2); // no series: usage
    EXPECT_EQ(kvortcfg("check MISSING.cnf --series fh").status, 1);
}

TEST_F(CommandLineTest, BadCardsAndUnwritableTargetsFailCleanly) {
    sampleConfig();
    writeFile(dir / "SHORT.BIN", std::string(4096, '\0'));
    Outcome shortCard = kvortcfg("read-card SHORT.BIN -o NEW.cnf");
    EXPECT_EQ(shortCard.status, 1);
    EXPECT_NE(shortCard.err.find("SHORT.BIN"), std::string::npos) << shortCard.err;
    EXPECT_NE(shortCard.err.find("4096"), std::string::npos) << shortCard.err;
    EXPECT_FALSE(fs::exists(dir / "NEW.cnf"));
    EXPECT_FALSE(fs::exists(dir / "NEW.bin"));

    // The card's folder is a file: a clear error, no card, no stray file.
    Outcome w = kvortcfg("write-card OBJ.cnf --series i -o OBJ.cnf/CONFIG.BIN");
    EXPECT_EQ(w.status, 1);
    EXPECT_NE(w.err.find("CONFIG.BIN"), std::string::npos) << w.err;
    EXPECT_TRUE(fs::is_regular_file(dir / "OBJ.cnf"));
    EXPECT_FALSE(fs::exists(dir / "ARHIVE.BIN"));

    ASSERT_EQ(kvortcfg("write-card OBJ.cnf --series fh -o CONFIG.BIN").status, 0);
    Outcome r = kvortcfg("read-card CONFIG.BIN -o OBJ.cnf/NEW.cnf");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("NEW.bin"), std::string::npos) << r.err;

    Outcome j = kvortcfg("json OBJ.cnf -o OBJ.cnf/OUT.json");
    EXPECT_EQ(j.status, 1);
    EXPECT_NE(j.err.find("OUT.json"), std::string::npos) << j.err;
}

TEST_F(CommandLineTest, ArchivesAndJsonCommands) {
    sampleConfig();
    std::string image(65536, '\xFF');
    image[archive::kFireCounter] = 0;
    image[archive::kFireCounter + 1] = 0;
    const unsigned char fire[8] = {0x25, 0x03, 0x19, 0x14, 0x05, 0x00, 0x01, 0x00};
    for (int i = 0; i < 8; ++i)
        image[archive::kFireRing + i] = static_cast<char>(fire[i]);
    writeFile(dir / "IMAGE.bin", image);

    Outcome a = kvortcfg("archives IMAGE.bin -c OBJ.cnf");
    EXPECT_EQ(a.status, 0) << a.err;
    const std::string fires = contents(dir / "OBJ_АрхивПожаров.txt");
    EXPECT_NE(fires.find("ЗОНА 1 КОРИДОР 2 /D01-02 /ТЕПЛОВОЙ"_cp), std::string::npos) << fires;
    EXPECT_FALSE(fs::exists(dir / "OBJ_АрхивОтказов.txt"));

    Outcome j = kvortcfg("json OBJ.cnf");
    EXPECT_EQ(j.status, 0) << j.err;
    const std::string json = contents(dir / "OBJ.json");
    EXPECT_NE(json.find("{ \"NAME\":\"S1\", \"TEXT\":\"ТАБЛО\""), std::string::npos);
    EXPECT_NE(
        json.find("{ \"NAME\":\"D0460\",\"TEXT\":\"ЩИТОВАЯ\",\"ZONE\":\"ЗОНА 9\",\"STATE\":true,"
                  "\"TYPE\":\"РУЧНОЙ\"},"),
        std::string::npos);
}

} // namespace
} // namespace kvort::testing

#endif
