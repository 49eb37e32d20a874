// The detector dialog on its own, over a copy of the full sample: what it
// offers, keyboard entry, the ШЛЕЙФ questions, and what the encoder makes
// of a record written through it.
#include "gui/dialogs/DetectorDialog.h"
#include "ScriptedPrompts.h"
#include "document/ConfigFileSet.h"
#include "document/Lifecycle.h"
#include "gui/GuiText.h"
#include "image/Encoder.h"
#include "text/Literals.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

#include <random>

namespace kvort::gui::test {
namespace {

namespace fs = std::filesystem;
using namespace kvort::text::literals;

std::string u8(std::string_view s) {
    return text::toUtf8(s);
}

// QTest::keyClicks knows only ASCII; a person types Cyrillic too.
void typeInto(QWidget* w, const QString& typed) {
    for (const QChar c : typed) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

class DetectorDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir =
            fs::temp_directory_path() / ("kvort-dialog-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_dir);
        for (const auto& e : fs::directory_iterator(fs::path(KVORT_EXAMPLES_DIR) / "full"))
            fs::copy_file(e.path(), m_dir / e.path().filename());
        useConfig(m_dir / "full.cnf");
    }
    void TearDown() override {
        dialog.reject();
        m_cnf.reset();
        fs::remove_all(m_dir);
        EXPECT_EQ(prompts.pending(), 0u);
    }
    void useConfig(const fs::path& cnf) {
        m_path = cnf;
        m_cnf = std::make_unique<IniStore>(cnf);
        zones = ReadZoneNames(*m_cnf);
    }
    fs::path tb(int slot) const { return ConfigFileSet(m_path).tb(slot); }
    bool openAt(int slot, int line, int address) {
        if (!dialog.openFor(*m_cnf, tb(slot), {slot, line, address}, zones))
            return false;
        return QTest::qWaitForWindowActive(&dialog);
    }
    template <class T> T* child(const char* name) {
        T* w = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    bool shown(const char* name) { return child<QWidget>(name)->isVisibleTo(&dialog); }
    std::string value(int slot, std::string_view section, std::string_view key) {
        return IniStore(tb(slot)).ReadString(section, key, "?");
    }

    fs::path m_dir, m_path;
    std::unique_ptr<IniStore> m_cnf;
    ZoneNames zones;
    kvort::ScriptedPrompts prompts;
    DetectorDialog dialog{prompts};
};

TEST_F(DetectorDialogTest, OffersByAddressAndSlotKind) {
    struct Row {
        int slot, line, address;
        bool loop, copy;
    } rows[] = {{1, 1, 1, true, true},    {1, 1, 2, false, true},  {0, 8, 1, true, true},
                {7, 1, 1, false, true},   {6, 2, 1, false, true},  {1, 1, 58, false, true},
                {1, 1, 59, false, false}, {1, 1, 60, false, false}};
    for (const Row& r : rows) {
        ASSERT_TRUE(openAt(r.slot, r.line, r.address));
        EXPECT_EQ(dialog.windowTitle(), qs(SensorAddress(r.slot, r.line, r.address)));
        EXPECT_EQ(shown("type8Radio"), r.loop) << r.slot << r.line << r.address;
        EXPECT_TRUE(shown("type7Radio"));
        child<QRadioButton>("type0Radio")->click();
        EXPECT_EQ(shown("copyGroup"), r.copy) << r.slot << r.line << r.address;
        dialog.reject();
    }
    ASSERT_TRUE(openAt(1, 1, 58));
    EXPECT_EQ(child<QSpinBox>("copyToSpin")->value(), 59);
    EXPECT_FALSE(child<QGroupBox>("stateGroup")->isEnabled());
    EXPECT_EQ(dialog.windowFlags() & Qt::WindowCloseButtonHint, 0);
}

TEST_F(DetectorDialogTest, ExternalOutputOffers128NumbersAndPiuProposals) {
    ASSERT_TRUE(openAt(1, 1, 1));
    child<QRadioButton>("type0Radio")->click();
    auto* device = child<QComboBox>("deviceCombo");
    device->setFocus();
    const int outer = device->findText(qs("ВНЕШН"_cp));
    ASSERT_GE(outer, 0);
    device->setCurrentIndex(outer);
    emit device->activated(outer);
    auto* number = child<QComboBox>("numberCombo");
    ASSERT_EQ(number->count(), 128);
    EXPECT_EQ(number->itemText(96), "097");
    EXPECT_EQ(number->currentText(), "01");
    dialog.reject();

    // A ПИУ address without a type proposes БКА up to 24, ТЕХНОЛОГ. from 25.
    IniStore piu(tb(7));
    piu.EraseSection("И71-24"_cp);
    piu.EraseSection("И71-25"_cp);
    ASSERT_TRUE(openAt(7, 1, 24));
    EXPECT_TRUE(child<QRadioButton>("type7Radio")->isChecked());
    EXPECT_FALSE(shown("outputGroup"));
    dialog.reject();
    ASSERT_TRUE(openAt(7, 1, 25));
    EXPECT_TRUE(child<QRadioButton>("type5Radio")->isChecked());
    EXPECT_EQ(child<QRadioButton>("type5Radio")->text(), qs("ТЕХНОЛОГ."_cp));
    EXPECT_TRUE(shown("hideCheck"));
}

// The whole entry without the mouse: type (ї and № filtered), Tab to the
// zone list, arrow to a zone, Enter saves and closes.
TEST_F(DetectorDialogTest, KeyboardEntrySavesAndRemembersTheText) {
    IniStore(tb(2)).EraseSection("И21-07"_cp);
    QSignalSpy changed(&dialog, &DetectorDialog::recordsChanged);
    ASSERT_TRUE(openAt(2, 1, 7));
    typeInto(QApplication::focusWidget(), QString::fromUtf8("київ №3 дым коридор 1234"));
    auto* text = child<QComboBox>("textCombo");
    EXPECT_EQ(text->currentText(), QString::fromUtf8("КИIВ 3 ДЫМ КОРИДОР 1")); // 20 at most
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), child<QWidget>("zoneCombo"));
    QTest::keyClicks(QApplication::focusWidget(), "xyz"); // a list takes no typing
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    const QString zone = child<QComboBox>("zoneCombo")->currentText();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][2].value<QList<int>>(), QList<int>{7});
    EXPECT_EQ(u8(value(2, "И21-07"_cp, "ТЕКСТ"_cp)), "КИIВ 3 ДЫМ КОРИДОР 1");
    EXPECT_EQ(qs(value(2, "И21-07"_cp, "ЗОНА"_cp)), zone);
    EXPECT_EQ(u8(value(2, "И21-07"_cp, "СОСТОЯНИЕ"_cp)), "ВЫКЛ");

    // The text leads the history next time; Esc then writes nothing.
    ASSERT_TRUE(openAt(2, 1, 8));
    EXPECT_EQ(text->itemText(0), QString::fromUtf8("КИIВ 3 ДЫМ КОРИДОР 1"));
    const std::string before = readFile(tb(2));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(readFile(tb(2)), before);
}

