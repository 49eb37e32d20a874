// Creating, opening, saving, discarding and closing through the window,
// judged by the files they leave.
#include "GuiFixture.h"

#include "document/ConfigFileSet.h"
#include "gui/widgets/DropDownList.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

namespace fs = std::filesystem;

namespace kvort::gui::test {

namespace {
const char* kSaveQuestion = "СОХРАНИТЬ ИЗМЕНЕНИЯ В КОНФИГУРАЦИИ? ";

// A configuration as an older tool left it: ППКП in slot 1 with its
// detector file, and one fire-extinguishing direction.
const char* kOpened = R"([СИСТЕМА]
НАИМЕНОВАНИЕ=КВОРТ
[СОСТАВ]
0=ПУ-П
1=ППКП
[ПРИБОРЫ]
ПУ-П=-8
ППКП1=-8
[ЗОНА]
1=СКЛАД
2=ОФИС
[НАПРАВЛЕНИЕ 2]
ЗОНА=СКЛАД
РЕЛЕ 1=ПУСК 1
РЕЛЕ 2=ПУСК 2
РЕЛЕ 3=СТОП
РЕЛЕ 4=АВТ.ОТКЛ.
РЕЛЕ 5=БЛОКИРОВКА
БДУ4=42/01
[НАПРАВЛЕНИЕ 3]
)";
} // namespace

TEST_F(GuiTest, NewConfigurationWritesTheFileSetAndEnablesTheWindow) {
    // Another extension is replaced; an existing NAME.cnf is overwritten
    // once the person has agreed.
    writeText(m_dir / "ОБЪЕКТ.cnf", "[СТАРОЕ]\nКЛЮЧ=1\n");
    m_prompts.expectSaveFile(m_dir / "ОБЪЕКТ.txt", newConfigDialog());
    m_prompts.expectMessageCaption(cp("ИНФОРМАЦИЯ"), MsgResult::Yes);
    action("newConfigAction")->trigger();
    const fs::path cnf = m_dir / "ОБЪЕКТ.cnf";
    EXPECT_EQ(cnf, m_dir / "ОБЪЕКТ.cnf");
    EXPECT_FALSE(key(cnf, "СТАРОЕ", "КЛЮЧ"));
    for (int z : {1, 17, 256}) {
        EXPECT_EQ(key(cnf, "ЗОНА", std::to_string(z)), "ЗОНА " + std::to_string(z));
        EXPECT_EQ(key(cnf, "ПЛАН ЗОНЫ", std::to_string(z)), "");
        EXPECT_EQ(cell("zoneGrid", z - 1, 1), QString::fromStdString("ЗОНА " + std::to_string(z)));
    }
    EXPECT_EQ(key(cnf, "СОСТАВ", "0"), "ПУ-П");
    EXPECT_EQ(key(cnf, "ПРИБОРЫ", "ПУ-П"), "-8");
    EXPECT_EQ(key(cnf, "СИСТЕМА", "ВЕРСИЯ"), "V6.10");
    EXPECT_EQ(key(cnf, "АДРЕС ПУ-П", "АДРЕС"), "-1");
    ASSERT_TRUE(fs::exists(m_dir / "ОБЪЕКТ.tb0"));
    EXPECT_EQ(fs::file_size(m_dir / "ОБЪЕКТ.tb0"), 0u);
    EXPECT_FALSE(fs::exists(m_dir / "ОБЪЕКТ.~cnf"));
    EXPECT_TRUE(m_window->session().modified());

    EXPECT_TRUE(m_window->findChild<QTabWidget*>("tabs")->isVisible());
    EXPECT_EQ(m_window->findChild<QTabWidget*>("tabs")->currentIndex(), 0);
    EXPECT_TRUE(m_window->findChild<QWidget*>("zonePanel")->isVisible());
    EXPECT_EQ(grid("detectorGrid")->rowCount(), 512);
    EXPECT_EQ(cell("detectorGrid", 0, 0), q("И01-01"));
    for (const char* name : {"fileOpenAction", "newConfigAction", "readConfigAction",
                             "printConfigAction", "writeConfigAction", "writeConfigCardAction"})
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    EXPECT_FALSE(action("fileJsonAction")->isEnabled());
    // The status bar names the configuration being edited.
    EXPECT_EQ(label("sourcePanel")->text(), q("  ИСТОЧНИК:  ОБЪЕКТ"));
    EXPECT_TRUE(slotList(1)->isEnabled());
    EXPECT_FALSE(slotList(2)->isEnabled());
}

