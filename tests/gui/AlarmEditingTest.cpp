// The "Сигнализация" page on a session of its own (no main window): zone
// names typed into the zone grid, and detectors entered from the detector
// grid through the dialog with the keyboard alone.
#include "ScriptedPrompts.h"
#include "TempDir.h"

#include "app/ConfigSession.h"
#include "app/Ports.h"
#include "document/ConfigFileSet.h"
#include "document/Detectors.h"
#include "gui/GuiText.h"
#include "gui/dialogs/DetectorDialog.h"
#include "gui/pages/AlarmPage.h"
#include "text/Cp1251.h"
#include "text/Literals.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

namespace kvort::gui::test {
namespace {

namespace fs = std::filesystem;
using namespace kvort::text::literals;

// Typed as a person does: each key to whatever has the focus then.
void typeText(const QString& typed) {
    for (const QChar c : typed) {
        QWidget* w = QApplication::focusWidget();
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}
// Qt's QTRY macros would only return from the test body; this one reports.
bool waitUntil(const std::function<bool()>& condition) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > 3000)
            return false;
        QTest::qWait(2);
    }
    return true;
}

void key(Qt::Key k) {
    QTest::keyClick(QApplication::focusWidget(), k);
}

class AlarmEditing : public ::testing::Test {
  protected:
    void SetUp() override {
        cnf = kvort::test::CopySample("full", tmp.path());
        session.open(cnf);
        page.resize(1200, 700);
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
    }
    void TearDown() override { EXPECT_EQ(prompts.pending(), 0u); }
    QTableWidget* table(const char* name) {
        return page.findChild<QTableWidget*>(QString::fromLatin1(name));
    }
    std::string fileValue(const fs::path& file, std::string_view section, std::string_view k) {
        return IniStore(file).ReadString(section, k, "?");
    }

    kvort::test::TempDir tmp;
    fs::path cnf;
    ConfigSession session;
    kvort::ScriptedPrompts prompts;
    NullProgress progress;
    PageContext context{session, prompts, progress};
    AlarmPage page{context, nullptr};
};

class ZoneGridEditing : public AlarmEditing {};

TEST_F(ZoneGridEditing, TypedNamesAreFilteredCutAndWrittenOnEnter) {
    QTableWidget* zones = table("zoneGrid");
    zones->setFocus();
    zones->setCurrentCell(4, 1);
    session.setModified(false);
    typeText(QString::fromUtf8("київ №1 склад номер"));
    auto* edit = zones->findChild<QLineEdit*>(QStringLiteral("zoneNameEdit"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), QString::fromUtf8("КИIВ 1 СКЛАД")); // a 13th cannot be typed
    EXPECT_TRUE(session.modified());
    EXPECT_EQ(session.zoneNames()[4], "КИIВ 1 СКЛАД"_cp);
    EXPECT_NE(fileValue(cnf, "ЗОНА"_cp, "5"), "КИIВ 1 СКЛАД"_cp);
    key(Qt::Key_Return);
    EXPECT_EQ(fileValue(cnf, "ЗОНА"_cp, "5"), "КИIВ 1 СКЛАД"_cp);
    EXPECT_EQ(zones->item(4, 1)->text(), QString::fromUtf8("КИIВ 1 СКЛАД"));

    // Leaving a name with Tab keeps it in the session only, and Tab leaves
    // the grid instead of walking its cells.
    zones->setCurrentCell(5, 1);
    typeText(QStringLiteral("a b"));
    key(Qt::Key_Tab);
    EXPECT_EQ(session.zoneNames()[5], "A B"_cp);
    EXPECT_NE(fileValue(cnf, "ЗОНА"_cp, "6"), "A B"_cp);
    key(Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), zones);
}

class DetectorDialogFromGrid : public AlarmEditing {};

