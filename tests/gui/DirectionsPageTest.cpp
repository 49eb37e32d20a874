// The "Пожаротушение" page on a session of its own, over a copy of the full
// sample.
#include "GuiFixture.h"
#include "ScriptedPrompts.h"
#include "TempDir.h"

#include "app/ConfigSession.h"
#include "app/Ports.h"
#include "document/Config.h"
#include "document/DirectionRules.h"
#include "gui/pages/AlarmPage.h"
#include "gui/pages/DirectionGroup.h"
#include "gui/pages/DirectionsPage.h"
#include "gui/widgets/DropDownList.h"
#include "image/Encoder.h"
#include "image/PanelImage.h"
#include "text/Cp1251.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace kvort::gui::test {
namespace {

namespace fs = std::filesystem;

class RecordingProgress : public NullProgress {
  public:
    void setStatus(std::string_view text) override { status = text::toUtf8(text); }
    std::string status = "-";
};

const char* const kNote = "ТОЛЬКО ДЛЯ ПРИБОРОВ ПУ-ПТ ИЛИ ПУ-П С ПРОШИВКОЙ ПТ";

class DirectionsPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        cnf = kvort::test::CopySample("full", tmp.path());
        // Slots 2 and 4 hold БРИТ modules under both their names.
        IniStore file(cnf);
        file.WriteString(SectionComposition(), "2", cp("БРИТ"));
        file.WriteString(SectionComposition(), "4", cp("БДУ(4)"));
    }
    void TearDown() override { EXPECT_EQ(prompts.pending(), 0u); }

    DropDownList* list(int d, const char* role) const {
        auto* l = page.findChild<DropDownList*>(
            QStringLiteral("direction%1%2Combo").arg(d).arg(QLatin1String(role)));
        EXPECT_NE(l, nullptr) << d << role;
        return l;
    }
    QPushButton* saveButton(int d) const {
        return page.findChild<QPushButton*>(QStringLiteral("direction%1SaveButton").arg(d));
    }
    QString shown(int d, const char* role) const { return list(d, role)->text(); }
    // What the drop-down does when the person clicks an item.
    void pick(int d, const char* role, const QString& text) {
        DropDownList* l = list(d, role);
        const int index = l->findText(text, Qt::MatchExactly);
        ASSERT_GE(index, 0) << d << role << " " << text.toStdString();
        ASSERT_FALSE(l->isHidden()) << d << role;
        l->setCurrentIndex(index);
        emit l->activated(index);
    }
    // A key as a fresh store reads it (UTF-8); "<none>" when missing.
    std::string key(int d, const char* name) const {
        const IniStore file(cnf);
        const std::string sec = DirectionSection(d);
        return file.KeyExists(sec, cp(name)) ? text::toUtf8(file.ReadString(sec, cp(name), ""))
                                             : "<none>";
    }

    kvort::test::TempDir tmp;
    fs::path cnf;
    ConfigSession session;
    kvort::ScriptedPrompts prompts;
    RecordingProgress progress;
    PageContext context{session, prompts, progress};
    DirectionsPage page{context, nullptr};
};

TEST_F(DirectionsPageTest, LoadingShowsTheSectionsAsTheyStand) {
    {
        IniStore file(cnf);
        file.WriteString(cp("НАПРАВЛЕНИЕ 3"), cp("БДУ4"), "42/01"); // БРИТ is 63/01
        file.WriteString(cp("НАПРАВЛЕНИЕ 5"), cp("ЗОНА"), cp("СНЕСЁННАЯ"));
        file.EraseSection(cp("НАПРАВЛЕНИЕ 8"));
    }
    session.open(cnf);

    EXPECT_EQ(shown(1, "Zone"), q("1.21 ХОЛЛ"));
    EXPECT_EQ(shown(1, "Relay1"), q("ПУСК 2"));
    EXPECT_EQ(shown(2, "Relay2"), q("ТАБЛО\"ОПОВЕЩ.\""));
    EXPECT_EQ(shown(1, "Scenario"), q("11"));
    EXPECT_EQ(shown(1, "Slot"), q("6"));
    EXPECT_EQ(shown(1, "Line"), q("1"));
    // The older key is the one this editor shows.
    EXPECT_EQ(shown(3, "Slot"), q("4"));
    EXPECT_EQ(shown(3, "Line"), q("2"));
    // A zone renamed since is shown as the file names it, though no item is.
    EXPECT_EQ(shown(5, "Zone"), q("СНЕСЁННАЯ"));
    EXPECT_EQ(list(5, "Zone")->currentIndex(), -1);
    EXPECT_FALSE(list(5, "Relay1")->isHidden());
    // No section: no zone, the defaults, and nothing but the zone to choose.
    EXPECT_EQ(shown(8, "Zone"), q("НЕТ"));
    const char* defaults[] = {"ПУСК 1", "ПУСК 2", "ТАБЛО\"ОПОВЕЩ.\"", "АВТ.ОТКЛ.", "БЛОКИРОВКА"};
    for (int r = 1; r <= kRelayCount; ++r) {
        const std::string role = "Relay" + std::to_string(r);
        EXPECT_EQ(shown(8, role.c_str()), q(defaults[r - 1]));
        EXPECT_TRUE(list(8, role.c_str())->isHidden());
    }
    for (const char* role : {"Scenario", "Slot", "Line"})
        EXPECT_TRUE(list(8, role)->isHidden()) << role;

    // The lists: "НЕТ" and zones 1..255; the БРИТ slots of either name.
    DropDownList* zones = list(1, "Zone");
    ASSERT_EQ(zones->count(), 256);
    EXPECT_EQ(zones->itemText(0), q("НЕТ"));
    EXPECT_EQ(cp(zones->itemText(255).toStdString()), session.zoneNames()[254]);
    DropDownList* britSlots = list(1, "Slot");
    QStringList slotItems;
    for (int i = 0; i < britSlots->count(); ++i)
        slotItems << britSlots->itemText(i);
    EXPECT_EQ(slotItems, (QStringList{"", "2", "4", "6"}));
    EXPECT_EQ(list(1, "Scenario")->count(), 129);
    for (int d = 1; d <= kDirectionCount; ++d)
        EXPECT_FALSE(saveButton(d)->isEnabled()) << d;
}

