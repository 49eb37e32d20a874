#include "AppFixture.h"
#include "Process.h"

#include "app/CardFiles.h"
#include "app/ConfigCheck.h"
#include "archives/EventArchives.h"
#include "document/ConfigFileSet.h"
#include "document/ConfigHistory.h"
#include "image/Decoder.h"
#include "image/Encoder.h"
#include "text/Error.h"
#include "text/Literals.h"

namespace kvort::testing {
namespace {

using namespace kvort::text::literals;
namespace fs = std::filesystem;

class CardTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        newConfig();
        detector(0, 1, 1, "ВХОД"_cp, "ЗОНА 1"_cp);
        detector(0, 2, 7, "ЩИТОВАЯ"_cp, "ЗОНА 2"_cp, "РУЧНОЙ");
        zones = ReadZoneNames(cnf());
        fs::create_directories(dir / "card");
        fs::create_directories(dir / "read");
    }
    void expectCheckPasses() {
        prompts.expectMessage("ИНФОРМАЦИЯ"_cp, CheckStartQuestion(), MsgIcon::Question,
                              MsgButtons::YesNo, MsgResult::Yes);
    }
    void expectSaveQuestion(MsgResult answer) {
        prompts.expectMessage("ИНФОРМАЦИЯ"_cp, ReadSaveQuestion(), MsgIcon::Information,
                              MsgButtons::YesNo, answer);
    }
    FileDialogOptions cnfDialog() const { return {"*.cnf|*.cnf", ".cnf", "", ""}; }

    // Writes a card for a series through the workflow and returns its bytes.
    std::string writeCard(int series, const fs::path& card) {
        prompts.expectSeries(series);
        expectCheckPasses();
        prompts.expectSaveFile(card, CardFileDialog());
        EXPECT_EQ(WriteConfigCard(*session, zones, ports), CardWriteOutcome::Written);
        return contents(card);
    }

    ZoneNames zones;
};

TEST_F(CardTest, SeriesFhWritesOnlyTheCardFile) {
    const std::string card = writeCard(0, dir / "card" / "CONFIG.BIN");
    EXPECT_EQ(card.size(), 65536u);
    EXPECT_EQ(card, contents(dir / "OBJ.bin"));
    EXPECT_NE(static_cast<unsigned char>(card[0xDFF0]), 0x49);
    EXPECT_EQ(filesIn(dir / "card"), std::vector<std::string>{"CONFIG.BIN"});
    EXPECT_EQ(view.busyCalls, (std::vector<bool>{true, false}));
}

TEST_F(CardTest, SeriesIMarksTheImageAndWritesAnEmptyArchiveBesideIt) {
    const std::string card = writeCard(1, dir / "card" / "CONFIG.BIN");
    ASSERT_EQ(card.size(), 65536u);
    EXPECT_EQ(static_cast<unsigned char>(card[0xDFF0]), 0x49);
    std::string bin = contents(dir / "OBJ.bin"); // saved by the check, before the marker
    ASSERT_EQ(bin.size(), 65536u);
    EXPECT_NE(static_cast<unsigned char>(bin[0xDFF0]), 0x49);
    bin[0xDFF0] = 0x49;
    EXPECT_EQ(card, bin);
    EXPECT_EQ(static_cast<unsigned char>(card[0xDFE9]), 0x01); // encoded for series I
    EXPECT_EQ(contents(dir / "card" / "ARHIVE.BIN"), std::string(65536, '\xFF'));
    EXPECT_EQ(std::string(session->image.bytes()), std::string(65536, '\xFF'));
}

