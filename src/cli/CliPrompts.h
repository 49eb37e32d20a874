#pragma once
// The ports as the command line fills them: every question is answered by
// a flag given beforehand, dialogs return the paths named on the command
// line, and what a box would show goes to stderr.
#include "app/Ports.h"
#include "app/UserPrompts.h"

#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace kvort::cli {

class CliPrompts : public UserPrompts {
  public:
    // The answer to a question box with this exact text (CP1251).
    void answer(std::string_view questionText, MsgResult result);
    // The paths the next dialogs return, in order; relative paths are taken
    // from the current folder. No more paths: the dialog is cancelled.
    void nextPath(const std::filesystem::path& path);
    void setSeries(int series) { m_series = series; }

    MsgResult message(std::string_view caption, std::string_view text, MsgIcon icon,
                      MsgButtons buttons) override;
    std::optional<std::filesystem::path> openFile(const FileDialogOptions& options) override;
    std::optional<std::filesystem::path> saveFile(const FileDialogOptions& options) override;
    std::string inputBox(std::string_view caption, std::string_view prompt,
                         std::string_view initial) override;
    int chooseSeries() override { return m_series; }
    // The command line opens nothing; it names the document.
    void openDocument(const std::filesystem::path& path) override;

  private:
    std::optional<std::filesystem::path> nextDialog();
    std::map<std::string, MsgResult, std::less<>> m_answers;
    std::deque<std::filesystem::path> m_paths;
    int m_series = -1;
};

// Activity texts go to stderr; nothing else is shown.
class TerminalView : public NullProgress {
  public:
    void setStatus(std::string_view text) override;
};

// "--series fh|i" -> 0 or 1; a UsageError otherwise.
int parseSeries(const std::optional<std::string>& value);

// Throws FileError when the configuration file is not there.
std::filesystem::path existingConfig(const std::string& path);

} // namespace kvort::cli
