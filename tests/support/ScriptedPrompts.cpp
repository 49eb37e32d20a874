#include "ScriptedPrompts.h"

#include "text/Cp1251.h"

namespace kvort {

namespace {

const char* kindName(ScriptedPrompts::Kind k) {
    switch (k) {
    case ScriptedPrompts::Kind::Message:
        return "message box";
    case ScriptedPrompts::Kind::OpenFile:
        return "open dialog";
    case ScriptedPrompts::Kind::SaveFile:
        return "save dialog";
    case ScriptedPrompts::Kind::InputBox:
        return "input box";
    case ScriptedPrompts::Kind::Series:
        return "series dialog";
    }
    return "?";
}

std::string describe(const ScriptedPrompts::Asked& a) {
    std::string s = kindName(a.kind);
    if (a.kind == ScriptedPrompts::Kind::Message || a.kind == ScriptedPrompts::Kind::InputBox)
        s += " [" + text::toUtf8(a.caption) + "] \"" + text::toUtf8(a.text) + "\" icon " +
             std::to_string(static_cast<int>(a.icon)) + " buttons " +
             std::to_string(static_cast<int>(a.buttons));
    if (a.kind == ScriptedPrompts::Kind::OpenFile || a.kind == ScriptedPrompts::Kind::SaveFile)
        s += " filter \"" + text::toUtf8(a.options.filter) + "\" ext \"" +
             text::toUtf8(a.options.defaultExtension) + "\" name \"" +
             text::toUtf8(a.options.initialName) + "\"";
    return s;
}

bool sameDialogOptions(const FileDialogOptions& a, const FileDialogOptions& b) {
    return a.filter == b.filter && a.defaultExtension == b.defaultExtension &&
           a.initialName == b.initialName && a.askBeforeReplacing == b.askBeforeReplacing;
}

bool iconFitsCaption(std::string_view caption, MsgIcon icon) {
    const std::string c = text::toUtf8(caption);
    if (c == "ОШИБКА" || c == "ПРЕДУПРЕЖДЕНИЕ")
        return icon == MsgIcon::Error;
    if (c == "ИНФОРМАЦИЯ")
        return icon == MsgIcon::Information || icon == MsgIcon::Question;
    if (c == "ВНИМАНИЕ")
        return icon == MsgIcon::Warning || icon == MsgIcon::Error;
    return true;
}

} // namespace

ScriptedPrompts& ScriptedPrompts::expectMessage(std::string_view caption, std::string_view text,
                                                MsgIcon icon, MsgButtons buttons,
                                                MsgResult answer) {
    Step s;
    s.expected = {Kind::Message, std::string(caption), std::string(text), icon, buttons, {}, {}};
    s.answer = answer;
    m_script.push_back(std::move(s));
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectMessage(std::string_view caption, std::string_view text,
                                                MsgButtons buttons, MsgResult answer) {
    expectMessage(caption, text, MsgIcon::Information, buttons, answer);
    m_script.back().iconByCaption = true;
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectMessageCaption(std::string_view caption, MsgResult answer) {
    expectMessage(caption, "", MsgButtons::Ok, answer);
    m_script.back().anyText = true;
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectOpenFile(std::optional<std::filesystem::path> answer,
                                                 std::optional<FileDialogOptions> options) {
    Step s;
    s.expected.kind = Kind::OpenFile;
    s.checkOptions = options.has_value();
    if (options)
        s.expected.options = *options;
    s.path = std::move(answer);
    m_script.push_back(std::move(s));
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectSaveFile(std::optional<std::filesystem::path> answer,
                                                 std::optional<FileDialogOptions> options) {
    expectOpenFile(std::move(answer), std::move(options));
    m_script.back().expected.kind = Kind::SaveFile;
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectInput(std::string_view caption, std::string_view prompt,
                                              std::optional<std::string> answer) {
    Step s;
    s.expected = {Kind::InputBox,
                  std::string(caption),
                  std::string(prompt),
                  MsgIcon::Information,
                  MsgButtons::OkCancel,
                  {},
                  {}};
    s.input = std::move(answer);
    m_script.push_back(std::move(s));
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectSeries(int answer) {
    Step s;
    s.expected.kind = Kind::Series;
    s.series = answer;
    m_script.push_back(std::move(s));
    return *this;
}

ScriptedPrompts::Step ScriptedPrompts::next(const Asked& asked) {
    m_asked.push_back(asked);
    if (beforeNextAnswer) {
        auto hook = std::move(beforeNextAnswer);
        beforeNextAnswer = nullptr;
        hook();
    }
    if (m_script.empty())
        throw UnexpectedPrompt("unexpected " + describe(asked) + " (script is used up)");
    Step step = m_script.front();
    const Asked& e = step.expected;
    bool match = e.kind == asked.kind;
    if (match && asked.kind == Kind::InputBox)
        match = e.caption == asked.caption && e.text == asked.text;
    if (match && asked.kind == Kind::Message)
        match = e.caption == asked.caption && (step.anyText || e.text == asked.text) &&
                (step.iconByCaption ? iconFitsCaption(asked.caption, asked.icon)
                                    : e.icon == asked.icon) &&
                (step.anyText || e.buttons == asked.buttons);
    if (match && step.checkOptions)
        match = sameDialogOptions(e.options, asked.options);
    if (!match)
        throw UnexpectedPrompt("unexpected " + describe(asked) + "; the script expected " +
                               describe(e));
    m_script.pop_front();
    return step;
}

MsgResult ScriptedPrompts::message(std::string_view caption, std::string_view text, MsgIcon icon,
                                   MsgButtons buttons) {
    return next({Kind::Message, std::string(caption), std::string(text), icon, buttons, {}, {}})
        .answer;
}

std::optional<std::filesystem::path> ScriptedPrompts::dialog(Kind kind,
                                                             const FileDialogOptions& options) {
    Asked a;
    a.kind = kind;
    a.options = options;
    auto answer = next(a).path;
    if (answer && m_changeDir)
        makeWorkingDirectoryOf(*answer);
    return answer;
}

std::optional<std::filesystem::path> ScriptedPrompts::openFile(const FileDialogOptions& options) {
    return dialog(Kind::OpenFile, options);
}

std::optional<std::filesystem::path> ScriptedPrompts::saveFile(const FileDialogOptions& options) {
    return dialog(Kind::SaveFile, options);
}

std::string ScriptedPrompts::inputBox(std::string_view caption, std::string_view prompt,
                                      std::string_view initial) {
    Asked a{Kind::InputBox,
            std::string(caption),
            std::string(prompt),
            MsgIcon::Information,
            MsgButtons::OkCancel,
            {},
            {}};
    a.initial = std::string(initial);
    const auto answer = next(a).input;
    return answer ? *answer : std::string(initial);
}

int ScriptedPrompts::chooseSeries() {
    Asked a;
    a.kind = Kind::Series;
    return next(a).series;
}

void ScriptedPrompts::openDocument(const std::filesystem::path& path) {
    m_opened.push_back(path);
}

} // namespace kvort
