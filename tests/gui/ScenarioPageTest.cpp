// The relay scenario tab on a session of its own, on a copy of the full
// sample: the list, the editor's mode and device rules, saving and
// deleting, the output descriptions edited from a step.
#include "GuiFixture.h"
#include "TempDir.h"

#include "app/ConfigSession.h"
#include "app/Ports.h"
#include "document/Config.h"
#include "gui/pages/AlarmPage.h"
#include "gui/pages/ScenarioPage.h"
#include "gui/widgets/DropDownList.h"
#include "image/Encoder.h"
#include "image/PanelImage.h"
#include "text/Cp1251.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

namespace kvort::gui::test {
namespace {

namespace fs = std::filesystem;

class ScenarioPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        cnf = kvort::test::CopySample("full", tmp.path());
        session.open(cnf);
        page.shown();
    }
    void TearDown() override { EXPECT_TRUE(prompts.allAnswered()); }

    template <typename T = DropDownList> T* child(const QString& name) {
        T* w = page.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    DropDownList* list(const char* name) { return child(QString::fromLatin1(name)); }
    DropDownList* step(int k, const char* what) {
        return child(QStringLiteral("step%1%2Combo").arg(k).arg(QLatin1String(what)));
    }
    QSpinBox* delay(int k) { return child<QSpinBox>(QStringLiteral("step%1DelaySpin").arg(k)); }
    QWidget* editor() { return child<QWidget>(QStringLiteral("scenarioEditor")); }
    // What the drop-down does when the person clicks an item.
    void choose(DropDownList* l, const char* utf8) {
        ASSERT_TRUE(l->isEnabled());
        const int index = l->findText(q(utf8), Qt::MatchExactly);
        ASSERT_GE(index, 0) << utf8;
        l->setCurrentIndex(index);
        emit l->activated(index);
    }
    void click(const char* name) { child<QPushButton>(QString::fromLatin1(name))->click(); }
    QString cellText(int scenario, int column) {
        auto* view = child<QTableView>(QStringLiteral("scenarioList"));
        return view->model()->index(scenario - 1, column).data().toString();
    }
    // A key of NAME.cnf (UTF-8), nullopt when missing.
    std::optional<std::string> value(const std::string& section, const std::string& key) {
        const IniStore file(cnf);
        if (!file.KeyExists(cp(section), cp(key)))
            return std::nullopt;
        return kvort::text::toUtf8(file.ReadString(cp(section), cp(key), ""));
    }
    // Types text as key presses (QTest's key clicks take ASCII only).
    static void type(QWidget* w, const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &release);
        }
    }
    // Steps shown: the rows whose number list is visible.
    int shownSteps() {
        int n = 0;
        while (n < kStepCount && !step(n + 1, "Number")->isHidden())
            ++n;
        return n;
    }

    kvort::test::TempDir tmp;
    fs::path cnf;
    ConfigSession session;
    ScriptedPrompts prompts;
    NullProgress progress;
    PageContext context{session, prompts, progress};
    ScenarioPage page{context, nullptr};
};

TEST_F(ScenarioPageTest, ListsEveryScenarioAndOpensThemWithTheirVersionNote) {
    auto* view = child<QTableView>(QStringLiteral("scenarioList"));
    ASSERT_EQ(view->model()->rowCount(), 128);
    EXPECT_EQ(view->model()->headerData(0, Qt::Horizontal).toString(), q(" НОМЕР"));
    EXPECT_EQ(cellText(96, 0), q("96"));
    EXPECT_EQ(cellText(97, 0), q("097"));
    EXPECT_EQ(cellText(2, 1), q("ОТКАЗ В ЗОНЕ"));
    EXPECT_EQ(cellText(2, 2).toStdString(), kvort::text::toUtf8(ZoneName(IniStore(cnf), 15)));
    EXPECT_EQ(cellText(3, 3), q("ПРИМЕЧАНИЕ СЦЕН 003"));

    EXPECT_TRUE(editor()->isHidden());
    page.openScenario(97);
    EXPECT_FALSE(editor()->isHidden());
    EXPECT_EQ(static_cast<QGroupBox*>(editor())->title(), q("Сценарий 097"));
    EXPECT_FALSE(child<QLabel>(QStringLiteral("versionNote"))->isHidden());
    EXPECT_EQ(list("modeCombo")->text(), q("ТУШЕНИЕ"));
    EXPECT_EQ(list("zoneCombo")->currentIndex(), 179);
    EXPECT_EQ(shownSteps(), 8);
    EXPECT_EQ(step(4, "Device")->text(), q("ВНЕШН"));
    EXPECT_EQ(step(4, "Number")->text(), q("101"));
    EXPECT_EQ(delay(3)->value(), 255); // 388 in the file: clamped
    page.openScenario(96);
    EXPECT_TRUE(child<QLabel>(QStringLiteral("versionNote"))->isHidden());
    EXPECT_EQ(static_cast<QGroupBox*>(editor())->title(), q("Сценарий 96"));
}