TEST_F(DirectionsPageTest, EachDirectionSavesItsBritLineOrRefusesIt) {
    session.open(cnf);
    // 1: slot and line; 2: a slot without its line; 3: a line without a slot.
    pick(1, "Slot", "4");
    pick(1, "Line", "2");
    pick(2, "Slot", "4");
    pick(2, "Line", "");
    pick(3, "Slot", "");
    pick(3, "Line", "3");
    EXPECT_TRUE(session.modified());
    for (int d : {1, 2, 3})
        EXPECT_TRUE(saveButton(d)->isEnabled()) << d;

    saveButton(1)->click();
    EXPECT_EQ(key(1, "БРИТ"), "42/01");
    EXPECT_FALSE(saveButton(1)->isEnabled());

    prompts.expectMessage(cp("ОШИБКА"), cp("НЕПРАВИЛЬНО УКАЗАН АДРЕС БРИТ"), MsgIcon::Error,
                          MsgButtons::Ok, MsgResult::Ok);
    const std::string before = readFile(cnf);
    saveButton(2)->click();
    EXPECT_EQ(prompts.pending(), 0u);
    EXPECT_EQ(readFile(cnf), before);
    EXPECT_TRUE(saveButton(2)->isEnabled());

    saveButton(3)->click();
    EXPECT_EQ(key(3, "БРИТ"), "<none>");
    EXPECT_EQ(key(3, "ЗОНА"), "2.29 ХОЛЛ");

    // Read again, slot 4 line 2 is what direction 1 shows.
    page.shown();
    EXPECT_EQ(shown(1, "Slot"), q("4"));
    EXPECT_EQ(shown(1, "Line"), q("2"));
    EXPECT_EQ(shown(3, "Slot"), q(""));
    // The refused choice was never saved: the file's link is back, and the
    // button still waits for a save.
    EXPECT_EQ(shown(2, "Slot"), q("6"));
    EXPECT_TRUE(saveButton(2)->isEnabled());
}

TEST_F(DirectionsPageTest, NoZoneRestoresTheDefaultsAndSavingErasesTheSection) {
    AlarmPage alarm(context, nullptr);
    session.open(cnf);
    auto* label3 = alarm.findChild<QLabel*>(QStringLiteral("extinguishing3Label"));
    ASSERT_NE(label3, nullptr);
    EXPECT_FALSE(label3->isHidden());

    pick(3, "Relay1", "СТОП");
    pick(3, "Scenario", "128");
    pick(3, "Zone", "НЕТ");
    const char* defaults[] = {"ПУСК 1", "ПУСК 2", "ТАБЛО\"ОПОВЕЩ.\"", "АВТ.ОТКЛ.", "БЛОКИРОВКА"};
    for (int r = 1; r <= kRelayCount; ++r) {
        const std::string role = "Relay" + std::to_string(r);
        EXPECT_EQ(shown(3, role.c_str()), q(defaults[r - 1]));
        EXPECT_TRUE(list(3, role.c_str())->isHidden());
    }
    EXPECT_EQ(shown(3, "Scenario"), q(""));
    EXPECT_EQ(shown(3, "Slot"), q(""));

    saveButton(3)->click();
    EXPECT_FALSE(IniStore(cnf).SectionExists(DirectionSection(3)));
    // The composition view follows without a tab switch.
    EXPECT_TRUE(label3->isHidden());
    EXPECT_FALSE(alarm.findChild<QLabel*>(QStringLiteral("extinguishing4Label"))->isHidden());
}

