// The window as the installer first meets it: start state, menus,
// shortcuts, the selection-only lists, help and the column rule.
#include "GuiFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>
#include <cstdlib>

namespace kvort::gui::test {

namespace {
// Typed characters with no key of their own on a Latin keyboard.
void typeText(QWidget* target, const QString& text) {
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    }
}
} // namespace

TEST_F(GuiTest, StartsWithNoConfigurationAndOnlyTheSafeActions) {
    EXPECT_EQ(m_window->windowTitle(), q("КвортКонфигуратор(V6.10) для приборов серии F,H,I"));
    EXPECT_EQ(m_window->minimumSize(), QSize(972, 612));
    EXPECT_FALSE(m_window->findChild<QTabWidget*>("tabs")->isVisible());
    EXPECT_TRUE(label("sourcePanel")->text().isEmpty());
    EXPECT_TRUE(label("statusPanel")->text().isEmpty());
    EXPECT_EQ(label("sourcePanel")->width(), 300);

    for (const char* name :
         {"fileOpenAction", "newConfigAction", "readConfigPanelAction", "readConfigCardAction",
          "readConfigAction", "fileExitAction", "readArchiveAlarmAction", "readArchiveFaultAction",
          "readArchiveEventAction", "helpConfigAction", "aboutConfigAction"})
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    for (const char* name :
         {"writeConfigAction", "writeConfigCardAction", "printConfigAction", "fileJsonAction"})
        EXPECT_FALSE(action(name)->isEnabled()) << name;

    // A tool-bar button follows its action and shows its hint.
    auto* bar = m_window->findChild<QToolBar*>("mainToolBar");
    auto* write = qobject_cast<QToolButton*>(bar->widgetForAction(action("writeConfigAction")));
    ASSERT_NE(write, nullptr);
    EXPECT_FALSE(write->isEnabled());
    EXPECT_EQ(write->toolTip(), q("Запись конфигурации\nв прибор ПУ"));
}

TEST_F(GuiTest, MenusAndToolBarAreInTheirOrder) {
    struct Entry {
        const char* text;
        QKeySequence shortcut;
    };
    const std::vector<std::pair<const char*, std::vector<Entry>>> expected = {
        {"Режим",
         {{"Открыть конфигурацию", Qt::Key_F2},
          {"Создать конфигурацию", Qt::Key_F4},
          {"Считать с ПУ-П", Qt::Key_F8},
          {"Записать в ПУ-П", Qt::Key_F9},
          {"Считать с &SD-карты", QKeySequence(Qt::CTRL | Qt::Key_F8)},
          {"Записать на S&D-карту", QKeySequence(Qt::CTRL | Qt::Key_F9)},
          {"Создать &JSON-файл", {}},
          {"Сравнить с прибором", {}},
          {"", {}},
          {"Выход", {}}}},
        {"Сервис",
         {{"Печать", QKeySequence(Qt::CTRL | Qt::Key_P)},
          {"Сравнить с файлом...", {}},
          {"История конфигурации...", {}}}},
        {"Архивы", {{"Архив пожаров", {}}, {"Архив отказов", {}}, {"Архив событий", {}}}},
        {"Справка", {{"Помощь", Qt::Key_F1}, {"О программе", {}}}},
    };
    const QList<QAction*> menus = m_window->menuBar()->actions();
    ASSERT_EQ(menus.size(), int(expected.size()));
    for (size_t m = 0; m < expected.size(); ++m) {
        EXPECT_EQ(menus[m]->text(), q(expected[m].first));
        const QList<QAction*> entries = menus[m]->menu()->actions();
        ASSERT_EQ(entries.size(), int(expected[m].second.size())) << expected[m].first;
        for (int e = 0; e < entries.size(); ++e) {
            EXPECT_EQ(entries[e]->text(), q(expected[m].second[e].text));
            EXPECT_EQ(entries[e]->shortcut(), expected[m].second[e].shortcut)
                << expected[m].second[e].text;
        }
    }

    QStringList order;
    for (QAction* a : m_window->findChild<QToolBar*>("mainToolBar")->actions())
        order << (a->objectName().isEmpty() ? QStringLiteral("|") : a->objectName());
    EXPECT_EQ(order.join(u' '), QStringLiteral("fileOpenAction newConfigAction printConfigAction "
                                               "readConfigPanelAction writeConfigAction "
                                               "readConfigCardAction writeConfigCardAction | "
                                               "helpConfigAction"));
}

