#include "GuiFixture.h"

#include "document/ConfigFileSet.h"
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

namespace {
std::string u(std::string_view cp1251) {
    return text::toUtf8(cp1251);
}
const char* kindName(int k) {
    static const char* names[] = {"message", "save dialog", "open dialog", "input box",
                                  "series dialog"};
    return names[k];
}
} // namespace

// ---- ScriptedPrompts -------------------------------------------------------

ScriptedPrompts::~ScriptedPrompts() = default;

void ScriptedPrompts::expectMessage(std::string caption, std::string text, MsgButtons buttons,
                                    MsgResult answer) {
    Step s;
    s.kind = Kind::Message;
    s.caption = std::move(caption);
    s.text = std::move(text);
    s.buttons = buttons;
    s.answer = answer;
    m_script.push_back(s);
}

void ScriptedPrompts::expectMessageCaption(std::string caption, MsgResult answer) {
    Step s;
    s.kind = Kind::Message;
    s.caption = std::move(caption);
    s.anyText = true;
    s.answer = answer;
    m_script.push_back(s);
}

void ScriptedPrompts::expectSave(std::optional<fs::path> answer, std::string filter) {
    Step s;
    s.kind = Kind::Save;
    s.text = std::move(filter);
    s.file = std::move(answer);
    m_script.push_back(s);
}

void ScriptedPrompts::expectOpen(std::optional<fs::path> answer, std::string filter) {
    Step s;
    s.kind = Kind::Open;
    s.text = std::move(filter);
    s.file = std::move(answer);
    m_script.push_back(s);
}

void ScriptedPrompts::expectInput(std::string caption, std::string prompt,
                                  std::optional<std::string> answer) {
    Step s;
    s.kind = Kind::Input;
    s.caption = std::move(caption);
    s.text = std::move(prompt);
    s.input = std::move(answer);
    m_script.push_back(s);
}

std::optional<ScriptedPrompts::Step> ScriptedPrompts::next(Kind kind, const std::string& what) {
    asked.push_back(what);
    if (beforeNextAnswer) {
        auto hook = std::move(beforeNextAnswer);
        beforeNextAnswer = nullptr;
        hook();
    }
    if (m_script.empty()) {
        ADD_FAILURE() << "unexpected " << kindName(int(kind)) << ": " << what;
        return std::nullopt;
    }
    Step s = m_script.front();
    m_script.pop_front();
    if (s.kind != kind) {
        ADD_FAILURE() << "expected a " << kindName(int(s.kind)) << ", got a " << kindName(int(kind))
                      << ": " << what;
        return std::nullopt;
    }
    return s;
}

MsgResult ScriptedPrompts::message(std::string_view caption, std::string_view text, MsgIcon icon,
                                   MsgButtons buttons) {
    auto s = next(Kind::Message, u(caption) + " / " + u(text));
    if (!s)
        return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel;
    EXPECT_EQ(s->caption, u(caption));
    // The captions come with their icons.
    if (u(caption) == "ОШИБКА" || u(caption) == "ПРЕДУПРЕЖДЕНИЕ") {
        EXPECT_EQ(icon, MsgIcon::Error);
    } else if (u(caption) == "ИНФОРМАЦИЯ") {
        EXPECT_TRUE(icon == MsgIcon::Information || icon == MsgIcon::Question);
    }
    if (s->anyText) {
        lastMessageTexts.push_back(u(text));
        return s->answer;
    }
    EXPECT_EQ(s->text, u(text));
    EXPECT_EQ(s->buttons, buttons);
    return s->answer;
}

std::optional<fs::path> ScriptedPrompts::fileDialog(Kind kind, const char* what,
                                                    const FileDialogOptions& options) {
    auto s = next(kind, what + u(options.filter));
    if (!s)
        return std::nullopt;
    EXPECT_EQ(options.filter, s->text);
    if (s->text == "*.cnf|*.cnf") {
        EXPECT_EQ(options.defaultExtension, ".cnf");
    }
    if (s->file)
        makeWorkingDirectoryOf(*s->file);
    return s->file;
}

std::optional<fs::path> ScriptedPrompts::openFile(const FileDialogOptions& options) {
    return fileDialog(Kind::Open, "open ", options);
}

std::optional<fs::path> ScriptedPrompts::saveFile(const FileDialogOptions& options) {
    return fileDialog(Kind::Save, "save ", options);
}

std::string ScriptedPrompts::inputBox(std::string_view caption, std::string_view prompt,
                                      std::string_view initial) {
    lastInitialInput = u(initial);
    auto s = next(Kind::Input, u(caption) + " / " + u(prompt));
    if (!s)
        return std::string(initial);
    EXPECT_EQ(s->caption, u(caption));
    EXPECT_EQ(s->text, u(prompt));
    return s->input ? text::fromUtf8(*s->input) : std::string(initial);
}

void ScriptedPrompts::expectSeries(int answer) {
    Step s;
    s.kind = Kind::Series;
    s.series = answer;
    m_script.push_back(s);
}

int ScriptedPrompts::chooseSeries() {
    auto s = next(Kind::Series, "series");
    return s ? s->series : -1;
}

void ScriptedPrompts::openDocument(const fs::path& path) {
    openedDocuments.push_back(path);
}

// ---- GuiTest ----------------------------------------------------------------

void GuiTest::SetUp() {
    m_tmp = std::make_unique<kvort::test::TempDir>();
    m_dir = m_tmp->path();
    m_savedCwd = fs::current_path();
    m_window = std::make_unique<MainWindow>(m_prompts);
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
    m_prompts.expectSave(m_dir / name);
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
    m_prompts.expectOpen(cnf);
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
    return u(store.ReadString(text::fromUtf8(section), text::fromUtf8(k), ""));
}

std::string GuiTest::fileBytes(const fs::path& path) const {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace kvort::gui::test