TEST_F(DetectorDialogTest, DeclinedLoopLeavesFileAndDialogAndCtrlDeleteErases) {
    ASSERT_TRUE(openAt(1, 2, 1));
    const std::string before = readFile(tb(1));
    QSignalSpy changed(&dialog, &DetectorDialog::recordsChanged);
    child<QRadioButton>("type8Radio")->click();
    EXPECT_FALSE(shown("copyGroup"));
    EXPECT_FALSE(shown("outputGroup"));
    prompts.expectMessage(
        "ВНИМАНИЕ"_cp,
        "БЕЗАДРЕСНЫЙ РЕЖИМ РАБОТАЕТ В ПРИБОРАХ\n\r С ВЕРСИЕЙ ПО V11h081018 И ВЫШЕ"_cp,
        MsgIcon::Warning, MsgButtons::OkCancel, MsgResult::Cancel);
    child<QPushButton>("saveButton")->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(child<QRadioButton>("type0Radio")->isChecked());
    EXPECT_EQ(readFile(tb(1)), before);
    EXPECT_EQ(changed.count(), 0);

    QTest::keyClick(child<QComboBox>("textCombo")->lineEdit(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(IniStore(tb(1)).SectionExists("И12-01"_cp));
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(DetectorDialogTest, UnlistedZoneIsReportedAndPaintedYellow) {
    IniStore(tb(1)).WriteString("И11-03"_cp, "ЗОНА"_cp, "НЕТ ТАКОЙ"_cp);
    prompts.expectMessage("ВНИМАНИЕ"_cp, "НАИМЕНОВАНИЕ ЗОНЫ ОТСУТСТВУЕТ В ОБЩЕМ СПИСКЕ ЗОН"_cp,
                          MsgIcon::Error, MsgButtons::Ok, MsgResult::Ok);
    ASSERT_TRUE(openAt(1, 1, 3));
    for (int i = 0; i < 100 && prompts.pending() > 0; ++i)
        QTest::qWait(2);
    EXPECT_EQ(prompts.pending(), 0u);
    EXPECT_TRUE(child<QWidget>("zoneCombo")->styleSheet().contains("yellow"));
    dialog.reject();
    ASSERT_TRUE(openAt(1, 1, 4));
    QCoreApplication::processEvents();
    EXPECT_TRUE(child<QWidget>("zoneCombo")->styleSheet().isEmpty());
}

// Records entered through the dialog encode, by the command-line tool, to
// the bytes the codec tests give for the same keys: РУЧНОЙ in ЗОНА 3,
// switched off, is the word 0x8012; a linked output ВНЕШН/097/ is the target
// E0 60.
TEST_F(DetectorDialogTest, EditedRecordsEncodeAsTheCodecExpects) {
    ZoneNames fresh;
    useConfig(CreateNewConfig(m_dir / "new.cnf", fresh));
    ASSERT_TRUE(openAt(0, 1, 5));
    child<QRadioButton>("type2Radio")->click();
    typeInto(child<QComboBox>("textCombo")->lineEdit(), QString::fromUtf8("р"));
    child<QComboBox>("zoneCombo")->setCurrentIndex(2);
    child<QPushButton>("saveButton")->click();
    ASSERT_FALSE(dialog.isVisible());

    ASSERT_TRUE(openAt(0, 1, 6));
    typeInto(child<QComboBox>("textCombo")->lineEdit(), QStringLiteral("T"));
    auto* device = child<QComboBox>("deviceCombo");
    const int outer = device->findText(QStringLiteral("ВНЕШН"));
    device->setCurrentIndex(outer);
    emit device->activated(outer);
    child<QComboBox>("numberCombo")->setCurrentIndex(96);
    child<QComboBox>("zoneCombo")->setCurrentIndex(0);
    child<QPushButton>("saveButton")->click();
    ASSERT_FALSE(dialog.isVisible());
    EXPECT_EQ(u8(IniStore(tb(0)).ReadString("И01-06"_cp, "ВЫХОД"_cp, "")), "ВНЕШН/097/");

    const fs::path bin = m_dir / "new.bin";
    QProcess tool;
    tool.start(QStringLiteral(KVORTCFG),
               {QStringLiteral("encode"), QString::fromStdString(m_path.string()),
                QStringLiteral("--series"), QStringLiteral("fh"), QStringLiteral("-o"),
                QString::fromStdString(bin.string())});
    ASSERT_TRUE(tool.waitForFinished(30000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    const std::string image = readFile(bin);
    ASSERT_EQ(image.size(), 65536u);
    auto at = [&](std::uint32_t offset) { return static_cast<unsigned char>(image[offset]); };
    const std::uint32_t word = imagemap::detectorRecord(0, 1, 5);
    EXPECT_EQ(at(word) << 8 | at(word + 1), 0x8012);
    // The first linked output: line code 0, address index 5, target E0 60.
    EXPECT_EQ((std::vector<int>{at(0x8E00), at(0x8E01), at(0x8E02), at(0x8E03)}),
              (std::vector<int>{0, 5, 0xE0, 0x60}));
}

} // namespace
} // namespace kvort::gui::test
