// The card actions of the window: a card read that is kept opens the read
// configuration, one that is not leaves the window without one, a short
// card file changes nothing; a card write encodes the names the person sees.
#include "GuiFixture.h"

#include "app/CardFiles.h"
#include "document/ConfigFileSet.h"
#include "document/ConfigHistory.h"

#include "document/Config.h"
#include "image/Encoder.h"
#include "text/Cp1251.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QTabWidget>
#include <QTableWidget>
#include <functional>

namespace fs = std::filesystem;

namespace kvort::gui::test {

namespace {

const char* kKeepQuestion = "ЧТЕНИЕ КОНФИГУРАЦИИ ЗАКОНЧЕНО. СОХРАНИТЬ?";

// Copies a sample configuration set into dir; returns its .cnf.
fs::path copySample(const std::string& name, const fs::path& dir) {
    const fs::path from = fs::path(KVORT_EXAMPLES_DIR) / name;
    for (const auto& entry : fs::directory_iterator(from))
        fs::copy_file(entry.path(), dir / entry.path().filename(),
                      fs::copy_options::overwrite_existing);
    return dir / (name + ".cnf");
}

} // namespace

class CardTest : public GuiTest {
  protected:
    // A card image of the full sample, encoded from a copy of it.
    fs::path makeCard() {
        fs::create_directories(m_dir / "src");
        const fs::path cnf = copySample("full", m_dir / "src");
        TPanelImage image;
        BuildPanelImage(image, cnf, ReadZoneNames(IniStore(cnf)));
        IniStore store(cnf);
        EncodeOutputTexts(image, store, Series::FH);
        EncodeLinkedOutputs(image, store, Series::FH);
        EXPECT_TRUE(EncodeScenarios(image, store, Series::FH));
        const fs::path card = m_dir / "CONFIG.BIN";
        writeFile(card, image.bytes());
        return card;
    }
    bool tabsVisible() const { return m_window->findChild<QTabWidget*>("tabs")->isVisible(); }
};

TEST_F(CardTest, AKeptCardReadOpensTheReadConfiguration) {
    const fs::path card = makeCard();
    // Working copies an earlier opening of this NAME left behind.
    writeText(m_dir / "ПРОЧИТАНО.~cnf", "[ЗОНА]\n1=СТАРОЕ\n");
    writeText(m_dir / "ПРОЧИТАНО.~tb1", "[И11-01]\nТЕКСТ=СТАРОЕ\n");
    m_prompts.expectOpenFile(card, CardFileDialog());
    m_prompts.expectMessage(cp("ИНФОРМАЦИЯ"), cp(kKeepQuestion), MsgButtons::YesNo, MsgResult::Yes);
    m_prompts.expectSaveFile(m_dir / "ПРОЧИТАНО", cnfDialog());
    action("readConfigCardAction")->trigger();

    const fs::path cnf = m_dir / "ПРОЧИТАНО.cnf";
    ASSERT_TRUE(fs::exists(cnf));
    EXPECT_TRUE(fs::exists(m_dir / "ПРОЧИТАНО.bin"));
    EXPECT_TRUE(tabsVisible());
    EXPECT_EQ(label("sourcePanel")->text(), q("  ИСТОЧНИК:  ПРОЧИТАНО"));
    EXPECT_EQ(slotList(6)->currentText(), q("БРИТ"));
    EXPECT_EQ(slotList(7)->currentText(), q("ПИУ"));
    const ZoneNames source = ReadZoneNames(IniStore(m_dir / "src" / "full.cnf"));
    EXPECT_EQ(m_window->session().zoneNames(), source);
    // The decoder filled the bar; the read has ended, so it is gone.
    EXPECT_TRUE(m_window->findChild<QProgressBar*>("progressBar")->isHidden());
    for (const char* name : {"fileOpenAction", "newConfigAction", "readConfigAction",
                             "printConfigAction", "writeConfigAction", "writeConfigCardAction",
                             "readConfigPanelAction", "readConfigCardAction"})
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    EXPECT_FALSE(action("fileJsonAction")->isEnabled());

    // The old copies went into the history with the read; none were made,
    // so No at closing changes no file.
    EXPECT_FALSE(fs::exists(m_dir / "ПРОЧИТАНО.~cnf"));
    EXPECT_FALSE(fs::exists(m_dir / "ПРОЧИТАНО.~tb1"));
    const std::vector<HistoryEntry> history = listHistory(ConfigFileSet(cnf));
    ASSERT_FALSE(history.empty());
    EXPECT_EQ(history.back().reason, reason::kReadCard);
    EXPECT_TRUE(fs::exists(history.back().folder / "ПРОЧИТАНО.~cnf"));
    EXPECT_TRUE(fs::exists(history.back().folder / "ПРОЧИТАНО.~tb1"));
    pick(1, 0);
    const std::string edited = fileBytes(cnf);
    m_prompts.expectMessage(cp("ИНФОРМАЦИЯ"), cp("СОХРАНИТЬ ИЗМЕНЕНИЯ В КОНФИГУРАЦИИ? "),
                            MsgButtons::YesNoCancel, MsgResult::No);
    EXPECT_TRUE(m_window->close());
    EXPECT_EQ(fileBytes(cnf), edited);
}

TEST_F(CardTest, ACardReadNotKeptLeavesOnlyOpeningAndCreating) {
    const fs::path card = makeCard();
    m_prompts.expectOpenFile(card, CardFileDialog());
    m_prompts.expectMessage(cp("ИНФОРМАЦИЯ"), cp(kKeepQuestion), MsgButtons::YesNo, MsgResult::No);
    action("readConfigCardAction")->trigger();
    EXPECT_FALSE(tabsVisible());
    for (const char* name : {"fileOpenAction", "newConfigAction", "readConfigAction",
                             "fileJsonAction", "readConfigPanelAction", "readConfigCardAction"})
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    for (const char* name : {"printConfigAction", "writeConfigAction", "writeConfigCardAction"})
        EXPECT_FALSE(action(name)->isEnabled()) << name;
}

TEST_F(CardTest, OpeningOrCreatingAfterAReadNotKeptMakesReadingPossibleAgain) {
    const fs::path card = makeCard();
    const fs::path sample = copySample("small", m_dir);
    const std::vector<std::pair<const char*, std::function<void()>>> rows = {
        {"opened", [&] { open(sample); }},
        {"created", [&] { createNew(); }},
    };
    for (const auto& [how, bringBack] : rows) {
        m_prompts.expectOpenFile(card, CardFileDialog());
        m_prompts.expectMessage(cp("ИНФОРМАЦИЯ"), cp(kKeepQuestion), MsgButtons::YesNo,
                                MsgResult::No);
        action("readConfigCardAction")->trigger();
        ASSERT_FALSE(tabsVisible()) << how;
        bringBack();
        EXPECT_TRUE(action("readConfigPanelAction")->isEnabled()) << how;
        EXPECT_TRUE(action("readConfigCardAction")->isEnabled()) << how;
        // And the read itself runs again.
        m_prompts.expectOpenFile(std::nullopt, CardFileDialog());
        action("readConfigCardAction")->trigger();
        EXPECT_TRUE(m_prompts.allAnswered()) << how;
    }
}

TEST_F(CardTest, AShortCardFileIsRefusedAndChangesNothing) {
    const fs::path cnf = createNew();
    const fs::path card = m_dir / "SHORT.BIN";
    writeFile(card, std::string(1000, '\xFF'));
    m_prompts.expectOpenFile(card, CardFileDialog());
    m_prompts.expectMessageCaption(cp("ОШИБКА"));
    action("readConfigCardAction")->trigger();
    EXPECT_NE(lastText(m_prompts).find("SHORT.BIN"), std::string::npos);
    EXPECT_TRUE(tabsVisible());
    EXPECT_TRUE(action("writeConfigAction")->isEnabled());
    EXPECT_TRUE(action("readConfigCardAction")->isEnabled());
    EXPECT_EQ(m_window->session().currentPath().parent_path(), cnf.parent_path());
}

TEST_F(CardTest, ACardWriteEncodesTheZoneNamesOfTheGrid) {
    const fs::path cnf = copySample("small", m_dir);
    open(cnf);
    // A name typed but not yet saved reaches the panel.
    grid("zoneGrid")->item(0, 1)->setText(q("НОВАЯ ЗОНА"));
    m_prompts.expectSeries(0);
    m_prompts.expectMessage(cp("ИНФОРМАЦИЯ"), cp("ЗАПУСТИТЬ ПРОЦЕДУРУ ПРОВЕРКИ КОНФИГУРАЦИИ? "),
                            MsgButtons::YesNo, MsgResult::No);
    m_prompts.expectSaveFile(m_dir / "CONFIG.BIN", CardFileDialog());
    action("writeConfigCardAction")->trigger();
    ASSERT_TRUE(fs::exists(m_dir / "CONFIG.BIN"));
    const std::string image = fileBytes(m_dir / "CONFIG.BIN");
    EXPECT_EQ(image.size(), 65536u);
    EXPECT_NE(image.find(text::fromUtf8("НОВАЯ ЗОНА")), std::string::npos);
    EXPECT_FALSE(fs::exists(m_dir / "ARHIVE.BIN")); // series F/H
    // The name went to the panel, not into the file.
    EXPECT_NE(key(cnf, "ЗОНА", "1"), "НОВАЯ ЗОНА");
}

TEST_F(CardTest, CancellingTheSeriesWritesNothing) {
    open(copySample("small", m_dir));
    m_prompts.expectSeries(-1);
    action("writeConfigCardAction")->trigger();
    EXPECT_FALSE(fs::exists(m_dir / "CONFIG.BIN"));
    EXPECT_FALSE(fs::exists(m_dir / "small.bin"));
}

} // namespace kvort::gui::test