TEST_F(DirectionsPageTest, ASavedDirectionEncodesToItsRecord) {
    session.open(cnf);
    // As the encoder tests' direction 2, in the words this editor offers:
    // zone 5, STOP, the alarm board, none, auto-off, reserve start,
    // scenario 12, БРИТ slot 2 line 3 (address 01).
    pick(2, "Zone", QString::fromStdString(text::toUtf8(session.zoneNames()[4])));
    const char* relays[] = {"СТОП", "ТАБЛО\"ОПОВЕЩ.\"", "НЕТ", "АВТ.ОТКЛ.", "РЕЗЕРВ.ПУСК"};
    for (int r = 1; r <= kRelayCount; ++r)
        pick(2, ("Relay" + std::to_string(r)).c_str(), q(relays[r - 1]));
    pick(2, "Scenario", "12");
    pick(2, "Slot", "2");
    pick(2, "Line", "3");
    saveButton(2)->click();

    auto built = std::make_unique<TPanelImage>();
    const TPanelImage& image = *built;
    BuildPanelImage(*built, cnf, session.zoneNames());
    // The records stand after the detector area, whose size the header gives.
    const std::uint32_t record =
        (image.byte(imagemap::kHeaderSecondCopy) - 2) * imagemap::kDeviceTableSize +
        imagemap::kDirectionsFromD + imagemap::kDirectionSize;
    std::vector<int> bytes;
    for (std::uint32_t i = 0; i < imagemap::kDirectionSize; ++i)
        bytes.push_back(image.byte(record + i));
    EXPECT_EQ(bytes, (std::vector<int>{0x02, 0x04, 0x1E, 0x08, 0x04, 0xFF, 0x06, 0x09, 0x0B, 0x12,
                                       0x00, 0x00, 0x00, 0x00, 0x01, 0xFF}));
}

TEST_F(DirectionsPageTest, SavingTheConfigurationTakesTheScreenWithoutTheBritCheck) {
    session.open(cnf);
    pick(1, "Relay1", "СТОП");
    pick(2, "Slot", "4");
    pick(2, "Line", "");
    pick(4, "Zone", "НЕТ");
    session.save(); // no box: the check belongs to the buttons
    EXPECT_EQ(key(1, "РЕЛЕ 1"), "СТОП");
    // An address the encoder could not read is not written: the file keeps its link.
    EXPECT_EQ(key(2, "БРИТ"), "62/01");
    EXPECT_FALSE(IniStore(cnf).SectionExists(DirectionSection(4)));
}

TEST_F(DirectionsPageTest, SwitchingToTheTabWritesZoneNamesAndReadsTheDirectionsAgain) {
    session.open(cnf);
    pick(1, "Relay1", "СТОП"); // not saved

    session.setZoneName(3, cp("НОВОЕ ИМЯ"));
    session.setModified(false);
    page.shown(); // not modified: the file keeps its name
    EXPECT_NE(ZoneName(IniStore(cnf), 3), cp("НОВОЕ ИМЯ"));
    // The unsaved choice is dropped; the button keeps its state.
    EXPECT_EQ(shown(1, "Relay1"), q("ПУСК 2"));
    EXPECT_TRUE(saveButton(1)->isEnabled());

    session.setModified(true);
    page.shown();
    EXPECT_EQ(ZoneName(IniStore(cnf), 3), cp("НОВОЕ ИМЯ"));
    EXPECT_EQ(list(1, "Zone")->itemText(3), q("НОВОЕ ИМЯ"));
    EXPECT_FALSE(session.modified());
    EXPECT_EQ(progress.status, kNote);

    // The note lasts as long as the tab.
    page.show();
    page.hide();
    EXPECT_EQ(progress.status, "");
}

TEST_F(DirectionsPageTest, KeyboardReachesEveryListAndTypingChangesNothing) {
    IniStore(cnf).EraseSection(DirectionSection(8));
    session.open(cnf);
    page.show();
    QApplication::setActiveWindow(&page);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));

    DropDownList* zone = list(8, "Zone");
    zone->setFocus();
    QTest::keyClicks(zone, "2A"); // zone names here begin with digits
    QKeyEvent cyrillic(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("Я"));
    QApplication::sendEvent(zone, &cyrillic);
    EXPECT_EQ(zone->text(), q("НЕТ"));
    EXPECT_FALSE(saveButton(8)->isEnabled());

    QTest::keyClick(zone, Qt::Key_Down); // the person's choice, by keyboard
    EXPECT_EQ(cp(zone->text().toStdString()), session.zoneNames()[0]);
    EXPECT_TRUE(saveButton(8)->isEnabled());

    QStringList walked;
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(
        walked,
        (QStringList{"direction8Relay1Combo", "direction8Relay2Combo", "direction8Relay3Combo",
                     "direction8Relay4Combo", "direction8Relay5Combo", "direction8ScenarioCombo",
                     "direction8SlotCombo", "direction8LineCombo", "direction8SaveButton"}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_FALSE(saveButton(8)->isEnabled());
    EXPECT_EQ(key(8, "ЗОНА"), text::toUtf8(session.zoneNames()[0]));
}

} // namespace
} // namespace kvort::gui::test