// A whole line of 60 detectors without the mouse: Enter opens the dialog,
// the text is typed, Tab goes to the zone list, an arrow picks the zone,
// Enter saves and the grid is on the next row.
TEST_F(DetectorDialogFromGrid, WholeLineByKeyboard) {
    IniStore tb(ConfigFileSet(cnf).tb(1));
    {
        IniStore::Batch batch(tb);
        for (int a = 1; a <= 60; ++a)
            tb.EraseSection(SensorAddress(1, 3, a));
    }
    page.showSlot(1);
    QTableWidget* grid = table("detectorGrid");
    grid->setFocus();
    grid->setCurrentCell(2 * 64, 0); // И13-01
    session.setModified(false);
    for (int a = 1; a <= 60; ++a) {
        key(Qt::Key_Return);
        ASSERT_TRUE(waitUntil([&] {
            return page.detectorDialog()->isAncestorOf(QApplication::focusWidget());
        })) << a;
        typeText(QStringLiteral("D%1").arg(a));
        key(Qt::Key_Tab);
        key(Qt::Key_Down);
        key(Qt::Key_Return);
        ASSERT_FALSE(page.detectorDialog()->isVisible()) << a;
        ASSERT_TRUE(waitUntil([&] { return QApplication::focusWidget() == grid; }));
    }
    EXPECT_TRUE(session.modified());
    EXPECT_EQ(grid->currentRow(), 2 * 64 + 60);
    for (int a : {1, 30, 60}) {
        const DetectorRecord r = ReadDetector(IniStore(ConfigFileSet(cnf).tb(1)), 1, 3, a);
        EXPECT_EQ(r.text, "D" + std::to_string(a)) << a;
        EXPECT_FALSE(r.zone.empty());
        EXPECT_EQ(grid->item(2 * 64 + a - 1, 3)->text(), QStringLiteral("D%1").arg(a));
    }
}

TEST_F(DetectorDialogFromGrid, GroupCopyAndLoopShowInTheGridAtOnce) {
    page.showSlot(1);
    QTableWidget* grid = table("detectorGrid");
    grid->setFocus();
    grid->setCurrentCell(9, 0); // И11-10
    key(Qt::Key_Return);
    DetectorDialog* dialog = page.detectorDialog();
    ASSERT_TRUE(waitUntil([&] { return dialog->isAncestorOf(QApplication::focusWidget()); }));
    dialog->findChild<QCheckBox*>(QStringLiteral("copyCheck"))->setChecked(true);
    dialog->findChild<QSpinBox*>(QStringLiteral("copyToSpin"))->setValue(12);
    const QString text = dialog->findChild<QComboBox*>(QStringLiteral("textCombo"))->currentText();
    key(Qt::Key_Return);
    ASSERT_FALSE(dialog->isVisible());
    ASSERT_TRUE(waitUntil([&] { return QApplication::focusWidget() == grid; }));
    for (int row : {10, 11}) {
        EXPECT_EQ(grid->item(row, 3)->text(), text);
        EXPECT_EQ(grid->item(row, 4)->text(), QStringLiteral("ВЫКЛ"));
    }
    EXPECT_EQ(grid->currentRow(), 10);

    // ШЛЕЙФ at И12-01 empties 02..60 of line 2 in the grid and the file.
    grid->setCurrentCell(64, 0);
    key(Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return dialog->isAncestorOf(QApplication::focusWidget()); }));
    dialog->findChild<QRadioButton*>(QStringLiteral("type8Radio"))->click();
    prompts.expectMessage(
        "ВНИМАНИЕ"_cp,
        "БЕЗАДРЕСНЫЙ РЕЖИМ РАБОТАЕТ В ПРИБОРАХ\n\r С ВЕРСИЕЙ ПО V11h081018 И ВЫШЕ"_cp,
        MsgIcon::Warning, MsgButtons::OkCancel, MsgResult::Ok);
    prompts.expectMessage("ВНИМАНИЕ"_cp,
                          "ЛИНИЯ БУДЕТ ПЕРЕВЕДЕНА В БЕЗАДРЕСНЫЙ РЕЖИМ\n\rЕСЛИ В ЭТОЙ ЛИНИИ ЕСТЬ "
                          "ДРУГИЕ ИЗВЕЩАТЕЛИ,\n\rОНИ БУДУТ УДАЛЕНЫ"_cp,
                          MsgIcon::Warning, MsgButtons::OkCancel, MsgResult::Ok);
    key(Qt::Key_Return);
    ASSERT_FALSE(dialog->isVisible());
    ASSERT_TRUE(waitUntil([&] { return QApplication::focusWidget() == grid; }));
    EXPECT_EQ(grid->item(64, 1)->text(), QStringLiteral("ШЛЕЙФ"));
    for (int a = 2; a <= 60; ++a)
        EXPECT_TRUE(grid->item(64 + a - 1, 3)->text().isEmpty()) << a;
    EXPECT_FALSE(grid->item(128, 3)->text().isEmpty()); // line 3 untouched

    // Address 05 of that line is refused with the warning.
    prompts.expectMessage("ВНИМАНИЕ"_cp,
                          "В БЕЗАДРЕСНЫЙ ШЛЕЙФ НЕЛЬЗЯ ПОДКЛЮЧАТЬ АДРЕСНЫЕ ИЗВЕЩАТЕЛИ"_cp,
                          MsgIcon::Warning, MsgButtons::Ok, MsgResult::Ok);
    grid->setCurrentCell(64 + 4, 0);
    key(Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
}

} // namespace
} // namespace kvort::gui::test
