// The action boundary: the project's own errors reach the person as they
// are; anything else is the program's fault and says so.
#include "GuiFixture.h"

#include "gui/Guarded.h"
#include "text/Cp1251.h"
#include "text/Error.h"

#include <stdexcept>

namespace kvort::gui::test {
namespace {

class BusyRecorder : public NullProgress {
  public:
    void setBusy(bool busy) override { this->busy = busy; }
    bool busy = true;
};

TEST(GuardedTest, OwnErrorsAreShownAndFaultsAreNotDressedAsThem) {
    struct Case {
        const char* what;
        std::function<void()> body;
        const char* caption;
        std::string text; // UTF-8
    };
    const std::string internal = kvort::text::toUtf8(kInternalErrorText);
    const Case cases[] = {
        {"file error", [] { throw FileError("Unable to write to /x/Y.cnf"); }, "ОШИБКА",
         "Unable to write to /x/Y.cnf"},
        {"conversion", [] { throw ConvertError("'Б' is not a valid integer value"); }, "ОШИБКА",
         "'Б' is not a valid integer value"},
        {"logic error", [] { throw std::out_of_range("array::at"); }, "ВНУТРЕННЯЯ ОШИБКА",
         internal},
        {"not an exception", [] { throw 42; }, "ВНУТРЕННЯЯ ОШИБКА", internal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedPrompts prompts;
        BusyRecorder progress;
        prompts.expectMessage(cp(c.caption), cp(c.text), MsgButtons::Ok, MsgResult::Ok);
        EXPECT_FALSE(guarded(prompts, progress, c.body));
        EXPECT_FALSE(progress.busy) << "the busy cursor must not stay";
        EXPECT_TRUE(prompts.allAnswered());
    }
    ScriptedPrompts quiet;
    BusyRecorder progress;
    EXPECT_TRUE(guarded(quiet, progress, [] {}));
    EXPECT_TRUE(quiet.asked().empty());
}

} // namespace
} // namespace kvort::gui::test
