// The window as an installer drives it: keys that reach every action and
// every tab, what a new configuration shows, the progress bar after a read,
// the lists that open at once and the Russian standard dialogs.
#include "GuiFixture.h"

#include "app/CardFiles.h"
#include "gui/TransferActions.h"
#include "link/PortDiagnostics.h"
#include "text/Cp1251.h"

#include "TempDir.h"
#include "gui/QtTranslations.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace kvort::gui::test {

namespace {

const char* kReadNotFound =
    "НЕ ПОДКЛЮЧЕН ИЛИ НЕ ПЕРЕВЕДЕН В РЕЖИМ \"СЧИТЫВАНИЯ КОНФИГУРАЦИИ\" ПРИБОР ПУ-П";
const char* kWriteNotFound =
    "НЕ ПОДКЛЮЧЕН ИЛИ НЕ ПЕРЕВЕДЕН В РЕЖИМ \"ЗАПИСИ КОНФИГУРАЦИИ\" ПРИБОР ПУ-П";

} // namespace

class WindowUseTest : public GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        QApplication::setActiveWindow(m_window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
        // No panel anywhere: every search ends at once with "not found".
        ::setenv("KVORT_PORTS", (m_dir / "ttyNONE").c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("KVORT_PORTS");
        GuiTest::TearDown();
    }
    QTabWidget* tabs() const { return m_window->findChild<QTabWidget*>("tabs"); }
    QProgressBar* progressBar() const { return m_window->findChild<QProgressBar*>("progressBar"); }
    // The message of a search that found nothing.
    void expectNotFound(const char* text) {
        m_prompts.expectMessage(cp("ОШИБКА"), cp(text), MsgIcon::Error, MsgButtons::Ok,
                                MsgResult::Ok);
    }
    void press(QKeySequence keys) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget()
                                                      : static_cast<QWidget*>(m_window.get());
        QTest::keySequence(target, keys);
    }
};

TEST_F(WindowUseTest, EveryShortcutReachesItsAction) {
    createNew();
    struct Row {
        QKeySequence keys;
        const char* action;
        std::function<void()> expect; // the questions the action asks
    };
    const std::vector<Row> rows = {
        {Qt::Key_F2, "fileOpenAction",
         [&] { m_prompts.expectOpenFile(std::nullopt, cnfDialog()); }},
        {Qt::Key_F8, "readConfigPanelAction", [&] { expectNotFound(kReadNotFound); }},
        // The reads are given back after a search that found nothing.
        {Qt::CTRL | Qt::Key_F8, "readConfigCardAction",
         [&] { m_prompts.expectOpenFile(std::nullopt, CardFileDialog()); }},
        {Qt::Key_F8, "readConfigPanelAction", [&] { expectNotFound(kReadNotFound); }},
        {Qt::Key_F2, "fileOpenAction",
         [&] { m_prompts.expectOpenFile(std::nullopt, cnfDialog()); }},
        {Qt::Key_F4, "newConfigAction",
         [&] {
             m_prompts.expectSaveFile(m_dir / "ОБЪЕКТ", newConfigDialog());
             // ОБЪЕКТ.cnf is there: the question about replacing it.
             m_prompts.expectMessageCaption(cp("ИНФОРМАЦИЯ"), MsgResult::Yes);
         }},
        {Qt::Key_F9, "writeConfigAction", [&] { expectNotFound(kWriteNotFound); }},
        {Qt::CTRL | Qt::Key_F9, "writeConfigCardAction", [&] { m_prompts.expectSeries(-1); }},
        {Qt::Key_F1, "helpConfigAction", [] {}},
        {Qt::CTRL | Qt::Key_P, "printConfigAction", [] {}}, // the preview, closed below
    };
    // Ctrl+P shows the report preview; close each one as it comes up.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == QStringLiteral("reportPreview"))
            modal->close();
    });
    closer.start(10);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.keys.toString().toStdString() + " " + row.action);
        QSignalSpy triggered(action(row.action), &QAction::triggered);
        row.expect();
        press(row.keys);
        EXPECT_EQ(triggered.count(), 1);
        EXPECT_TRUE(m_prompts.allAnswered());
    }
    EXPECT_EQ(m_prompts.documentsOpened().size(), 1u);
}

TEST_F(WindowUseTest, CtrlTabSwitchesTabsAndTheNoteStaysWithItsTab) {
    createNew();
    grid("zoneGrid")->setFocus();
    const QString note = q("ТОЛЬКО ДЛЯ ПРИБОРОВ ПУ-ПТ ИЛИ ПУ-П С ПРОШИВКОЙ ПТ");
    struct Row {
        QKeySequence keys;
        int tab;
        bool noteShown;
    };
    const std::vector<Row> rows = {
        {Qt::CTRL | Qt::Key_Tab, 1, false},
        {Qt::CTRL | Qt::Key_Tab, 2, true},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, 1, false},
        {Qt::CTRL | Qt::Key_Tab, 2, true},
        {Qt::CTRL | Qt::Key_Tab, 0, false}, // round to the first again
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, 2, true},
    };
    for (const Row& row : rows) {
        press(row.keys);
        EXPECT_EQ(tabs()->currentIndex(), row.tab) << row.keys.toString().toStdString();
        EXPECT_EQ(label("statusPanel")->text() == note, row.noteShown) << row.tab;
    }
    // A new configuration comes up on the first tab, without the note.
    createNew("ДРУГОЙ");
    EXPECT_EQ(tabs()->currentIndex(), 0);
    EXPECT_TRUE(label("statusPanel")->text().isEmpty());
}

