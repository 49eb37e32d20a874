#pragma once
// A UserPrompts that answers from a script, for tests of the workflows and
// of the window. Every box, dialog and choice must have been announced, in
// order, with what it is expected to show; anything else throws
// UnexpectedPrompt, which no workflow catches, so the test fails at the
// place the stray box appeared. Everything asked is recorded.
#include "app/UserPrompts.h"

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kvort {

class UnexpectedPrompt : public std::logic_error {
  public:
    using std::logic_error::logic_error;
};

class ScriptedPrompts : public UserPrompts {
  public:
    enum class Kind { Message, OpenFile, SaveFile, InputBox, Series };

    // One prompt as it was asked (texts CP1251).
    struct Asked {
        Kind kind;
        std::string caption;
        std::string text;
        MsgIcon icon = MsgIcon::Information;
        MsgButtons buttons = MsgButtons::Ok;
        FileDialogOptions options;
        std::string initial; // of an input box
    };

    // The next prompt must be this message box; it is answered with `answer`.
    ScriptedPrompts& expectMessage(std::string_view caption, std::string_view text, MsgIcon icon,
                                   MsgButtons buttons, MsgResult answer);
    // The same with the icon that goes with the caption: "ОШИБКА" and
    // "ПРЕДУПРЕЖДЕНИЕ" the error icon, "ИНФОРМАЦИЯ" the information or the
    // question icon, "ВНИМАНИЕ" the warning or the error icon.
    ScriptedPrompts& expectMessage(std::string_view caption, std::string_view text,
                                   MsgButtons buttons, MsgResult answer);
    // A box with this caption and any text (texts that name temporary paths);
    // the text is in asked().
    ScriptedPrompts& expectMessageCaption(std::string_view caption,
                                          MsgResult answer = MsgResult::Ok);
    // The next prompt must be an open / save dialog; nullopt cancels it. When
    // `options` is given, its filter, default extension and initial name must match.
    ScriptedPrompts& expectOpenFile(std::optional<std::filesystem::path> answer,
                                    std::optional<FileDialogOptions> options = std::nullopt);
    ScriptedPrompts& expectSaveFile(std::optional<std::filesystem::path> answer,
                                    std::optional<FileDialogOptions> options = std::nullopt);
    // nullopt: the person cancels, and the box returns its initial text.
    ScriptedPrompts& expectInput(std::string_view caption, std::string_view prompt,
                                 std::optional<std::string> answer);
    ScriptedPrompts& expectSeries(int answer);

    // A confirmed dialog changes the working directory, as the real ones do;
    // tests that must not move may switch it off.
    void setChangesWorkingDirectory(bool on) { m_changeDir = on; }

    const std::vector<Asked>& asked() const { return m_asked; }
    const std::vector<std::filesystem::path>& documentsOpened() const { return m_opened; }
    // Expectations not yet used up.
    std::size_t pending() const { return m_script.size(); }
    bool allAnswered() const { return m_script.empty(); }
    // Runs once, when the next prompt arrives (to look at the window while
    // a workflow waits for the person).
    std::function<void()> beforeNextAnswer;

    MsgResult message(std::string_view caption, std::string_view text, MsgIcon icon,
                      MsgButtons buttons) override;
    std::optional<std::filesystem::path> openFile(const FileDialogOptions& options) override;
    std::optional<std::filesystem::path> saveFile(const FileDialogOptions& options) override;
    std::string inputBox(std::string_view caption, std::string_view prompt,
                         std::string_view initial) override;
    int chooseSeries() override;
    void openDocument(const std::filesystem::path& path) override;

  private:
    struct Step {
        Asked expected;
        bool checkOptions = false;
        bool iconByCaption = false;
        bool anyText = false;
        MsgResult answer = MsgResult::Ok;
        std::optional<std::filesystem::path> path;
        std::optional<std::string> input;
        int series = 0;
    };
    Step next(const Asked& asked);
    std::optional<std::filesystem::path> dialog(Kind kind, const FileDialogOptions& options);

    std::deque<Step> m_script;
    std::vector<Asked> m_asked;
    std::vector<std::filesystem::path> m_opened;
    bool m_changeDir = true;
};

} // namespace kvort
