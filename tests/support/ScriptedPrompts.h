#pragma once
// A UserPrompts that answers from a script, for tests of the workflows and
// of the window. Every box, dialog and choice must have been announced, in
// order, with what it is expected to show; anything else throws
// UnexpectedPrompt, which no workflow catches, so the test fails at the
// place the stray box appeared. Everything asked is recorded.
#include "app/UserPrompts.h"

#include <deque>
#include <filesystem>
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
    };

    // The next prompt must be this message box; it is answered with `answer`.
    ScriptedPrompts& expectMessage(std::string_view caption, std::string_view text, MsgIcon icon,
                                   MsgButtons buttons, MsgResult answer);
    // The next prompt must be an open / save dialog; nullopt cancels it. When
    // `options` is given, its filter, default extension and initial name must match.
    ScriptedPrompts& expectOpenFile(std::optional<std::filesystem::path> answer,
                                    std::optional<FileDialogOptions> options = std::nullopt);
    ScriptedPrompts& expectSaveFile(std::optional<std::filesystem::path> answer,
                                    std::optional<FileDialogOptions> options = std::nullopt);
    ScriptedPrompts& expectInput(std::string_view caption, std::string_view prompt,
                                 std::string answer);
    ScriptedPrompts& expectSeries(int answer);

    // A confirmed dialog changes the working directory, as the real ones do;
    // tests that must not move may switch it off.
    void setChangesWorkingDirectory(bool on) { m_changeDir = on; }

    const std::vector<Asked>& asked() const { return m_asked; }
    const std::vector<std::filesystem::path>& documentsOpened() const { return m_opened; }
    // Expectations not yet used up.
    std::size_t pending() const { return m_script.size(); }

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
        MsgResult answer = MsgResult::Ok;
        std::optional<std::filesystem::path> path;
        std::string input;
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
