// What the window keeps when it replaces a configuration: the question
// before a new one over an existing NAME, the history and its restore, the
// working copies of an earlier opening, and the view after a discard.
#include "GuiFixture.h"

#include "TempDir.h"
#include "document/ConfigFileSet.h"
#include "document/ConfigHistory.h"
#include "gui/dialogs/HistoryDialog.h"
#include "text/Cp1251.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>

#include <map>

namespace fs = std::filesystem;

namespace kvort::gui::test {
namespace {

class NothingLostTest : public GuiTest {
  protected:
    // NAME.cnf and every NAME.tbN, by file name.
    std::map<std::string, std::string> setBytes(const fs::path& cnf) const {
        std::map<std::string, std::string> out;
        for (const fs::path& p : setMembers(ConfigFileSet(cnf)))
            out[p.filename().string()] = fileBytes(p);
        return out;
    }
    bool tabsVisible() const { return m_window->findChild<QTabWidget*>("tabs")->isVisible(); }
    // F4 with the chosen name onto an existing configuration, answering
    // the question about it.
    void newOver(const fs::path& chosen, MsgResult answer) {
        m_prompts.expectSaveFile(chosen, newConfigDialog());
        m_prompts.expectMessageCaption(cp("ИНФОРМАЦИЯ"), answer);
        action("newConfigAction")->trigger();
        ASSERT_TRUE(m_prompts.allAnswered());
        const auto& asked = m_prompts.asked().back();
        EXPECT_EQ(asked.buttons, MsgButtons::YesNo);
        EXPECT_EQ(asked.icon, MsgIcon::Question);
        const std::string text = text::toUtf8(asked.text);
        EXPECT_NE(text.find(ConfigFileSet(chosen).cnf().string()), std::string::npos) << text;
        EXPECT_NE(text.find("ИСТОРИИ"), std::string::npos) << text;
    }
    // Opens the history, restores its newest entry and says what the
    // dialog listed.
    QStringList restoreNewest() {
        QStringList listed;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<HistoryDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                ADD_FAILURE() << "no history dialog";
                return;
            }
            QTreeWidget* tree = dialog->tree();
            for (int i = 0; i < tree->topLevelItemCount(); ++i)
                listed << tree->topLevelItem(i)->text(1);
            tree->setCurrentItem(tree->topLevelItem(0));
            const fs::path cnf = m_window->session().cnfPath();
            const HistoryEntry newest = listHistory(ConfigFileSet(cnf)).back();
            m_prompts.expectMessage(cp("ИНФОРМАЦИЯ"), RestoreQuestion(newest), MsgButtons::YesNo,
                                    MsgResult::Yes);
            dialog->restoreButton()->click();
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the dialog stayed open";
                dialog->reject();
            }
        });
        action("historyAction")->trigger();
        return listed;
    }
};

TEST_F(NothingLostTest, NewOverTheFullSampleAsksFirstAndItsHistoryGivesTheSampleBack) {
    const fs::path cnf = kvort::test::CopySample("full", m_dir);
    const auto sample = setBytes(cnf);
    ASSERT_GT(sample.size(), 2u);
    const fs::path chosen = ChangeFileExt(cnf, ".txt"); // the set is NAME whatever the extension

    newOver(chosen, MsgResult::No);
    EXPECT_EQ(setBytes(cnf), sample);
    EXPECT_FALSE(fs::exists(historyFolder(ConfigFileSet(cnf))));
    EXPECT_FALSE(tabsVisible());
    EXPECT_FALSE(action("historyAction")->isEnabled());

    newOver(chosen, MsgResult::Yes);
    ASSERT_NE(setBytes(cnf), sample);
    EXPECT_EQ(key(cnf, "ЗОНА", "1"), "ЗОНА 1");
    ASSERT_TRUE(action("historyAction")->isEnabled());

    const QStringList listed = restoreNewest();
    EXPECT_EQ(listed, QStringList{QString::fromStdString(reasonText(reason::kNew))});
    EXPECT_EQ(setBytes(cnf), sample);
    // The view is the restored configuration's, and nothing is left to ask.
    EXPECT_EQ(cell("zoneGrid", 0, 1).toStdString(), *key(cnf, "ЗОНА", "1"));
    EXPECT_FALSE(m_window->session().modified());
    // The new configuration went into an entry of its own before.
    EXPECT_EQ(listHistory(ConfigFileSet(cnf)).back().reason, reason::kRestore);
}

TEST_F(NothingLostTest, NoAtClosingKeepsANewConfigurationOverAnEarlierOpening) {
    const fs::path cnf = writeCnf("X", "[СОСТАВ]\n0=ПУ-П\n[ПРИБОРЫ]\nПУ-П=-8\n[ЗОНА]\n1=СТАРОЕ\n");
    open(cnf);
    ASSERT_TRUE(fs::exists(m_dir / "X.~cnf"));

    newOver(m_dir / "X", MsgResult::Yes);
    // The copies of the opening belong to the configuration just replaced.
    EXPECT_FALSE(fs::exists(m_dir / "X.~cnf"));
    const HistoryEntry kept = listHistory(ConfigFileSet(cnf)).back();
    EXPECT_TRUE(fs::exists(kept.folder / "X.~cnf"));
    EXPECT_TRUE(fs::exists(kept.folder / "X.cnf"));

    pickText(1, q("ППКП"));
    const std::string made = fileBytes(cnf);
    m_prompts.expectMessage(cp("ИНФОРМАЦИЯ"), cp("СОХРАНИТЬ ИЗМЕНЕНИЯ В КОНФИГУРАЦИИ? "),
                            MsgButtons::YesNoCancel, MsgResult::No);
    EXPECT_TRUE(m_window->close());
    EXPECT_EQ(fileBytes(cnf), made);
    EXPECT_EQ(key(cnf, "ЗОНА", "1"), "ЗОНА 1");
    EXPECT_EQ(key(cnf, "СОСТАВ", "1"), "ППКП");
}

TEST_F(NothingLostTest, NoAtTheOpenPromptShowsTheFilesEvenWhenTheDialogIsCancelled) {
    const fs::path cnf =
        writeCnf("ОБЪЕКТ", "[СОСТАВ]\n0=ПУ-П\n1=ППКП\n[ПРИБОРЫ]\nПУ-П=-8\nППКП1=-8\n"
                           "[ЗОНА]\n1=СКЛАД\n");
    open(cnf);
    const std::string opened = fileBytes(cnf);
    pickText(1, q("БРИТ"));
    grid("zoneGrid")->item(0, 1)->setText(q("ЦЕХ"));
    ASSERT_TRUE(m_window->session().modified());

    m_prompts.expectMessage(cp("ИНФОРМАЦИЯ"), cp("СОХРАНИТЬ ИЗМЕНЕНИЯ В КОНФИГУРАЦИИ? "),
                            MsgButtons::YesNo, MsgResult::No);
    m_prompts.expectOpenFile(std::nullopt, cnfDialog());
    action("fileOpenAction")->trigger();

    EXPECT_EQ(fileBytes(cnf), opened);
    // What is shown is what a write would send: the files.
    EXPECT_EQ(slotList(1)->currentText(), q("ППКП"));
    EXPECT_EQ(cell("zoneGrid", 0, 1), q("СКЛАД"));
    EXPECT_EQ(text::toUtf8(m_window->session().zoneNames()[0]), "СКЛАД");
    EXPECT_FALSE(m_window->session().modified());
    EXPECT_TRUE(action("writeConfigAction")->isEnabled());
}

} // namespace
} // namespace kvort::gui::test
