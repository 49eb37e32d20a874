// The composition panel: slot changes and what they write, the three grid
// layouts, the БРВУ and БДУ labels and the device comments.
#include "GuiFixture.h"

#include "gui/widgets/DropDownList.h"
#include "gui/widgets/ListKeyFilter.h"
#include "text/Cp1251.h"

#include <QComboBox>
#include <QLabel>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

namespace fs = std::filesystem;

namespace kvort::gui::test {

namespace {

// The addresses the detector grid shows, one string per row ("" = blank).
std::vector<QString> addressColumn(QTableWidget* grid) {
    std::vector<QString> rows;
    for (int r = 0; r < grid->rowCount(); ++r) {
        QTableWidgetItem* item = grid->item(r, 0);
        rows.push_back(item ? item->text() : QString());
    }
    return rows;
}

} // namespace

TEST_F(GuiTest, ChoosingAPanelWritesTheSlotAndShowsEightLines) {
    const fs::path cnf = createNew();
    pick(1, 1);
    pick(2, 2);
    pick(3, 1);
    EXPECT_EQ(key(cnf, "СОСТАВ", "3"), "ППКП");
    EXPECT_EQ(key(cnf, "ПРИБОРЫ", "ППКП3"), "-8");
    EXPECT_TRUE(slotList(4)->isEnabled());
    EXPECT_FALSE(slotList(5)->isEnabled());
    ASSERT_TRUE(fs::exists(m_dir / "ОБЪЕКТ.tb3"));
    EXPECT_EQ(fs::file_size(m_dir / "ОБЪЕКТ.tb3"), 0u);

    const auto rows = addressColumn(grid("detectorGrid"));
    ASSERT_EQ(rows.size(), 512u); // 513 with the header row
    for (int line = 1; line <= 8; ++line) {
        const int first = (line - 1) * 64;
        EXPECT_EQ(rows[first], QStringLiteral("И3%1-01").arg(line));
        EXPECT_EQ(rows[first + 59], QStringLiteral("И3%1-60").arg(line));
        for (int gap = 60; gap < 64; ++gap)
            EXPECT_TRUE(rows[first + gap].isEmpty()) << line << " " << gap;
    }
}

TEST_F(GuiTest, ChoosingNothingInTheMiddleCutsTheCompositionThere) {
    const fs::path cnf = createNew();
    for (int slot = 1; slot <= 5; ++slot)
        pick(slot, 1);
    pick(2, 0); // НЕТ
    for (int slot = 2; slot <= 8; ++slot) {
        EXPECT_FALSE(key(cnf, "СОСТАВ", std::to_string(slot))) << slot;
        EXPECT_FALSE(key(cnf, "ПРИБОРЫ", "ППКП" + std::to_string(slot))) << slot;
    }
    EXPECT_EQ(key(cnf, "СОСТАВ", "1"), "ППКП");
    for (int slot = 3; slot <= 8; ++slot) {
        EXPECT_EQ(slotList(slot)->currentText(), q("НЕТ")) << slot;
        EXPECT_FALSE(slotList(slot)->isEnabled()) << slot;
    }
    EXPECT_TRUE(slotList(2)->isEnabled());
    EXPECT_EQ(cell("detectorGrid", 0, 0), q("И11-01")); // slot 1 is shown
    EXPECT_TRUE(fs::exists(m_dir / "ОБЪЕКТ.tb5"));      // files of removed slots stay
}

TEST_F(GuiTest, TheEmptyItemIsAChoiceToo) {
    const fs::path cnf = createNew();
    pick(1, 4);
    EXPECT_EQ(key(cnf, "СОСТАВ", "1"), "");
    EXPECT_EQ(key(cnf, "ПРИБОРЫ", "ППКП1"), "-8");
    EXPECT_TRUE(slotList(2)->isEnabled());
    EXPECT_EQ(grid("detectorGrid")->rowCount(), 512);
    EXPECT_EQ(cell("detectorGrid", 0, 0), q("И11-01"));
}

TEST_F(GuiTest, GridLayoutFollowsTheDeviceWhateverWasShownBefore) {
    const fs::path cnf = createNew();
    for (int slot = 1; slot <= 4; ++slot)
        pick(slot, 1);
    struct Row {
        int item;
        int rows;
        std::vector<const char*> addresses; // the filled rows, from the first
    };
    const std::vector<Row> table = {
        {2, 4, {"И51-01", "И52-01", "И53-01", "И54-01"}}, // БРИТ
        {3, 59, {"И51-01", "И51-02"}},                    // ПИУ
        {1, 512, {"И51-01"}},                             // ППКП
        {3, 59, {"И51-01"}},                              // ПИУ after ППКП
    };
    for (const Row& row : table) {
        pick(5, row.item);
        const auto rows = addressColumn(grid("detectorGrid"));
        ASSERT_EQ(int(rows.size()), row.rows) << row.item;
        for (size_t i = 0; i < row.addresses.size(); ++i)
            EXPECT_EQ(rows[i], q(row.addresses[i]));
        if (row.rows == 59) {
            EXPECT_EQ(rows[47], q("И51-48"));
            for (int blank = 48; blank < 59; ++blank)
                EXPECT_TRUE(rows[blank].isEmpty()) << blank;
            for (int c = 1; c < 5; ++c)
                EXPECT_TRUE(cell("detectorGrid", 50, c).isEmpty());
        }
    }
    EXPECT_EQ(key(cnf, "СОСТАВ", "5"), "ПИУ");

    // The button of an empty slot leaves the grid as it is.
    QTest::mouseClick(m_window->findChild<QToolButton*>("slot7Button"), Qt::LeftButton);
    EXPECT_EQ(grid("detectorGrid")->rowCount(), 59);
    EXPECT_EQ(cell("detectorGrid", 0, 0), q("И51-01"));
    // The button of a filled one shows it.
    QTest::mouseClick(m_window->findChild<QToolButton*>("slot2Button"), Qt::LeftButton);
    EXPECT_EQ(cell("detectorGrid", 0, 0), q("И21-01"));
}

TEST_F(GuiTest, OpeningShowsFileValuesAsTheyStand) {
    const fs::path cnf = writeCnf("ОБЪЕКТ", R"([СОСТАВ]
0=ПУ-П(4)
1=ППКП(8)
2=БДУ(4)
[ПРИБОРЫ]
ПУ-П=-4
ППКП1=-8
ППКП2=-8
)");
    writeText(m_dir / "ОБЪЕКТ.tb0", "[И01-05]\nТЕКСТ=КОРИДОР 2 ЭТАЖ\nТИП=ДЫМОВОЙ\nЗОНА=СКЛАД\n"
                                    "СОСТОЯНИЕ=ВКЛ\n");
    open(cnf);
    EXPECT_EQ(slotList(0)->currentText(), q("ПУ-П"));
    EXPECT_EQ(slotList(1)->currentText(), q("ППКП"));
    auto* third = qobject_cast<DropDownList*>(slotList(2));
    EXPECT_EQ(third->text(), q("БДУ(4)"));
    EXPECT_TRUE(slotList(3)->isEnabled());
    EXPECT_FALSE(slotList(4)->isEnabled());
    EXPECT_EQ(key(cnf, "СОСТАВ", "0"), "ПУ-П(4)"); // kept until slot 0 changes

    // Slot 0's detectors, with the record's keys in columns 1 to 4.
    EXPECT_EQ(cell("detectorGrid", 4, 0), q("И01-05"));
    EXPECT_EQ(cell("detectorGrid", 4, 1), q("ДЫМОВОЙ"));
    EXPECT_EQ(cell("detectorGrid", 4, 2), q("СКЛАД"));
    EXPECT_EQ(cell("detectorGrid", 4, 3), q("КОРИДОР 2 ЭТАЖ"));
    EXPECT_EQ(cell("detectorGrid", 4, 4), q("ВКЛ"));
    EXPECT_TRUE(cell("detectorGrid", 5, 1).isEmpty());

    QTest::mouseClick(m_window->findChild<QToolButton*>("slot2Button"), Qt::LeftButton);
    EXPECT_EQ(grid("detectorGrid")->rowCount(), 4);
    EXPECT_EQ(cell("detectorGrid", 3, 0), q("И24-01"));

    pick(0, 0);
    EXPECT_EQ(key(cnf, "СОСТАВ", "0"), "ПУ-П");
    EXPECT_EQ(key(cnf, "ПРИБОРЫ", "ПУ-П"), "-8");
    EXPECT_TRUE(m_window->session().modified());
}

TEST_F(GuiTest, AFileWithoutCompositionIsCompletedOnOpening) {
    const fs::path cnf = writeCnf("СТАРЫЙ", R"([ПРИБОРЫ]
ППКП1=-8
ППКП2=НЕТ
ППКП3=-4
)");
    open(cnf);
    EXPECT_EQ(key(cnf, "СОСТАВ", "0"), "ПУ-П(8)");
    EXPECT_EQ(key(cnf, "СОСТАВ", "1"), "ППКП(8)");
    EXPECT_FALSE(key(cnf, "СОСТАВ", "2"));
    EXPECT_EQ(key(cnf, "СОСТАВ", "3"), "ППКП(8)");
    EXPECT_EQ(slotList(1)->currentText(), q("ППКП"));
    EXPECT_EQ(slotList(2)->currentText(), q("НЕТ"));
    EXPECT_FALSE(slotList(3)->isEnabled()); // slot 2 holds НЕТ
}

TEST_F(GuiTest, BlockLabelsFollowScenariosAndDirections) {
    const fs::path cnf = writeCnf("ОБЪЕКТ", R"([СОСТАВ]
0=ПУ-П
[СЦЕНАРИЙ 01]
ШАГ 01=БРВУ3/01/ВКЛ /000
ШАГ 02=БРВУ9/01/ВКЛ /000
[СЦЕНАРИЙ 097]
ШАГ 10=БРВУ7/02/ВЫКЛ/010
[НАПРАВЛЕНИЕ 2]
ЗОНА=ЗОНА 1
[НАПРАВЛЕНИЕ 3]
)");
    open(cnf);
    for (int b = 1; b <= 8; ++b) {
        const bool relay = b == 3 || b == 7;
        EXPECT_EQ(label(QStringLiteral("relay%1Label").arg(b).toLatin1())->isVisible(), relay) << b;
        EXPECT_EQ(label(QStringLiteral("extinguishing%1Label").arg(b).toLatin1())->isVisible(),
                  b == 2)
            << b;
    }
}

TEST_F(GuiTest, ADamagedRelayStepIsReportedAndTheOpeningCompletes) {
    const fs::path cnf = writeCnf("ОБЪЕКТ", R"([СЦЕНАРИЙ 01]
ШАГ 01=БРВУ2/01/ВКЛ /000
[СЦЕНАРИЙ 02]
ШАГ 01=БРВУX/01/ВКЛ /000
ШАГ 02=БРВУ4/01/ВКЛ /000
)");
    m_prompts.expectOpenFile(cnf, cnfDialog());
    m_prompts.expectMessageCaption(cp("ОШИБКА"));
    action("fileOpenAction")->trigger();
    EXPECT_NE(lastText(m_prompts).find("СЦЕНАРИЙ 02"), std::string::npos);
    EXPECT_TRUE(label("relay2Label")->isVisible());
    EXPECT_FALSE(label("relay4Label")->isVisible());
    EXPECT_EQ(label("sourcePanel")->text(), q("  ИСТОЧНИК:  ОБЪЕКТ"));
}

TEST_F(GuiTest, CommentsAreStoredInUpperCaseAndRemovedWhenEmpty) {
    const fs::path cnf = writeCnf("ОБЪЕКТ", R"([СОСТАВ]
0=ПУ-П
1=ППКП
[СЦЕНАРИЙ 01]
ШАГ 01=БРВУ3/01/ВКЛ /000
[КОММЕНТАРИИ К ПРИБОРАМ]
ППКП2=старый
)");
    open(cnf);
    const char* prompt = "ВВЕДИТЕ КОММЕНТАРИЙ К ПРИБОРУ(НЕ БОЛЕЕ 20 ЗНАКОВ)";
    struct Row {
        QWidget* target;
        const char* key;
        std::optional<std::string> typed; // nullopt = Cancel
        std::optional<std::string> stored;
    };
    const std::vector<Row> rows = {
        {slotList(0), "ПУ-П", "щит охраны, 1 этаж", "ЩИТ ОХРАНЫ, 1 ЭТАЖ"},
        {slotList(2), "ППКП2", std::nullopt, "СТАРЫЙ"},
        {slotList(1), "ППКП1", "", std::nullopt},
        {label("relay3Label"), "БРВУ3", "насосная ёж", "НАСОСНАЯ ЁЖ"},
    };
    for (const Row& row : rows) {
        m_prompts.expectInput(cp(row.key), cp(prompt),
                              row.typed ? std::optional<std::string>(cp(*row.typed))
                                        : std::nullopt);
        QTest::mouseDClick(row.target, Qt::LeftButton);
        EXPECT_EQ(key(cnf, "КОММЕНТАРИИ К ПРИБОРАМ", row.key), row.stored) << row.key;
    }
    EXPECT_EQ(m_prompts.asked().back().initial, "");
    EXPECT_FALSE(m_window->session().modified());

    // A disabled list cannot be double-clicked.
    QTest::mouseDClick(slotList(5), Qt::LeftButton);
}

} // namespace kvort::gui::test