TEST_F(ScenarioPageTest, GroupThreeIsStoredAs64AndReadBack) {
    page.openScenario(5);
    choose(list("modeCombo"), "ПОЖ.В ГРУППЕ");
    EXPECT_EQ(child<QLabel>(QStringLiteral("zoneLabel"))->text(), q("Группа:"));
    EXPECT_EQ(list("zoneCombo")->count(), 8);
    choose(list("zoneCombo"), "3");
    click("saveScenarioButton");
    EXPECT_EQ(value("СЦЕНАРИЙ 05", "ЗОНА"), "64");
    EXPECT_EQ(value("СЦЕНАРИЙ 05", "РЕЖИМ"), "10");
    EXPECT_EQ(cellText(5, 2), q("3"));
    EXPECT_TRUE(editor()->isHidden());
    EXPECT_TRUE(session.modified());
    page.openScenario(5);
    EXPECT_EQ(list("zoneCombo")->text(), q("3"));
}

TEST_F(ScenarioPageTest, AnyZoneIs255ForTheZonePairModes) {
    for (const char* mode : {"ПОЖАР В ЗОНЕ", "2ПОЖ.В ЗОНЕ*", "2ПОЖ.В ЗОНЕ+", "2ПОЖ.В ЗОНЕ#"}) {
        page.openScenario(10);
        choose(list("modeCombo"), "ПО ЗАПРОСУ"); // a change of mode, whatever it held
        choose(list("modeCombo"), mode);
        EXPECT_EQ(list("zoneCombo")->count(), 256);
        EXPECT_EQ(list("zoneCombo")->currentIndex(), 0);
        choose(list("zoneCombo"), "В ЛЮБОЙ");
        click("saveScenarioButton");
        EXPECT_EQ(value("СЦЕНАРИЙ 10", "ЗОНА"), "255") << mode;
        EXPECT_EQ(cellText(10, 2), q("В ЛЮБОЙ")) << mode;
        EXPECT_EQ(cellText(10, 1), q(mode));
    }
}

TEST_F(ScenarioPageTest, ModeAndDeviceRules) {
    page.openScenario(97);
    ASSERT_EQ(shownSteps(), 8);
    choose(list("modeCombo"), "ОТКАЗ В ЗОНЕ"); // keeps the steps
    EXPECT_EQ(shownSteps(), 8);
    EXPECT_EQ(list("zoneCombo")->currentIndex(), 0);
    choose(step(3, "Device"), "БРВУ5"); // empties the steps after it
    EXPECT_EQ(shownSteps(), 3);
    EXPECT_FALSE(step(4, "Device")->isHidden());
    EXPECT_EQ(step(4, "Device")->text(), QString());
    EXPECT_TRUE(step(5, "Device")->isHidden());
    EXPECT_EQ(step(3, "Number")->text(), q("01"));
    EXPECT_EQ(step(3, "Number")->count(), 8);
    EXPECT_EQ(step(3, "State")->text(), q("ВКЛ "));
    EXPECT_EQ(delay(3)->value(), 0);
    click("saveScenarioButton");
    EXPECT_EQ(value("СЦЕНАРИЙ 097", "ШАГ 03"), "БРВУ5/01/ВКЛ /000");
    EXPECT_EQ(value("СЦЕНАРИЙ 097", "ШАГ 04"), std::nullopt);
    EXPECT_EQ(value("СЦЕНАРИЙ 097", "ШАГ 08"), std::nullopt);

    page.openScenario(97);
    choose(list("modeCombo"), "ПО СБРОСУ"); // empties every step and the zone
    EXPECT_EQ(shownSteps(), 0);
    EXPECT_FALSE(step(1, "Device")->isHidden());
    EXPECT_FALSE(list("zoneCombo")->isEnabled());
    EXPECT_EQ(list("zoneCombo")->text(), QString());
    click("saveScenarioButton");
    EXPECT_EQ(value("СЦЕНАРИЙ 097", "ЗОНА"), std::nullopt);
    EXPECT_EQ(value("СЦЕНАРИЙ 097", "ШАГ 01"), std::nullopt);
    EXPECT_EQ(value("СЦЕНАРИЙ 097", "РЕЖИМ"), "1");
}

