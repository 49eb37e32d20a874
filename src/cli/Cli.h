#pragma once
// kvortcfg: the headless command-line tool. Each command lives in a file of
// its own and is listed once in Commands.cpp.
#include <filesystem>
#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kvort::cli {

// Thrown for wrong command-line words: exit status 2 with usage.
struct UsageError {
    std::string message;
};

// Parsed arguments: positional words and --options (with or without value).
class Args {
  public:
    // valueOptions: options that take a value ("-o", "--series").
    Args(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
         const std::set<std::string>& flagOptions);
    const std::vector<std::string>& positional() const { return m_positional; }
    std::optional<std::string> value(const std::string& option) const;
    bool flag(const std::string& option) const { return m_flags.count(option) > 0; }
    // The one positional argument, or a UsageError naming what is missing.
    std::string single(const char* what) const;

  private:
    std::vector<std::string> m_positional;
    std::map<std::string, std::string> m_values;
    std::set<std::string> m_flags;
};

struct Command {
    const char* name;
    const char* synopsis; // "new PATH"
    const char* summary;  // one line, UTF-8
    // Returns the exit status; throws UsageError or kvort::Error.
    int (*run)(const std::vector<std::string>& words);
};

const std::vector<Command>& commands();

// A file a command writes, as given after `option`: an empty word or one
// naming a folder ("dir/") is a usage error, so nothing lands under a
// hidden name such as "dir/.cnf".
std::filesystem::path outputFile(const std::string& word, const char* option);
// The same for a configuration: a NAME must remain once the extension is
// taken off ("", "dir/" and ".cnf" name none).
std::filesystem::path outputConfig(const std::string& word, const char* option);

// Terminal output: UTF-8 text; CP1251 texts go through toUtf8 first.
void say(const std::string& utf8);
void sayError(const std::string& utf8);

} // namespace kvort::cli
