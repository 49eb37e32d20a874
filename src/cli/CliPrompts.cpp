#include "CliPrompts.h"

#include "Cli.h"

#include "document/Messages.h"
#include "text/Cp1251.h"
#include "text/Error.h"

namespace kvort::cli {

void CliPrompts::answer(std::string_view questionText, MsgResult result) {
    m_answers[std::string(questionText)] = result;
}

void CliPrompts::nextPath(const std::filesystem::path& path) {
    m_paths.push_back(std::filesystem::absolute(path));
}

MsgResult CliPrompts::message(std::string_view caption, std::string_view text, MsgIcon,
                              MsgButtons buttons) {
    std::string shown = text::toUtf8(text);
    for (char& c : shown)
        if (c == '\r' || c == '\n')
            c = ' ';
    sayError(text::toUtf8(caption) + ": " + shown);
    if (auto it = m_answers.find(text); it != m_answers.end())
        return it->second;
    // A question nobody answered is declined: the command line never goes on
    // with something the person was not asked about.
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgResult::Ok;
    case MsgButtons::OkCancel:
        return MsgResult::Cancel;
    case MsgButtons::YesNo:
        return MsgResult::No;
    case MsgButtons::YesNoCancel:
        return MsgResult::Cancel;
    }
    return MsgResult::Cancel;
}

std::optional<std::filesystem::path> CliPrompts::nextDialog() {
    if (m_paths.empty())
        return std::nullopt;
    std::filesystem::path p = m_paths.front();
    m_paths.pop_front();
    makeWorkingDirectoryOf(p);
    return p;
}

std::optional<std::filesystem::path> CliPrompts::openFile(const FileDialogOptions&) {
    return nextDialog();
}

std::optional<std::filesystem::path> CliPrompts::saveFile(const FileDialogOptions&) {
    return nextDialog();
}

std::string CliPrompts::inputBox(std::string_view, std::string_view, std::string_view initial) {
    return std::string(initial);
}

void CliPrompts::openDocument(const std::filesystem::path& path) {
    sayError("см. " + path.string());
}

void TerminalView::setStatus(std::string_view text) {
    std::string_view t = text::trim(text);
    if (!t.empty())
        sayError(text::toUtf8(t));
}

int parseSeries(const std::optional<std::string>& value) {
    if (!value)
        throw UsageError{"не указана серия прибора: --series fh или --series i"};
    if (*value == "fh" || *value == "FH")
        return 0;
    if (*value == "i" || *value == "I")
        return 1;
    throw UsageError{"неизвестная серия прибора: " + *value + " (fh или i)"};
}

std::filesystem::path existingConfig(const std::string& path) {
    std::filesystem::path p = std::filesystem::absolute(path);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(p, ec))
        throw FileError(msg::noConfiguration(p));
    return p;
}

} // namespace kvort::cli