TEST_F(ScenarioPageTest, ExternalOutput100AndThePiuLineRoundTrip) {
    page.openScenario(2); // its second step is on БКА71, slot 7 being a ПИУ
    EXPECT_EQ(step(2, "Device")->text(), q("ПИУ71"));
    EXPECT_EQ(step(2, "Number")->count(), 24);
    choose(step(3, "Device"), "ВНЕШН");
    EXPECT_EQ(step(3, "Number")->count(), 128);
    choose(step(3, "Number"), "100");
    choose(step(3, "State"), "ВЫКЛ");
    delay(3)->setValue(10);
    click("saveScenarioButton");
    EXPECT_EQ(value("СЦЕНАРИЙ 02", "ШАГ 02"), "БКА71/04/ВЫКЛ/004");
    EXPECT_EQ(value("СЦЕНАРИЙ 02", "ШАГ 03"), "ВНЕШН/100/ВЫКЛ/010");
    EXPECT_EQ(cp(*value("СЦЕНАРИЙ 02", "ШАГ 03")).size(), 18u);
    page.openScenario(2);
    EXPECT_EQ(step(3, "Number")->text(), q("100"));
    EXPECT_EQ(step(3, "State")->text(), q("ВЫКЛ"));
    EXPECT_EQ(delay(3)->value(), 10);
}

// Two zones of one name: the scenario keeps the zone it names by number.
TEST_F(ScenarioPageTest, DuplicateZoneNamesKeepTheStoredZone) {
    session.setZoneName(2, cp("СКЛАД"));
    session.setZoneName(15, cp("СКЛАД"));
    {
        IniStore file(cnf);
        file.WriteString(cp("ЗОНА"), "2", cp("СКЛАД"));
        file.WriteString(cp("ЗОНА"), "15", cp("СКЛАД"));
    }
    page.shown();
    EXPECT_EQ(cellText(2, 2), q("СКЛАД"));
    page.openScenario(2);
    EXPECT_EQ(list("zoneCombo")->currentIndex(), 14);
    click("saveScenarioButton");
    EXPECT_EQ(value("СЦЕНАРИЙ 02", "ЗОНА"), "14");
}

TEST_F(ScenarioPageTest, ZoneModeWithoutAZoneIsRefused) {
    IniStore(cnf).DeleteKey(cp("СЦЕНАРИЙ 02"), cp("ЗОНА"));
    page.shown();
    const std::string before = readFile(cnf);
    page.openScenario(2);
    EXPECT_EQ(list("zoneCombo")->currentIndex(), -1);
    prompts.expectMessage(cp("ОШИБКА"),
                          cp("НЕ ВЫБРАНА ЗОНА СЦЕНАРИЯ: ВЫБЕРИТЕ ЗОНУ ИЛИ \"В ЛЮБОЙ\". "
                             "СЦЕНАРИЙ НЕ СОХРАНЕН"),
                          MsgButtons::Ok, MsgResult::Ok);
    click("saveScenarioButton");
    EXPECT_EQ(readFile(cnf), before);
    EXPECT_FALSE(editor()->isHidden());
    EXPECT_FALSE(session.modified());
    // Choosing a zone lets it through.
    choose(list("zoneCombo"), "В ЛЮБОЙ");
    click("saveScenarioButton");
    EXPECT_EQ(value("СЦЕНАРИЙ 02", "ЗОНА"), "255");
}

