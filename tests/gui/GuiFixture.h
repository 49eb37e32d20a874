#pragma once
// The window under test with a scripted person: every question the window
// asks must have been expected, in order, with its caption, text and
// buttons; anything else fails the test.
#include "TempDir.h"
#include "app/UserPrompts.h"
#include "document/IniStore.h"
#include "gui/MainWindow.h"

#include <QString>
#include <deque>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QTableWidget;

namespace kvort::gui::test {

class ScriptedPrompts : public UserPrompts {
  public:
    ~ScriptedPrompts() override;

    // Expectations; texts are UTF-8 here for readability.
    void expectMessage(std::string caption, std::string text, MsgButtons buttons, MsgResult answer);
    // Any message with this caption (for error texts naming temp paths).
    void expectMessageCaption(std::string caption, MsgResult answer = MsgResult::Ok);
    void expectSave(std::optional<std::filesystem::path> answer,
                    std::string filter = "*.cnf|*.cnf");
    void expectOpen(std::optional<std::filesystem::path> answer,
                    std::string filter = "*.cnf|*.cnf");
    void expectSeries(int answer);
    // answer nullopt = Cancel, which returns the initial text.
    void expectInput(std::string caption, std::string prompt, std::optional<std::string> answer);
    bool allAnswered() const { return m_script.empty(); }
    // Runs once, when the next question arrives (to look at the window
    // while a workflow waits for the person).
    std::function<void()> beforeNextAnswer;

    std::vector<std::string> asked;            // every text asked, UTF-8
    std::vector<std::string> lastMessageTexts; // of caption-only expectations
    std::vector<std::filesystem::path> openedDocuments;
    std::string lastInitialInput; // UTF-8

    MsgResult message(std::string_view caption, std::string_view text, MsgIcon icon,
                      MsgButtons buttons) override;
    std::optional<std::filesystem::path> openFile(const FileDialogOptions& options) override;
    std::optional<std::filesystem::path> saveFile(const FileDialogOptions& options) override;
    std::string inputBox(std::string_view caption, std::string_view prompt,
                         std::string_view initial) override;
    int chooseSeries() override;
    void openDocument(const std::filesystem::path& path) override;

  private:
    enum class Kind { Message, Save, Open, Input, Series };
    struct Step {
        Kind kind;
        std::string caption, text;
        bool anyText = false;
        MsgButtons buttons = MsgButtons::Ok;
        MsgResult answer = MsgResult::Ok;
        std::optional<std::filesystem::path> file;
        std::optional<std::string> input;
        int series = -1;
    };
    std::optional<Step> next(Kind kind, const std::string& what);
    std::optional<std::filesystem::path> fileDialog(Kind kind, const char* what,
                                                    const FileDialogOptions& options);
    std::deque<Step> m_script;
};

class GuiTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the window's new-configuration action and answers its dialog.
    std::filesystem::path createNew(const std::string& name = "ОБЪЕКТ");
    // Writes a configuration file (UTF-8 text converted to CP1251, "\n" to CR LF).
    std::filesystem::path writeCnf(const std::string& name, const std::string& utf8Body);
    void writeText(const std::filesystem::path& path, const std::string& utf8Body);
    void open(const std::filesystem::path& cnf);
    // The person picks item `index` of a slot's list.
    void pick(int slot, int index);
    void pickText(int slot, const QString& text);

    QAction* action(const char* name) const;
    QComboBox* slotList(int slot) const;
    QTableWidget* grid(const char* name) const;
    QLabel* label(const char* name) const;
    QString cell(const char* gridName, int row, int column) const;

    // A key of a file, read by a fresh store (UTF-8 in and out); nullopt
    // when the key is missing.
    std::optional<std::string> key(const std::filesystem::path& file, const std::string& section,
                                   const std::string& key) const;
    std::string fileBytes(const std::filesystem::path& path) const;

    std::unique_ptr<kvort::test::TempDir> m_tmp;
    std::filesystem::path m_dir;
    std::filesystem::path m_savedCwd;
    ScriptedPrompts m_prompts;
    std::unique_ptr<MainWindow> m_window;
};

std::string cp(const std::string& utf8);
QString q(const char* utf8);

} // namespace kvort::gui::test

// Readable failures for Qt texts.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
