// The comparison actions on a session of their own, without the main window,
// and the dialog that shows a comparison.
#include "GuiFixture.h"
#include "TempDir.h"

#include "app/ConfigCompare.h"
#include "app/ConfigSession.h"
#include "app/Ports.h"
#include "document/IniStore.h"
#include "gui/CompareActions.h"
#include "gui/dialogs/CompareDialog.h"
#include "text/Cp1251.h"
#include "text/Literals.h"

#include <QAction>
#include <QLabel>
#include <QTreeWidget>

namespace kvort::gui::test {
namespace {

namespace fs = std::filesystem;
using namespace kvort::text::literals;

class CompareTest : public ::testing::Test {
  protected:
    void SetUp() override {
        cnf = kvort::test::CopySample("full", tmp.path() / "a");
        other = kvort::test::CopySample("full", tmp.path() / "b");
        session.open(cnf);
    }
    void TearDown() override { EXPECT_TRUE(prompts.allAnswered()); }

    kvort::test::TempDir tmp;
    fs::path cnf, other;
    ConfigSession session;
    ScriptedPrompts prompts;
    NullProgress progress;
    NullGate gate;
    struct : ReadObserver {
        void configurationRead(const fs::path&) override {}
    } reads;
    Workflows workflows{session, {prompts, progress, gate, reads}};
    QAction write{nullptr};
};

TEST_F(CompareTest, CompareWithFileShowsEachKindWithItsCountAndChangesNothing) {
    {
        IniStore b(other);
        b.WriteString("ЗОНА"_cp, "3", "СЕРВЕРНАЯ 2"_cp);
        IniStore tb(fs::path(other).replace_extension(".tb1"));
        tb.WriteString("И11-01"_cp, "ТЕКСТ"_cp, "ДРУГОЙ"_cp);
        tb.WriteString("И11-02"_cp, "ЗОНА"_cp, "1.01 ХОЛЛ"_cp);
    }
    const std::string before = kvort::readFile(cnf);
    CompareActions actions(session, workflows, prompts, progress, &write, nullptr);
    write.setEnabled(false);
    EXPECT_FALSE(actions.withFile()->isEnabled()); // follows the write
    write.setEnabled(true);
    ASSERT_TRUE(actions.withFile()->isEnabled());

    std::unique_ptr<CompareDialog> shown;
    actions.setShow(
        [&](const QString& title, const std::vector<std::string>& lead, const Comparison& c) {
            shown = std::make_unique<CompareDialog>(title, lead, c, nullptr);
        });
    prompts.expectOpenFile(other, filterDialog("*.cnf;*.bin|*.cnf;*.bin"));
    actions.withFile()->trigger();
    ASSERT_TRUE(shown);

    QTreeWidget* tree = shown->findChild<QTreeWidget*>(QStringLiteral("compareTree"));
    ASSERT_NE(tree, nullptr);
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("Зоны (1)"));
    EXPECT_EQ(tree->topLevelItem(1)->text(0), QStringLiteral("Извещатели (2)"));
    QTreeWidgetItem* first = tree->topLevelItem(1)->child(0);
    EXPECT_EQ(first->text(0), QStringLiteral("И11-01, текст"));
    EXPECT_EQ(first->text(2), QStringLiteral("«ДРУГОЙ»"));
    EXPECT_TRUE(shown->findChild<QLabel*>(QStringLiteral("compareHeader"))
                    ->text()
                    .contains(QStringLiteral("Различий: 3")));
    EXPECT_EQ(kvort::readFile(cnf), before);
}

TEST_F(CompareTest, DeclinedOfferAfterAWriteReadsNothing) {
    CompareActions actions(session, workflows, prompts, progress, &write, nullptr);
    actions.setShow([](const QString&, const std::vector<std::string>&, const Comparison&) {
        ADD_FAILURE() << "nothing to show";
    });
    prompts.expectMessage(
        cp("ИНФОРМАЦИЯ"),
        cp("ПРОВЕРИТЬ ЗАПИСЬ? ПЕРЕВЕДИТЕ ПУ-П В РЕЖИМ \"СЧИТЫВАНИЯ КОНФИГУРАЦИИ\" "
           "И НАЖМИТЕ \"ДА\""),
        MsgButtons::YesNo, MsgResult::No);
    actions.offerVerify();
}

} // namespace
} // namespace kvort::gui::test
