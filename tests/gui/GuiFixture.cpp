#include "GuiFixture.h"

#include "document/ConfigFileSet.h"
#include "gui/TransferActions.h"
#include "text/Cp1251.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTableWidget>
#include <QTest>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace kvort::gui::test {

std::string cp(const std::string& utf8) {
    return text::fromUtf8(utf8);
}
QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

FileDialogOptions cnfDialog() {
    return filterDialog("*.cnf|*.cnf");
}

FileDialogOptions newConfigDialog() {
    FileDialogOptions options = cnfDialog();
    options.askBeforeReplacing = false;
    return options;
}

FileDialogOptions filterDialog(std::string filter) {
    FileDialogOptions options;
    options.filter = std::move(filter);
    if (options.filter == "*.cnf|*.cnf")
        options.defaultExtension = ".cnf";
    return options;
}

std::string lastText(const ScriptedPrompts& prompts) {
    return prompts.asked().empty() ? std::string() : text::toUtf8(prompts.asked().back().text);
}

// ---- GuiTest ----------------------------------------------------------------

void GuiTest::SetUp() {
    m_tmp = std::make_unique<kvort::test::TempDir>();
    m_dir = m_tmp->path();
    std::error_code ec;
    m_savedCwd = fs::current_path(ec);
    // A test before may have left the working directory in its own folder,
    // removed since.
    if (ec)
        m_savedCwd = fs::temp_directory_path();
    m_window = std::make_unique<MainWindow>(m_prompts);
    // The port troubles of the machine running the tests are none of the
    // window's business here; the test of the hints brings its own machine.
    m_window->transfers().setPortHints([](const PortMap&) { return std::string(); });
    m_window->resize(1200, 800);
    m_window->show();
}

void GuiTest::TearDown() {
    // The window's own close questions are not part of a test's script.
    m_window->session().setModified(false);
    m_window.reset();
    EXPECT_TRUE(m_prompts.allAnswered()) << "questions expected but never asked";
    fs::current_path(m_savedCwd);
    m_tmp.reset();
}

fs::path GuiTest::createNew(const std::string& name) {
    m_prompts.expectSaveFile(m_dir / name, newConfigDialog());
    action("newConfigAction")->trigger();
    return ConfigFileSet(m_dir / name).cnf();
}

void GuiTest::writeText(const fs::path& path, const std::string& utf8Body) {
    std::string body = text::fromUtf8(utf8Body), crlf;
    for (char c : body) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    std::ofstream(path, std::ios::binary) << crlf;
}

fs::path GuiTest::writeCnf(const std::string& name, const std::string& utf8Body) {
    fs::path cnf = m_dir / (name + ".cnf");
    writeText(cnf, utf8Body);
    return cnf;
}

void GuiTest::open(const fs::path& cnf) {
    m_prompts.expectOpenFile(cnf, cnfDialog());
    action("fileOpenAction")->trigger();
}

void GuiTest::pick(int slot, int index) {
    QComboBox* list = slotList(slot);
    ASSERT_TRUE(list->isEnabled()) << "slot " << slot << " is disabled";
    // What the drop-down does when the person clicks an item.
    list->setCurrentIndex(index);
    emit list->activated(index);
}

void GuiTest::pickText(int slot, const QString& text) {
    int index = slotList(slot)->findText(text, Qt::MatchExactly);
    ASSERT_GE(index, 0) << text.toStdString();
    pick(slot, index);
}

QAction* GuiTest::action(const char* name) const {
    auto* a = m_window->findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_NE(a, nullptr) << name;
    return a;
}

QComboBox* GuiTest::slotList(int slot) const {
    return m_window->findChild<QComboBox*>(QStringLiteral("slot%1Combo").arg(slot));
}

QTableWidget* GuiTest::grid(const char* name) const {
    return m_window->findChild<QTableWidget*>(QString::fromLatin1(name));
}

QLabel* GuiTest::label(const char* name) const {
    return m_window->findChild<QLabel*>(QString::fromLatin1(name));
}

QString GuiTest::cell(const char* gridName, int row, int column) const {
    QTableWidgetItem* item = grid(gridName)->item(row, column);
    return item ? item->text() : QString();
}

std::optional<std::string> GuiTest::key(const fs::path& file, const std::string& section,
                                        const std::string& k) const {
    IniStore store(file);
    if (!store.KeyExists(text::fromUtf8(section), text::fromUtf8(k)))
        return std::nullopt;
    return text::toUtf8(store.ReadString(text::fromUtf8(section), text::fromUtf8(k), ""));
}

std::string GuiTest::fileBytes(const fs::path& path) const {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace kvort::gui::test
