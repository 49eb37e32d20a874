#pragma once
// The port through which the workflows ask the person something. The window
// implements it with Qt dialogs, the command line with its flags, the tests
// with a scripted fake. Every text is CP1251 bytes; implementations convert
// at their edge.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kvort {

enum class MsgIcon { Error, Information, Question, Warning };

// Buttons a box offers, and the one pressed.
enum class MsgButtons { Ok, YesNo, YesNoCancel, OkCancel };
enum class MsgResult { Ok, Yes, No, Cancel };

struct FileDialogOptions {
    std::string filter;           // "*.cnf|*.cnf" (Delphi filter form)
    std::string defaultExtension; // ".cnf" or "cnf"
    std::string initialName;      // initial file name, may be empty
    std::string caption;          // may be empty
    // A save dialog asks before it lets an existing file be chosen; off only
    // where the caller asks its own, better question.
    bool askBeforeReplacing = true;
};

class UserPrompts {
  public:
    virtual ~UserPrompts() = default;

    // A modal message box: caption ("ОШИБКА", "ИНФОРМАЦИЯ", "ВНИМАНИЕ",
    // "ПРЕДУПРЕЖДЕНИЕ"), text, icon and buttons; returns the button pressed.
    virtual MsgResult message(std::string_view caption, std::string_view text, MsgIcon icon,
                              MsgButtons buttons) = 0;

    // Open and save dialogs; nullopt when cancelled. A confirmed dialog makes
    // the chosen file's folder the working directory (the implementation
    // does that, so every caller gets it).
    virtual std::optional<std::filesystem::path> openFile(const FileDialogOptions& options) = 0;
    virtual std::optional<std::filesystem::path> saveFile(const FileDialogOptions& options) = 0;

    // A single-line input box; Cancel returns the initial text.
    virtual std::string inputBox(std::string_view caption, std::string_view prompt,
                                 std::string_view initial) = 0;

    // The device-series dialog: 0 = F/H, 1 = I, -1 = cancelled.
    virtual int chooseSeries() = 0;

    // Opens a document with the desktop's default program (help page,
    // archive texts, check report). Failure is not reported.
    virtual void openDocument(const std::filesystem::path& path) = 0;
};

// The one place the working-directory rule lives for implementations.
void makeWorkingDirectoryOf(const std::filesystem::path& chosenFile);

} // namespace kvort
