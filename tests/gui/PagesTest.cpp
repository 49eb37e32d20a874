// Each page on a session of its own, without the main window: what an
// editor that plugs in as a page relies on.
#include "GuiFixture.h"
#include "TempDir.h"

#include "app/ConfigSession.h"
#include "app/Ports.h"
#include "document/ConfigFileSet.h"
#include "document/Detectors.h"
#include "document/EditorViews.h"
#include "gui/pages/AlarmPage.h"
#include "gui/pages/DirectionsPage.h"
#include "gui/pages/ScenarioPage.h"
#include "gui/widgets/DropDownList.h"
#include "text/Cp1251.h"

#include <QLabel>
#include <QTableWidget>

namespace kvort::gui::test {
namespace {

namespace fs = std::filesystem;

class RecordingProgress : public NullProgress {
  public:
    void setStatus(std::string_view text) override { status = kvort::text::toUtf8(text); }
    std::string status = "-";
};

class PageTest : public ::testing::Test {
  protected:
    void SetUp() override { cnf = kvort::test::CopySample("full", tmp.path()); }
    void TearDown() override { EXPECT_TRUE(prompts.allAnswered()); }
    QTableWidget* table(QWidget& page, const char* name) {
        return page.findChild<QTableWidget*>(QString::fromLatin1(name));
    }

    kvort::test::TempDir tmp;
    fs::path cnf;
    ConfigSession session;
    ScriptedPrompts prompts;
    RecordingProgress progress;
    PageContext context{session, prompts, progress};
};

TEST_F(PageTest, AlarmPageShowsWhatTheSessionLoadsAndHandsZoneEditsBack) {
    AlarmPage page(context, nullptr);
    session.open(cnf);

    const IniStore file(cnf);
    for (int n = 1; n < kSlotCount; ++n) {
        auto* list = page.findChild<DropDownList*>(QStringLiteral("slot%1Combo").arg(n));
        EXPECT_EQ(list->text(),
                  QString::fromStdString(kvort::text::toUtf8(DisplayKind(SlotKind(file, n)))))
            << n;
    }
    QTableWidget* zones = table(page, "zoneGrid");
    for (int z : {1, 2, 256})
        EXPECT_EQ(zones->item(z - 1, 1)->text(),
                  QString::fromStdString(kvort::text::toUtf8(ZoneName(file, z))));
    // Slot 0 is shown: eight lines of 64 rows, its detectors from NAME.tb0.
    QTableWidget* detectors = table(page, "detectorGrid");
    ASSERT_EQ(detectors->rowCount(), 512);
    EXPECT_EQ(detectors->item(0, 0)->text(), q("И01-01"));
    EXPECT_EQ(detectors->item(64 + 59, 0)->text(), q("И02-60"));
    EXPECT_EQ(detectors->item(60, 0), nullptr);
    const DetectorRecord first = ReadDetector(IniStore(ConfigFileSet(cnf).tb(0)), 0, 1, 1);
    EXPECT_EQ(cp(detectors->item(0, 3)->text().toStdString()), first.text);

    // The grid is a view: a changed name is the session's at once.
    zones->item(4, 1)->setText(q("СКЛАД 5"));
    EXPECT_EQ(session.zoneNames()[4], cp("СКЛАД 5"));
}

TEST_F(PageTest, ScenarioPageListsTheScenariosOfTheFile) {
    ScenarioPage page(context, nullptr);
    session.open(cnf);
    int defined = 0;
    const IniStore file(cnf);
    for (int s = 1; s <= kScenarioCount; ++s)
        defined += ReadScenario(file, s).exists ? 1 : 0;
    ASSERT_GT(defined, 0);
    EXPECT_EQ(table(page, "scenarioView")->rowCount(), defined);
    page.shown();
    EXPECT_EQ(progress.status, "");
}

TEST_F(PageTest, DirectionsPageWritesUnsavedZoneNamesBeforeListing) {
    DirectionsPage page(context, nullptr);
    session.open(cnf);
    const DirectionChoices expected = ReadDirectionChoices(IniStore(cnf));
    QTableWidget* grid = table(page, "directionView");
    for (int d = 0; d < kDirectionCount; ++d)
        EXPECT_EQ(cp(grid->item(d, 0)->text().toStdString()), expected[d].zone) << d;

    session.setZoneName(3, cp("НОВОЕ ИМЯ"));
    page.shown(); // not modified: the file keeps its name
    EXPECT_NE(ZoneName(IniStore(cnf), 3), cp("НОВОЕ ИМЯ"));
    session.setModified(true);
    page.shown();
    EXPECT_EQ(ZoneName(IniStore(cnf), 3), cp("НОВОЕ ИМЯ"));
    EXPECT_FALSE(session.modified());
    EXPECT_EQ(progress.status, "ТОЛЬКО ДЛЯ ПРИБОРОВ ПУ-ПТ ИЛИ ПУ-П С ПРОШИВКОЙ ПТ");
}

} // namespace
} // namespace kvort::gui::test