TEST_F(GuiTest, CancelledNewConfigurationLeavesTheStartState) {
    m_prompts.expectSaveFile(std::nullopt, newConfigDialog());
    action("newConfigAction")->trigger();
    EXPECT_FALSE(m_window->findChild<QTabWidget*>("tabs")->isVisible());
    EXPECT_TRUE(action("fileOpenAction")->isEnabled());
    EXPECT_TRUE(action("newConfigAction")->isEnabled());
    for (const char* name : {"readConfigAction", "printConfigAction", "writeConfigAction",
                             "writeConfigCardAction", "fileJsonAction"})
        EXPECT_FALSE(action(name)->isEnabled()) << name;
    EXPECT_TRUE(fs::is_empty(m_dir));
}

TEST_F(GuiTest, UnwritableNewConfigurationIsReportedAndOpensNothing) {
    m_prompts.expectSaveFile(m_dir / "НЕТ-ТАКОЙ-ПАПКИ" / "ОБЪЕКТ", newConfigDialog());
    m_prompts.expectMessageCaption(cp("ОШИБКА"));
    action("newConfigAction")->trigger();
    EXPECT_NE(lastText(m_prompts).find("ОБЪЕКТ.cnf"), std::string::npos);
    EXPECT_FALSE(m_window->findChild<QTabWidget*>("tabs")->isVisible());
    EXPECT_TRUE(action("newConfigAction")->isEnabled());
    EXPECT_FALSE(action("writeConfigAction")->isEnabled());
    EXPECT_TRUE(m_window->session().currentPath().empty());
}

TEST_F(GuiTest, OpeningMakesWorkingCopiesOfTheFilesThatExist) {
    const fs::path cnf = writeCnf("ОБЪЕКТ", kOpened);
    writeText(m_dir / "ОБЪЕКТ.tb3", "[И31-01]\nТЕКСТ=А\n");
    writeText(m_dir / "ОБЪЕКТ.tb5", "[И51-01]\nТЕКСТ=Б\n");
    open(cnf);
    EXPECT_EQ(fileBytes(m_dir / "ОБЪЕКТ.~cnf"), fileBytes(cnf));
    EXPECT_TRUE(fs::exists(m_dir / "ОБЪЕКТ.~tb3"));
    EXPECT_TRUE(fs::exists(m_dir / "ОБЪЕКТ.~tb5"));
    for (int n : {0, 1, 2, 4, 6, 7, 8})
        EXPECT_FALSE(fs::exists(m_dir / ("ОБЪЕКТ.~tb" + std::to_string(n)))) << n;
    EXPECT_EQ(label("sourcePanel")->text(), q("  ИСТОЧНИК:  ОБЪЕКТ"));
    EXPECT_FALSE(m_window->session().modified());
    EXPECT_TRUE(action("fileJsonAction")->isEnabled());
    EXPECT_EQ(fs::current_path(), m_dir);
    // The opened file's content reaches the window.
    EXPECT_EQ(slotList(1)->currentText(), q("ППКП"));
    EXPECT_TRUE(slotList(2)->isEnabled());
    EXPECT_EQ(cell("zoneGrid", 1, 1), q("ОФИС"));
    EXPECT_EQ(cell("zoneGrid", 2, 1), QString());
    EXPECT_TRUE(label("extinguishing2Label")->isVisible());
    EXPECT_FALSE(label("extinguishing3Label")->isVisible());
}

TEST_F(GuiTest, OpenPromptOnlyAfterAnOpeningWithEdits) {
    // After a new configuration in a fresh run the dialog comes at once.
    createNew();
    pick(1, 1);
    ASSERT_TRUE(m_window->session().modified());
    const fs::path other = writeCnf("ДРУГОЙ", kOpened);
    open(other);
    EXPECT_FALSE(m_window->session().modified());

    // Opened, not edited: no question either.
    open(other);

    // Opened and edited: the question comes, and No restores the files.
    const std::string before = fileBytes(other);
    pick(1, 2);
    EXPECT_NE(fileBytes(other), before);
    m_prompts.expectMessage(cp("ИНФОРМАЦИЯ"), cp(kSaveQuestion), MsgButtons::YesNo, MsgResult::No);
    m_prompts.expectOpenFile(std::nullopt, cnfDialog());
    action("fileOpenAction")->trigger();
    EXPECT_EQ(fileBytes(other), before);
    // Cancelling the dialog afterwards undoes nothing, and the flag stays cleared.
    EXPECT_FALSE(m_window->session().modified());
}

