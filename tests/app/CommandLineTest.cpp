// The card path end to end through the real kvortcfg, in a scratch folder.
#include "AppFixture.h"
#include "Process.h"

#include "archives/EventArchives.h"
#include "document/ConfigFileSet.h"
#include "document/ConfigHistory.h"
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

TEST_F(CommandLineTest, DiffExitsLikeDiff) {
    sampleConfig();
    ASSERT_EQ(kvortcfg("encode OBJ.cnf --series i -o PANEL.bin").status, 0);
    Outcome same = kvortcfg("diff OBJ.cnf PANEL.bin");
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_NE(same.out.find("Различий нет."), std::string::npos) << same.out;

    detector(0, 1, 2, "КОРИДОР 3"_cp, "ЗОНА 1"_cp, "ТЕПЛОВОЙ");
    resetStores();
    Outcome differ = kvortcfg("diff PANEL.bin OBJ.cnf --series i");
    EXPECT_EQ(differ.status, 1) << differ.err;
    EXPECT_NE(differ.out.find("Извещатели (1)\n  И01-02, текст: A «КОРИДОР 2», B «КОРИДОР 3»\n"),
              std::string::npos)
        << differ.out;

    Outcome missing = kvortcfg("diff OBJ.cnf NONE.bin");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("NONE.bin"), std::string::npos) << missing.err;
    EXPECT_EQ(kvortcfg("diff OBJ.cnf").status, 2);
}

// An older file with [ПРИБОРЫ] but no [СОСТАВ]: the command line completes it
// as opening does, the report says what was added, and the missing detector
// file of the completed slot stops the check.
TEST_F(CommandLineTest, CheckCompletesAnOldFileAndSaysWhatItAdded) {
    ASSERT_EQ(kvortcfg("new OBJ").status, 0);
    cnfPath = dir / "OBJ.cnf";
    cnf().EraseSection(SectionComposition());
    cnf().WriteString(SectionDevices(), SlotDeviceKey(1), word::kLines8);
    resetStores();
    const std::string old = contents(cnfPath);

    const Outcome c = kvortcfg("check OBJ.cnf --series fh");
    EXPECT_EQ(c.status, 2) << c.err;
    const std::string report = contents(dir / "OBJ_ConfigReport.txt");
    EXPECT_NE(report.find(std::string("[СОСТАВ] 1="_cp) + std::string(word::kKindPpkp8)),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("НЕ ОБНАРУЖЕН ФАЙЛ \"OBJ.tb1\""_cp), std::string::npos) << report;
    EXPECT_EQ(report.find("СОСТАВ OK"_cp), std::string::npos) << report;
    // The file as it was is in the history.
    const auto entries = listHistory(ConfigFileSet(cnfPath));
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.back().reason, "complete");
    EXPECT_EQ(contents(entries.back().folder / "OBJ.cnf"), old);
}

// A conversion error stops the check: the report of this run says so, and
// nothing of an earlier run's report stays.
TEST_F(CommandLineTest, AConversionErrorIsALineOfThisRunsReport) {
    sampleConfig();
    writeFile(dir / "OBJ_ConfigReport.txt", "ALL OK, FROM AN EARLIER RUN");
    tb(0).WriteString(SensorAddress(0, 1, 1), "ВЫХОД"_cp, "ПУ-П /0X/"_cp);
    resetStores();
    const Outcome c = kvortcfg("check OBJ.cnf --series fh");
    EXPECT_EQ(c.status, 1);
    const std::string report = contents(dir / "OBJ_ConfigReport.txt");
    EXPECT_EQ(report.find("EARLIER"), std::string::npos) << report;
    EXPECT_NE(report.find("ОШИБКА ПРЕОБРАЗОВАНИЯ: "_cp), std::string::npos) << report;
}

} // namespace
} // namespace kvort::testing

#endif
