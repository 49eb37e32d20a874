#pragma once
// The window under test with a scripted person (the one ScriptedPrompts of
// tests/support): every question the window asks must have been expected,
// in order, with its caption, text and buttons; anything else fails the
// test. Texts are CP1251 there; cp() converts the UTF-8 of the tests.
#include "ScriptedPrompts.h"
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

using kvort::ScriptedPrompts;

// The configuration dialogs as the window shows them: open (and the save of
// a read), and the new configuration's, which asks about the set itself.
FileDialogOptions cnfDialog();
FileDialogOptions newConfigDialog();
// A dialog known by its filter alone.
FileDialogOptions filterDialog(std::string filter);
// The text of the last prompt asked, UTF-8.
std::string lastText(const ScriptedPrompts& prompts);

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
