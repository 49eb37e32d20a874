#include "AppFixture.h"

#include "text/Literals.h"

namespace kvort::testing {
namespace {

using namespace kvort::text::literals;
namespace fs = std::filesystem;

TEST_F(AppTest, ScriptedPromptsAnswerInOrderAndRejectWhatWasNotAnnounced) {
    prompts.expectMessage("ОШИБКА"_cp, "ТЕКСТ"_cp, MsgIcon::Error, MsgButtons::Ok, MsgResult::Ok)
        .expectSeries(1)
        .expectSaveFile(dir / "A.cnf", FileDialogOptions{"*.cnf|*.cnf", ".cnf", "", ""})
        .expectOpenFile(std::nullopt);

    EXPECT_EQ(prompts.message("ОШИБКА"_cp, "ТЕКСТ"_cp, MsgIcon::Error, MsgButtons::Ok),
              MsgResult::Ok);
    EXPECT_EQ(prompts.chooseSeries(), 1);
    EXPECT_EQ(prompts.saveFile({"*.cnf|*.cnf", ".cnf", "", "ignored caption"}), dir / "A.cnf");
    EXPECT_EQ(fs::current_path(), dir); // a confirmed dialog moves the working directory
    EXPECT_EQ(prompts.openFile({}), std::nullopt);
    EXPECT_EQ(prompts.pending(), 0u);
    EXPECT_EQ(prompts.asked().size(), 4u);

    // Nothing left in the script: any prompt is a failure.
    EXPECT_THROW(prompts.chooseSeries(), UnexpectedPrompt);

    // A box whose text, caption, icon or buttons differ is a failure too.
    struct Case {
        std::string caption, text;
        MsgIcon icon;
        MsgButtons buttons;
    };
    const std::vector<Case> wrong = {
        {cp("ВНИМАНИЕ"_cp), cp("ТЕКСТ"_cp), MsgIcon::Error, MsgButtons::Ok},
        {cp("ОШИБКА"_cp), cp("ТЕКСТ "_cp), MsgIcon::Error, MsgButtons::Ok},
        {cp("ОШИБКА"_cp), cp("ТЕКСТ"_cp), MsgIcon::Warning, MsgButtons::Ok},
        {cp("ОШИБКА"_cp), cp("ТЕКСТ"_cp), MsgIcon::Error, MsgButtons::YesNo},
    };
    for (const Case& c : wrong) {
        ScriptedPrompts p;
        p.expectMessage("ОШИБКА"_cp, "ТЕКСТ"_cp, MsgIcon::Error, MsgButtons::Ok, MsgResult::Ok);
        EXPECT_THROW(p.message(c.caption, c.text, c.icon, c.buttons), UnexpectedPrompt);
    }
    // A dialog with a different filter, or a dialog of the other kind.
    ScriptedPrompts p;
    p.expectSaveFile(dir / "B.BIN", FileDialogOptions{"*.BIN|*.BIN", ".BIN", "CONFIG", ""});
    EXPECT_THROW(p.saveFile({"*.cnf|*.cnf", ".BIN", "CONFIG", ""}), UnexpectedPrompt);
    ScriptedPrompts q;
    q.expectSaveFile(dir / "B.BIN");
    EXPECT_THROW(q.openFile({}), UnexpectedPrompt);
}

} // namespace
} // namespace kvort::testing