TEST_F(ScenarioPageTest, NoModeErasesTheSectionAndDeleteHidesThePanel) {
    page.openScenario(3);
    choose(list("modeCombo"), "");
    EXPECT_TRUE(step(1, "Device")->isHidden());
    click("saveScenarioButton");
    EXPECT_FALSE(IniStore(cnf).SectionExists(cp("СЦЕНАРИЙ 03")));
    EXPECT_FALSE(editor()->isHidden());
    EXPECT_EQ(cellText(3, 1), QString());
    EXPECT_EQ(cellText(3, 3), QString());

    page.openScenario(4);
    click("deleteScenarioButton");
    EXPECT_FALSE(IniStore(cnf).SectionExists(cp("СЦЕНАРИЙ 04")));
    EXPECT_TRUE(editor()->isHidden());
    EXPECT_EQ(cellText(4, 1), QString());

    page.openScenario(5);
    choose(list("modeCombo"), "ПО ЗАПРОСУ");
    click("exitScenarioButton");
    EXPECT_TRUE(editor()->isHidden());
    EXPECT_NE(value("СЦЕНАРИЙ 05", "РЕЖИМ"), "7");
}

TEST_F(ScenarioPageTest, RelayBlockLabelsFollowASaveAndADelete) {
    {
        IniStore file(cnf);
        IniStore::Batch batch(file);
        for (int s = 1; s <= kScenarioCount; ++s)
            file.EraseSection(ScenarioSection(s));
    }
    AlarmPage alarm(context, nullptr);
    alarm.load(SessionChange::Loaded);
    page.shown();
    auto* label = alarm.findChild<QWidget*>(QStringLiteral("relay5Label"));
    ASSERT_NE(label, nullptr);
    ASSERT_TRUE(label->isHidden());
    page.openScenario(1);
    choose(list("modeCombo"), "ПО СБРОСУ");
    choose(step(1, "Device"), "БРВУ5");
    click("saveScenarioButton");
    EXPECT_FALSE(label->isHidden());
    page.openScenario(1);
    click("deleteScenarioButton");
    EXPECT_TRUE(label->isHidden());
}

TEST_F(ScenarioPageTest, KeyboardReachesEveryControlAndListsTakeNoTyping) {
    page.openScenario(97);
    // The focus chain from the mode list, over the controls shown.
    QStringList order;
    QWidget* w = list("modeCombo");
    for (int guard = 0; guard < 200 && order.size() < 9; ++guard, w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus && !w->objectName().isEmpty() &&
            !w->objectName().startsWith(QLatin1String("qt_")) && w->isVisibleTo(&page) &&
            w->isEnabled())
            order << w->objectName();
    EXPECT_EQ(order.join(','), "modeCombo,zoneCombo,noteEdit,step1DeviceCombo,step1NumberCombo,"
                               "step1StateCombo,step1DelaySpin,step2DeviceCombo,step2NumberCombo");
    page.show();
    DropDownList* mode = list("modeCombo");
    mode->setFocus();
    type(mode, q("П2"));
    EXPECT_EQ(mode->text(), q("ТУШЕНИЕ"));
    auto* note = child<QLineEdit>(QStringLiteral("noteEdit"));
    note->clear();
    type(note, q("щит №2 насосной станции"));
    EXPECT_EQ(note->text(), q("ЩИТ №2 НАСОСНОЙ СТАН"));
    click("saveScenarioButton");
    EXPECT_EQ(value("СЦЕНАРИЙ 097", "ПРИМЕЧАНИЕ"), "ЩИТ №2 НАСОСНОЙ СТАН");
}