TEST_F(CardTest, WriteEndsQuietlyWhenCancelledOrStopped) {
    // Series dialog cancelled: nothing encoded, nothing written.
    prompts.expectSeries(-1);
    EXPECT_EQ(WriteConfigCard(*session, zones, ports), CardWriteOutcome::Cancelled);
    EXPECT_FALSE(fs::exists(dir / "OBJ.bin"));
    EXPECT_EQ(session->DeviceSeries, Series::Unknown);

    // Save dialog cancelled: the check has saved NAME.bin, no card.
    prompts.expectSeries(0);
    expectCheckPasses();
    prompts.expectSaveFile(std::nullopt, CardFileDialog());
    EXPECT_EQ(WriteConfigCard(*session, zones, ports), CardWriteOutcome::Cancelled);
    EXPECT_TRUE(fs::exists(dir / "OBJ.bin"));
    EXPECT_TRUE(fs::is_empty(dir / "card"));

    // The check stops the write before the save dialog.
    detector(0, 3, 3, "ЛИШНИЙ"_cp, "НЕТ ТАКОЙ"_cp);
    session->CurrentConfigPath = cnfPath;
    prompts.expectSeries(1);
    expectCheckPasses();
    prompts.expectMessage("ПРЕДУПРЕЖДЕНИЕ"_cp,
                          "ОШИБКА КОНФИГУРАЦИИ. ПРОЦЕДУРА ЗАПИСЬ ОСТАНОВЛЕНА"_cp, MsgIcon::Error,
                          MsgButtons::Ok, MsgResult::Ok);
    EXPECT_EQ(WriteConfigCard(*session, zones, ports), CardWriteOutcome::Stopped);
    EXPECT_TRUE(fs::is_empty(dir / "card"));
    EXPECT_EQ(prompts.pending(), 0u);
    EXPECT_EQ(view.busyCalls.size() % 2, 0u);
    EXPECT_FALSE(view.busyCalls.back());
}

TEST_F(CardTest, ReadOfAnFhCardDecodesTheConfigurationAndItsArchives) {
    std::string card = writeCard(0, dir / "card" / "CONFIG.BIN");
    // Archives as a panel leaves them: one fire of detector 01-01, one fault.
    auto put = [&card](size_t at, std::initializer_list<unsigned char> bytes) {
        for (unsigned char b : bytes)
            card[at++] = static_cast<char>(b);
    };
    put(archive::kFireCounter, {0x00, 0x00});
    put(archive::kFireRing, {0x25, 0x03, 0x19, 0x14, 0x05, 0x00, 0x00, 0x00});
    put(archive::kFaultCounter, {0x00, 0x00});
    put(archive::kFaultRing, {0x01, 0x02, 0x03, 0x04, 0x05, 0x00, 90, 0x00});
    writeFile(dir / "card" / "CONFIG.BIN", card);

    session = std::make_unique<PanelSession>();
    prompts.expectOpenFile(dir / "card" / "CONFIG.BIN", CardFileDialog());
    expectSaveQuestion(MsgResult::Yes);
    prompts.expectSaveFile(dir / "read" / "NEW.cnf", cnfDialog());
    const auto cnfRead = ReadConfigCard(*session, ports);

    ASSERT_EQ(cnfRead, dir / "read" / "NEW.cnf");
    EXPECT_EQ(session->CurrentConfigPath, dir / "read" / "NEW.cnf");
    EXPECT_EQ(session->DeviceSeries, Series::FH);
    EXPECT_EQ(contents(dir / "read" / "NEW.bin"), card);
    EXPECT_EQ(view.begun, 1);
    EXPECT_EQ(view.notified, 1);
    EXPECT_EQ(view.shown, std::vector<fs::path>{dir / "read" / "NEW.cnf"});
    IniStore tb0(dir / "read" / "NEW.tb0");
    EXPECT_EQ(tb0.ReadString("И01-01"_cp, "ТЕКСТ"_cp, ""), cp("ВХОД"_cp));

    const std::string fires = contents(dir / "read" / "NEW_АрхивПожаров.txt");
    EXPECT_EQ(fires.substr(0, 14), "25.03.19 14:05");
    EXPECT_NE(fires.find("ЗОНА 1 ВХОД /D01-01 /ДЫМОВОЙ"_cp), std::string::npos) << fires;
    EXPECT_NE(contents(dir / "read" / "NEW_АрхивОтказов.txt").find("СИСТЕМНОЕ ВРЕМЯ"_cp),
              std::string::npos);
    // The event counter lies in the unused scenario records: 0xFFFF, no archive.
    EXPECT_FALSE(fs::exists(dir / "read" / "NEW_АрхивСобытий.txt"));
}