struct CloseRow {
    const char* name;
    MsgResult answer;
};

class CloseTest : public GuiTest, public ::testing::WithParamInterface<CloseRow> {};

TEST_P(CloseTest, AnswerAtClosingHasItsFileEffects) {
    const fs::path cnf = writeCnf("ОБЪЕКТ", kOpened);
    writeText(m_dir / "ОБЪЕКТ.tb1", "[И11-01]\nТЕКСТ=КОРИДОР\n");
    // Left from an earlier run, with no NAME.tb6 at this opening.
    writeText(m_dir / "ОБЪЕКТ.~tb6", "[И61-01]\nТЕКСТ=СТАРОЕ\n");
    const std::string original = fileBytes(cnf);
    open(cnf);

    pick(1, 2);             // БРИТ in slot 1
    pickText(2, q("ППКП")); // a new NAME.tb2
    ASSERT_TRUE(fs::exists(m_dir / "ОБЪЕКТ.tb2"));
    grid("zoneGrid")->item(0, 1)->setText(q("СКЛАД ГСМ"));

    m_prompts.expectMessage(cp("ИНФОРМАЦИЯ"), cp(kSaveQuestion), MsgButtons::YesNoCancel,
                            GetParam().answer);
    const bool closed = m_window->close();
    switch (GetParam().answer) {
    case MsgResult::Cancel:
        EXPECT_FALSE(closed);
        EXPECT_TRUE(m_window->isVisible());
        EXPECT_TRUE(m_window->session().modified());
        EXPECT_EQ(key(cnf, "СОСТАВ", "1"), "БРИТ");
        EXPECT_EQ(key(cnf, "ЗОНА", "1"), "СКЛАД");
        EXPECT_FALSE(fs::exists(m_dir / "ОБЪЕКТ.tb6"));
        break;
    case MsgResult::No:
        EXPECT_TRUE(closed);
        EXPECT_EQ(fileBytes(cnf), original);
        EXPECT_TRUE(fs::exists(m_dir / "ОБЪЕКТ.tb2")); // created since opening: stays
        EXPECT_EQ(fileBytes(m_dir / "ОБЪЕКТ.tb6"), fileBytes(m_dir / "ОБЪЕКТ.~tb6"));
        break;
    default:
        EXPECT_TRUE(closed);
        EXPECT_EQ(fileBytes(m_dir / "ОБЪЕКТ.~cnf"), original);
        EXPECT_EQ(key(cnf, "ЗОНА", "1"), "СКЛАД ГСМ");
        EXPECT_EQ(key(cnf, "ЗОНА", "3"), "");
        EXPECT_EQ(key(cnf, "СОСТАВ", "1"), "БРИТ");
        // The direction goes back as the editor held it: БРИТ from БДУ4,
        // no scenario key; an empty direction stays without keys.
        EXPECT_EQ(key(cnf, "НАПРАВЛЕНИЕ 2", "ЗОНА"), "СКЛАД");
        EXPECT_EQ(key(cnf, "НАПРАВЛЕНИЕ 2", "РЕЛЕ 3"), "СТОП");
        EXPECT_EQ(key(cnf, "НАПРАВЛЕНИЕ 2", "БРИТ"), "42/01");
        EXPECT_FALSE(key(cnf, "НАПРАВЛЕНИЕ 2", "СЦЕН."));
        EXPECT_FALSE(IniStore(cnf).SectionExists(cp("НАПРАВЛЕНИЕ 3")));
        EXPECT_FALSE(fs::exists(m_dir / "ОБЪЕКТ.tb6"));
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, CloseTest,
                         ::testing::Values(CloseRow{"Yes", MsgResult::Yes},
                                           CloseRow{"No", MsgResult::No},
                                           CloseRow{"Cancel", MsgResult::Cancel}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GuiTest, ClosingWithoutEditsAsksNothing) {
    open(writeCnf("ОБЪЕКТ", kOpened));
    EXPECT_TRUE(m_window->close());
}

TEST_F(GuiTest, NoAtClosingAfterANewConfigurationChangesNoFile) {
    const fs::path cnf = createNew();
    const std::string made = fileBytes(cnf);
    m_prompts.expectMessage(cp("ИНФОРМАЦИЯ"), cp(kSaveQuestion), MsgButtons::YesNoCancel,
                            MsgResult::No);
    EXPECT_TRUE(m_window->close());
    EXPECT_EQ(fileBytes(cnf), made);
}

TEST_F(GuiTest, NewConfigurationDoesNotTakeOverTheDirectionsOfTheLastOne) {
    open(writeCnf("СТАРЫЙ", kOpened));
    const fs::path cnf = createNew("НОВЫЙ");
    m_prompts.expectMessage(cp("ИНФОРМАЦИЯ"), cp(kSaveQuestion), MsgButtons::YesNoCancel,
                            MsgResult::Yes);
    EXPECT_TRUE(m_window->close());
    EXPECT_FALSE(IniStore(cnf).SectionExists(cp("НАПРАВЛЕНИЕ 2")));
    EXPECT_EQ(key(cnf, "ЗОНА", "1"), "ЗОНА 1");
}

TEST_F(GuiTest, SwitchingToExtinguishingWritesZoneNamesOnce) {
    const fs::path cnf = writeCnf("ОБЪЕКТ", kOpened);
    open(cnf);
    auto* tabs = m_window->findChild<QTabWidget*>("tabs");
    auto clickTab = [&](int index) {
        QTabBar* bar = tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        ASSERT_EQ(tabs->currentIndex(), index);
    };
    grid("zoneGrid")->item(1, 1)->setText(q("АРХИВ"));

    // Not modified: nothing is written.
    clickTab(2);
    EXPECT_EQ(key(cnf, "ЗОНА", "2"), "ОФИС");
    EXPECT_EQ(label("statusPanel")->text(), q("ТОЛЬКО ДЛЯ ПРИБОРОВ ПУ-ПТ ИЛИ ПУ-П С ПРОШИВКОЙ ПТ"));
    clickTab(0);
    EXPECT_TRUE(label("statusPanel")->text().isEmpty());

    pick(1, 1);
    ASSERT_TRUE(m_window->session().modified());
    clickTab(2);
    EXPECT_EQ(key(cnf, "ЗОНА", "2"), "АРХИВ");
    EXPECT_FALSE(m_window->session().modified());
    // The direction list on the tab was loaded after the write.
    auto shown = [&](const char* list) {
        return m_window->findChild<DropDownList*>(QLatin1String(list))->text();
    };
    EXPECT_EQ(shown("direction2ZoneCombo"), q("СКЛАД"));
    EXPECT_EQ(shown("direction2SlotCombo"), q("4"));
    EXPECT_EQ(shown("direction2LineCombo"), q("2"));
    clickTab(1);
    EXPECT_TRUE(label("statusPanel")->text().isEmpty());
}

} // namespace kvort::gui::test

namespace kvort::gui::test {

TEST_F(GuiTest, OpeningAFileThatIsNotThereCreatesNothing) {
    const fs::path missing = m_dir / "НЕТ ТАКОГО.cnf";
    m_prompts.expectMessageCaption(cp("ОШИБКА"));
    m_window->FileOpen1Accept(missing); // as for a name given on the command line
    EXPECT_NE(lastText(m_prompts).find("НЕТ ТАКОГО.cnf"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(m_dir));
    EXPECT_FALSE(m_window->findChild<QTabWidget*>("tabs")->isVisible());
    EXPECT_TRUE(label("sourcePanel")->text().isEmpty());
    EXPECT_FALSE(action("writeConfigAction")->isEnabled());
}

} // namespace kvort::gui::test

namespace kvort::gui::test {

TEST_F(GuiTest, AConfigurationNamedRelativelyKeepsItsFilesWhenTheFolderChanges) {
    // As given on the command line; a later file dialog (a card, a JSON
    // file) makes another folder the working directory.
    const fs::path cnf = writeCnf("ОБЪЕКТ", kOpened);
    const fs::path elsewhere = m_dir / "КАРТА";
    fs::create_directories(elsewhere / fs::path(m_dir).filename());
    fs::current_path(m_dir.parent_path());
    m_window->FileOpen1Accept(m_dir.filename() / "ОБЪЕКТ.cnf");
    EXPECT_TRUE(m_window->session().currentPath().is_absolute());
    fs::current_path(elsewhere);

    pick(1, 2); // БРИТ in slot 1, shown from NAME.tb1
    EXPECT_EQ(key(cnf, "СОСТАВ", "1"), "БРИТ");
    EXPECT_TRUE(fs::exists(m_dir / "ОБЪЕКТ.tb1"));
    EXPECT_TRUE(fs::is_empty(elsewhere / fs::path(m_dir).filename()));
}

} // namespace kvort::gui::test