TEST_F(GuiTest, ShortcutsTriggerTheirActions) {
    QApplication::setActiveWindow(m_window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    struct Row {
        QKeySequence keys;
        const char* action;
        bool triggers;
    };
    // Ctrl+P does nothing until a configuration is there.
    QSignalSpy print(action("printConfigAction"), &QAction::triggered);
    QTest::keySequence(m_window.get(), QKeySequence(Qt::CTRL | Qt::Key_P));
    EXPECT_EQ(print.count(), 0);

    m_prompts.expectOpenFile(std::nullopt, cnfDialog());
    QSignalSpy open(action("fileOpenAction"), &QAction::triggered);
    QTest::keyClick(m_window.get(), Qt::Key_F2);
    EXPECT_EQ(open.count(), 1);

    // F8 searches for the panel (here on a port that does not exist).
    ::setenv("KVORT_PORTS", (m_dir / "ttyNONE").c_str(), 1);
    m_prompts.expectMessage(
        cp("ОШИБКА"),
        cp("НЕ ПОДКЛЮЧЕН ИЛИ НЕ ПЕРЕВЕДЕН В РЕЖИМ \"СЧИТЫВАНИЯ КОНФИГУРАЦИИ\" ПРИБОР ПУ-П"),
        MsgButtons::Ok, MsgResult::Ok);
    QTest::keyClick(m_window.get(), Qt::Key_F8);
    ::unsetenv("KVORT_PORTS");

    QTest::keyClick(m_window.get(), Qt::Key_F1);
    ASSERT_EQ(m_prompts.documentsOpened().size(), 1u);
    EXPECT_EQ(m_prompts.documentsOpened()[0].filename(), "KvortConfig.html");
    EXPECT_EQ(m_prompts.documentsOpened()[0].parent_path().filename(), "KvortConfigHelp");

    m_prompts.expectSaveFile(m_dir / "НОВЫЙ", newConfigDialog());
    QSignalSpy created(action("newConfigAction"), &QAction::triggered);
    QTest::keyClick(m_window.get(), Qt::Key_F4);
    EXPECT_EQ(created.count(), 1);

    // Ctrl+P shows the report preview of the new configuration (its detector
    // list); closing it ends the print action.
    int previews = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != QStringLiteral("reportPreview"))
            return;
        ++previews;
        modal->close();
    });
    closer.start(10);
    QTest::keySequence(m_window.get(), QKeySequence(Qt::CTRL | Qt::Key_P));
    closer.stop();
    EXPECT_EQ(print.count(), 1);
    EXPECT_GE(previews, 1);
}

TEST_F(GuiTest, TypedCharactersChangeNoList) {
    const auto cnf = createNew();
    pick(1, 1); // ППКП, so that slot 2 is enabled as well
    for (int slot : {0, 1, 2}) {
        QComboBox* list = slotList(slot);
        const QString before = list->currentText();
        list->setFocus();
        typeText(list, q("ПНБп"));
        QTest::keyClicks(list, "1 nN");
        typeText(list->view(), q("Б"));
        EXPECT_EQ(list->currentText(), before) << slot;
    }
    // The arrow keys still choose, and a choice made so is a slot change.
    slotList(2)->setFocus();
    QTest::keyClick(slotList(2), Qt::Key_Down);
    EXPECT_EQ(slotList(2)->currentText(), q("ППКП"));
    EXPECT_EQ(key(cnf, "СОСТАВ", "2"), "ППКП");
}

TEST_F(GuiTest, AWheelPassingOverAListChangesNothing) {
    const auto cnf = createNew();
    pick(1, 1);
    pick(2, 1);
    grid("zoneGrid")->setFocus();
    for (int slot : {1, 2}) {
        QComboBox* list = slotList(slot);
        ASSERT_FALSE(list->hasFocus());
        for (int delta : {-120, 120, -120}) {
            const QPointF at(list->width() / 2.0, list->height() / 2.0);
            QWheelEvent wheel(at, list->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(list, &wheel);
        }
        EXPECT_EQ(list->currentText(), q("ППКП")) << slot;
    }
    EXPECT_EQ(key(cnf, "СОСТАВ", "2"), "ППКП");
}

TEST_F(GuiTest, WideningTheWindowWidensOnlyTheMessageColumn) {
    createNew();
    QTableWidget* detectors = grid("detectorGrid");
    m_window->resize(1000, 700);
    QCoreApplication::processEvents();
    std::array<int, 5> before{};
    for (int c = 0; c < 5; ++c)
        before[c] = detectors->columnWidth(c);
    m_window->resize(1400, 700);
    QCoreApplication::processEvents();
    for (int c : {0, 1, 2, 4})
        EXPECT_EQ(detectors->columnWidth(c), before[c]) << c;
    EXPECT_EQ(detectors->columnWidth(3) - before[3], 400);
    const QWidget* panel = m_window->findChild<QWidget*>("detectorPanel");
    EXPECT_EQ(detectors->columnWidth(3),
              panel->width() - before[0] - before[1] - before[2] - before[4] - 40);
}

TEST_F(GuiTest, ZoneGridLabelsZonesAndGroups) {
    QTableWidget* zones = grid("zoneGrid");
    ASSERT_EQ(zones->rowCount(), 256);
    EXPECT_EQ(zones->horizontalHeaderItem(0)->text(), q("  ЗОНА"));
    EXPECT_EQ(zones->horizontalHeaderItem(1)->text(), q("    ТЕКСТ"));
    const std::vector<std::pair<int, const char*>> rows = {
        {1, "001 (01)"}, {32, "032 (01)"}, {33, "033 (02)"}, {256, "256 (08)"}};
    for (const auto& [zone, text] : rows)
        EXPECT_EQ(cell("zoneGrid", zone - 1, 0), q(text));
    QTableWidget* detectors = grid("detectorGrid");
    QStringList headers;
    for (int c = 0; c < 5; ++c)
        headers << detectors->horizontalHeaderItem(c)->text();
    EXPECT_EQ(headers.join(u'|'), q(" АДРЕС|      ТИП|     ЗОНА|               СООБЩЕНИЕ| СОСТ."));
}

} // namespace kvort::gui::test

namespace kvort::gui::test {

TEST_F(GuiTest, AboutBoxIsFixedWithOnlyAClosingButton) {
    QString caption;
    QStringList buttons;
    QSize minimum, maximum;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        minimum = box->minimumSize();
        maximum = box->maximumSize();
        for (QAbstractButton* b : box->findChildren<QAbstractButton*>())
            buttons << b->text();
        box->close();
    });
    action("aboutConfigAction")->trigger();
    EXPECT_EQ(caption, q("О программе"));
    EXPECT_EQ(minimum, maximum);
    EXPECT_EQ(buttons, QStringList{q("Закрыть")});
}

} // namespace kvort::gui::test