TEST_F(CardTest, ReadOfASeriesICardTakesArchivesOnlyFromTheSaveFolder) {
    writeCard(1, dir / "card" / "CONFIG.BIN");
    // A panel's archive file: one fault.
    std::string arhive(65536, '\xFF');
    arhive[archive::kFaultCounter] = 0;
    arhive[archive::kFaultCounter + 1] = 0;
    const unsigned char fault[8] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x00, 64, 0x00};
    for (int i = 0; i < 8; ++i)
        arhive[archive::kFaultRing + i] = static_cast<char>(fault[i]);
    writeFile(dir / "card" / "ARHIVE.BIN", arhive);

    auto read = [&](const fs::path& folder, bool longer = false) {
        session = std::make_unique<PanelSession>();
        prompts.expectOpenFile(dir / "card" / "CONFIG.BIN", CardFileDialog());
        expectSaveQuestion(MsgResult::Yes);
        prompts.expectSaveFile(folder / "NEW.cnf", cnfDialog());
        if (longer)
            prompts.expectMessage("ВНИМАНИЕ"_cp, CardFileLongerText(folder / "ARHIVE.BIN"),
                                  MsgIcon::Warning, MsgButtons::Ok, MsgResult::Ok);
        EXPECT_EQ(ReadConfigCard(*session, ports), folder / "NEW.cnf");
        EXPECT_EQ(session->DeviceSeries, Series::I);
    };

    // Saved elsewhere: the card's ARHIVE.BIN is not beside NEW.cnf.
    read(dir / "read");
    EXPECT_TRUE(fs::exists(dir / "read" / "NEW.tb0"));
    for (ArchiveKind k : {ArchiveKind::Fires, ArchiveKind::Faults, ArchiveKind::Events})
        EXPECT_FALSE(fs::exists(ArchiveFile(k, dir / "read" / "NEW")));

    // Saved beside the archive file: it replaces the image and is decoded.
    read(dir / "card");
    EXPECT_EQ(std::string(session->image.bytes()), arhive);
    EXPECT_NE(contents(dir / "card" / "NEW_АрхивОтказов.txt").find("КАНАЛ СВЯЗИ А1/В1"_cp),
              std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "card" / "NEW_АрхивПожаров.txt"));

    // A longer archive file is taken for its first 65536 bytes, with a warning.
    writeFile(dir / "card" / "ARHIVE.BIN", arhive + "TAIL");
    read(dir / "card", true);
    EXPECT_EQ(std::string(session->image.bytes()), arhive);
    EXPECT_EQ(prompts.pending(), 0u);
}

// The panel sends no archives of a series I image, and a card's archive file
// lying in the chosen folder is not the panel's.
TEST_F(CardTest, PanelReadTakesArchivesOnlyFromAnFhImage) {
    for (int series : {0, 1}) {
        SCOPED_TRACE(series);
        const fs::path folder = dir / ("panel" + std::to_string(series));
        fs::create_directories(folder);
        std::string image = writeCard(series, dir / "card" / "CONFIG.BIN");
        image[archive::kFaultCounter] = 0;
        image[archive::kFaultCounter + 1] = 0;
        std::string arhive(65536, '\xFF');
        arhive[archive::kFaultCounter] = 0;
        arhive[archive::kFaultCounter + 1] = 0;
        writeFile(folder / "ARHIVE.BIN", arhive);

        session = std::make_unique<PanelSession>();
        session->image = TPanelImage::fromBytes(image);
        expectSaveQuestion(MsgResult::Yes);
        prompts.expectSaveFile(folder / "NEW.cnf", cnfDialog());
        EXPECT_EQ(CompleteRead(*session, ReadSource::Panel, ports), folder / "NEW.cnf");
        EXPECT_EQ(session->DeviceSeries, SeriesFromCode(series));
        EXPECT_EQ(contents(folder / "NEW.bin"), image);
        EXPECT_EQ(fs::exists(ArchiveFile(ArchiveKind::Faults, folder / "NEW")), series == 0);
        EXPECT_EQ(std::string(session->image.bytes()), image) << "ARHIVE.BIN was not taken";
    }
}