// What the editor saves is what the encoder turns into the panel's record:
// the same bytes the scenario table is defined by.
TEST_F(ScenarioPageTest, SavedScenarioEncodesToItsRecord) {
    page.openScenario(1);
    choose(list("modeCombo"), "ПОЖАР В ЗОНЕ");
    list("zoneCombo")->setCurrentIndex(44);
    emit list("zoneCombo")->activated(44);
    struct Step {
        const char* device;
        const char* number;
        const char* state;
        int delay;
    } steps[] = {{"ПУ-П ", "03", "ВКЛ ", 10},  {"СЦЕН.", "100", "ВЫКЛ", 7},
                 {"БРВУ2", "05", "ВЫКЛ", 120}, {"БКА23", "07", "ВКЛ ", 15},
                 {"ВНЕШН", "05", "ВКЛ ", 0},   {"ППКП3", "08", "ВКЛ ", 2}};
    for (int k = 1; k <= 6; ++k) {
        const Step& s = steps[k - 1];
        choose(step(k, "Device"), s.device);
        choose(step(k, "Number"), s.number);
        choose(step(k, "State"), s.state);
        delay(k)->setValue(s.delay);
    }
    click("saveScenarioButton");
    EXPECT_EQ(value("СЦЕНАРИЙ 01", "ШАГ 02"), "СЦЕН./100/ВЫКЛ/007");

    TPanelImage image;
    ASSERT_TRUE(EncodeScenarios(image, IniStore(cnf), Series::FH));
    std::vector<int> record;
    for (int i = 0; i < 32; ++i)
        record.push_back(image.byte(0x9300 + i));
    EXPECT_EQ(record,
              (std::vector<int>{0x32, 0x2C, 0x02, 0x3E, 0x05, 0xE1, 0xE3, 0x03, 0x49, 0x84, 0x3C,
                                0x12, 0x06, 0x07, 0xE0, 0x04, 0x00, 0x1F, 0x3E, 0x01, 0xFF, 0xFF,
                                0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

class OutputDescriptionsTest : public ScenarioPageTest {};

TEST_F(OutputDescriptionsTest, DoubleClickOnAStepDevice) {
    page.show();
    page.openScenario(1);
    choose(step(1, "Device"), "ПУ-П ");
    prompts.expectInput(cp("ПУ-П /01"), cp("ВВЕДИТЕ ОПИСАНИЕ ФУНКЦИИ ВЫХОДА"), cp("сирена холла"));
    QTest::mouseDClick(step(1, "Device"), Qt::LeftButton);
    EXPECT_EQ(prompts.asked().back().initial, cp("ВЫХОД 1 ХОЛЛ"));
    EXPECT_EQ(value("ОПИСАНИЕ ВЫХОДОВ", "ПУ-П /01"), "СИРЕНА ХОЛЛА");

    // Cancelled: the description is written again, upper-cased.
    IniStore(cnf).WriteString(cp("ОПИСАНИЕ ВЫХОДОВ"), cp("ПУ-П /01"), cp("табло"));
    prompts.expectInput(cp("ПУ-П /01"), cp("ВВЕДИТЕ ОПИСАНИЕ ФУНКЦИИ ВЫХОДА"), std::nullopt);
    QTest::mouseDClick(step(1, "Device"), Qt::LeftButton);
    EXPECT_EQ(value("ОПИСАНИЕ ВЫХОДОВ", "ПУ-П /01"), "ТАБЛО");

    // Emptied: deleted.
    prompts.expectInput(cp("ПУ-П /01"), cp("ВВЕДИТЕ ОПИСАНИЕ ФУНКЦИИ ВЫХОДА"), cp(""));
    QTest::mouseDClick(step(1, "Device"), Qt::LeftButton);
    EXPECT_EQ(value("ОПИСАНИЕ ВЫХОДОВ", "ПУ-П /01"), std::nullopt);
    EXPECT_FALSE(session.modified());
}

TEST_F(OutputDescriptionsTest, ModuleLinesHaveNoneAndPiuKeepsItsName) {
    page.show();
    page.openScenario(2);
    ASSERT_EQ(step(2, "Device")->text(), q("ПИУ71"));
    prompts.expectInput(cp("ПИУ71/04"), cp("ВВЕДИТЕ ОПИСАНИЕ ФУНКЦИИ ВЫХОДА"), cp("дверь"));
    QTest::mouseDClick(step(2, "Device"), Qt::LeftButton);
    EXPECT_EQ(value("ОПИСАНИЕ ВЫХОДОВ", "ПИУ71/04"), "ДВЕРЬ");
    // A БКА step and the empty device after the last step open nothing
    // (the scripted person fails on any question).
    choose(step(1, "Device"), "БКА12");
    QTest::mouseDClick(step(1, "Device"), Qt::LeftButton);
    QTest::mouseDClick(step(2, "Device"), Qt::LeftButton);
}

} // namespace
} // namespace kvort::gui::test