TEST_F(WindowUseTest, ANewConfigurationShowsItselfNotTheOneBefore) {
    const fs::path full = kvort::test::CopySample("full", m_dir);
    open(full);
    QTableWidget* zones = grid("zoneGrid");
    zones->setCurrentCell(200, 1);
    zones->scrollToItem(zones->item(200, 1));
    ASSERT_GT(zones->verticalScrollBar()->value(), 0);
    ASSERT_TRUE(label("relay1Label")->isVisibleTo(m_window.get()) ||
                label("extinguishing1Label")->isVisibleTo(m_window.get()));

    // F4 in a slot list is the menu's F4, and leaves the list closed.
    slotList(1)->setFocus();
    m_prompts.expectSaveFile(m_dir / "НОВЫЙ", newConfigDialog());
    QTest::keyClick(slotList(1), Qt::Key_F4);
    EXPECT_FALSE(slotList(1)->view()->isVisible());

    EXPECT_EQ(label("sourcePanel")->text(), q("  ИСТОЧНИК:  НОВЫЙ"));
    EXPECT_EQ(zones->currentRow(), 0);
    EXPECT_EQ(zones->verticalScrollBar()->value(), 0);
    for (int b = 1; b <= 8; ++b) {
        EXPECT_FALSE(
            label(QStringLiteral("relay%1Label").arg(b).toLatin1())->isVisibleTo(m_window.get()))
            << b;
        EXPECT_FALSE(label(QStringLiteral("extinguishing%1Label").arg(b).toLatin1())
                         ->isVisibleTo(m_window.get()))
            << b;
    }
}

TEST_F(WindowUseTest, ADropDownListShowsItsFocusAndOpensOnOneClick) {
    createNew();
    QComboBox* list = slotList(1);
    // The mark shows however the focus came (here not by a key).
    grid("zoneGrid")->setFocus();
    const QImage unfocused = list->grab().toImage();
    list->setFocus();
    ASSERT_TRUE(list->hasFocus());
    EXPECT_NE(list->grab().toImage(), unfocused);

    QTest::mouseClick(list, Qt::LeftButton);
    EXPECT_TRUE(list->view()->isVisible()); // at once, no waiting
    list->hidePopup();

    m_prompts.expectInput(cp("ППКП1"), cp("ВВЕДИТЕ КОММЕНТАРИЙ К ПРИБОРУ(НЕ БОЛЕЕ 20 ЗНАКОВ)"),
                          std::nullopt);
    QTest::mouseDClick(list, Qt::LeftButton);
    EXPECT_FALSE(list->view()->isVisible());
    EXPECT_EQ(list->currentText(), q("НЕТ"));
}

TEST_F(WindowUseTest, ASearchThatFindsNoPanelSaysWhatStandsInTheWay) {
    // A machine where ModemManager probes the USB adapter the ports lead to.
    const fs::path root = m_dir / "machine";
    SystemRoots machine;
    machine.proc = (root / "proc").string();
    machine.dev = (root / "dev").string();
    machine.sys = (root / "sys").string();
    machine.selfPid = 1;
    fs::create_directories(root / "proc" / "400");
    fs::create_directories(root / "dev");
    fs::create_directories(root / "sys");
    std::ofstream(root / "proc" / "400" / "comm") << "ModemManager\n";
    const fs::path adapter = root / "dev" / "ttyUSB0";
    std::ofstream(adapter) << "x";
    ::setenv("KVORT_PORTS", adapter.c_str(), 1);
    std::vector<std::string> searched;
    m_window->transfers().setPortHints([&](const PortMap& map) {
        searched = map.paths();
        return noPanelHints(map, machine);
    });
    const std::string hints = noPanelHints(PortMap::parse(adapter.string()), machine);
    ASSERT_NE(hints.find("ModemManager"), std::string::npos) << hints;

    createNew();
    for (const char* name : {"writeConfigAction", "readConfigPanelAction"}) {
        SCOPED_TRACE(name);
        expectNotFound(std::string(name) == "writeConfigAction" ? kWriteNotFound : kReadNotFound);
        m_prompts.expectMessageCaption(cp("ВНИМАНИЕ"));
        action(name)->trigger();
        ASSERT_TRUE(m_prompts.allAnswered());
        const auto& box = m_prompts.asked().back();
        EXPECT_EQ(box.icon, MsgIcon::Warning);
        EXPECT_EQ(box.buttons, MsgButtons::Ok);
        EXPECT_NE(text::toUtf8(box.text).find(hints.substr(0, hints.size() - 1)), std::string::npos)
            << text::toUtf8(box.text);
        EXPECT_EQ(searched.at(0), adapter.string());
    }
}

TEST_F(WindowUseTest, TheStandardDialogsSpeakRussian) {
    const std::unique_ptr<QTranslator> texts = installQtTranslations();
    ASSERT_NE(texts, nullptr) << "qt6-translations-l10n is not installed";
    QDialogButtonBox box(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), q("Отмена"));
    EXPECT_EQ(box.button(QDialogButtonBox::Open)->text(), q("Открыть"));
    QLocale::setDefault(QLocale::c());
}

} // namespace kvort::gui::test