TEST_F(CardTest, ShortArchiveFileIsAnErrorAfterTheConfigurationIsSaved) {
    writeCard(1, dir / "card" / "CONFIG.BIN");
    writeFile(dir / "card" / "ARHIVE.BIN", std::string(1000, '\0'));
    session = std::make_unique<PanelSession>();
    prompts.expectOpenFile(dir / "card" / "CONFIG.BIN", CardFileDialog());
    expectSaveQuestion(MsgResult::Yes);
    prompts.expectSaveFile(dir / "card" / "NEW.cnf", cnfDialog());
    try {
        ReadConfigCard(*session, ports);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("ARHIVE.BIN"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("1000"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(fs::exists(dir / "card" / "NEW.cnf"));
    EXPECT_TRUE(fs::exists(dir / "card" / "NEW.bin"));
}

TEST_F(CardTest, TooShortCardIsRefusedBeforeAnythingChanges) {
    writeFile(dir / "card" / "CONFIG.BIN", std::string(65535, '\x11'));
    session->image.setByte(0x1234, 0x56);
    const auto before = filesIn(dir);
    prompts.expectOpenFile(dir / "card" / "CONFIG.BIN", CardFileDialog());
    try {
        ReadConfigCard(*session, ports);
        FAIL() << "no error";
    } catch (const FileError& e) {
        const std::string what = e.what();
        EXPECT_NE(what.find("CONFIG.BIN"), std::string::npos) << what;
        EXPECT_NE(what.find("65535"), std::string::npos) << what;
    }
    EXPECT_EQ(filesIn(dir), before);
    EXPECT_EQ(filesIn(dir / "card"), std::vector<std::string>{"CONFIG.BIN"});
    EXPECT_EQ(session->image.byte(0x1234), 0x56);
    EXPECT_EQ(view.begun, 0);
    EXPECT_EQ(view.notified, 0);
}

// A card file longer than an image: the person is told, and its first
// 65536 bytes are read as they always were.
TEST_F(CardTest, LongerCardIsReadWithAWarning) {
    const std::string card = writeCard(0, dir / "card" / "CONFIG.BIN");
    writeFile(dir / "card" / "CONFIG.BIN", card + std::string(100, '\x49'));
    session = std::make_unique<PanelSession>();
    prompts.expectOpenFile(dir / "card" / "CONFIG.BIN", CardFileDialog());
    prompts.expectMessage("ВНИМАНИЕ"_cp, CardFileLongerText(dir / "card" / "CONFIG.BIN"),
                          MsgIcon::Warning, MsgButtons::Ok, MsgResult::Ok);
    expectSaveQuestion(MsgResult::Yes);
    prompts.expectSaveFile(dir / "read" / "NEW.cnf", cnfDialog());
    ASSERT_EQ(ReadConfigCard(*session, ports), dir / "read" / "NEW.cnf");
    EXPECT_EQ(contents(dir / "read" / "NEW.bin"), card);
    EXPECT_EQ(session->DeviceSeries, Series::FH);
}

TEST_F(CardTest, ReadNotSavedWritesNothing) {
    const std::string card = writeCard(0, dir / "card" / "CONFIG.BIN");
    // Open dialog cancelled: no sound, no question.
    prompts.expectOpenFile(std::nullopt, CardFileDialog());
    EXPECT_EQ(ReadConfigCard(*session, ports), std::nullopt);
    EXPECT_EQ(view.notified, 0);

    // Answer No, and save dialog cancelled.
    for (bool answerNo : {true, false}) {
        prompts.expectOpenFile(dir / "card" / "CONFIG.BIN", CardFileDialog());
        expectSaveQuestion(answerNo ? MsgResult::No : MsgResult::Yes);
        if (!answerNo)
            prompts.expectSaveFile(std::nullopt, cnfDialog());
        EXPECT_EQ(ReadConfigCard(*session, ports), std::nullopt);
        EXPECT_EQ(std::string(session->image.bytes()), card); // stays in memory
    }
    EXPECT_EQ(view.notSaved, 2);
    EXPECT_TRUE(view.shown.empty());
    EXPECT_TRUE(fs::is_empty(dir / "read"));
    EXPECT_EQ(prompts.pending(), 0u);
}

// A read saved over an existing set is one step: a single history entry
// keeps the old files, the detector file of a slot the card has not and the
// working copy of an earlier opening, and the image as it was read.
TEST_F(CardTest, ReadOverAnExistingSetKeepsItAndMovesStrayDetectorFiles) {
    const std::string card = writeCard(0, dir / "card" / "CONFIG.BIN");
    const ConfigFileSet target(dir / "read" / "OBJ.cnf");
    resetStores();
    fs::copy_file(cnfPath, target.cnf());
    writeFile(target.tb(0), "old detectors");
    writeFile(target.tb(3), "stray detectors");
    writeFile(target.workCnf(), "working copy");
    const auto before = test::FilesIn(dir / "read");

    session = std::make_unique<PanelSession>();
    prompts.expectOpenFile(dir / "card" / "CONFIG.BIN", CardFileDialog());
    expectSaveQuestion(MsgResult::Yes);
    prompts.expectSaveFile(target.cnf(), cnfDialog());
    EXPECT_EQ(ReadConfigCard(*session, ports), target.cnf());

    EXPECT_FALSE(fs::exists(target.tb(3)));
    EXPECT_FALSE(fs::exists(target.workCnf()));
    EXPECT_EQ(contents(target.bin()), card);
    const std::vector<HistoryEntry> entries = listHistory(target);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].reason, "read-card");
    const auto kept = test::FilesIn(entries[0].folder);
    for (const auto& [name, bytes] : before)
        EXPECT_EQ(kept.at(name), bytes) << name;
    ASSERT_TRUE(entries[0].image);
    EXPECT_EQ(entries[0].image->direction, ImageDirection::Read);
    EXPECT_EQ(entries[0].image->medium, ImageMedium::Card);
    EXPECT_EQ(entries[0].image->series, ImageSeries::FH);
    EXPECT_EQ(kept.at(entries[0].image->file), card);
}

// A card of a panel whose memory was cleared: the decoder refuses it before
// any file of the chosen set changes, and says what is wrong and where.
TEST_F(CardTest, ARefusedImageLeavesTheSetAsItWas) {
    writeFile(dir / "card" / "CONFIG.BIN", std::string(65536, '\0'));
    resetStores();
    const auto before = test::FilesIn(dir);
    prompts.expectOpenFile(dir / "card" / "CONFIG.BIN", CardFileDialog());
    expectSaveQuestion(MsgResult::Yes);
    prompts.expectSaveFile(cnfPath, cnfDialog());
    try {
        ReadConfigCard(*session, ports);
        FAIL() << "no error";
    } catch (const ImageError& e) {
        EXPECT_NE(std::string(e.what()).find("по смещению 0x"), std::string::npos) << e.what();
    }
    EXPECT_EQ(test::FilesIn(dir), before);
    EXPECT_FALSE(fs::exists(dir / "OBJ.history"));
}

} // namespace
} // namespace kvort::testing
