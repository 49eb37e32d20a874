#pragma once
// Runs the real programs (kvortcfg, kvort-panel-sim) as a person would: in
// a folder, with extra environment, output captured.
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace kvort::test {

using Environment = std::map<std::string, std::string>;

struct ProcessResult {
    int status = -1; // exit status; -1 when it did not exit normally
    std::string out, err;
};

// Runs program with args in dir and waits for it.
ProcessResult RunProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const std::filesystem::path& dir, const Environment& env = {});

// A program left running in the background (stdout discarded, stderr to
// errLog) until the object goes, which ends it with SIGTERM.
class BackgroundProcess {
  public:
    BackgroundProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                      const std::filesystem::path& dir, const std::filesystem::path& errLog);
    ~BackgroundProcess();
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

  private:
    pid_t m_pid = -1;
};

// A command line's words: split at blanks; single quotes keep blanks in a
// word (no other quoting).
std::vector<std::string> SplitWords(std::string_view line);

// The whole content of a file, "" when it cannot be read.
std::string Slurp(const std::filesystem::path& file);

// Every regular file of a folder (not its subfolders), name -> bytes.
std::map<std::string, std::string> FilesIn(const std::filesystem::path& dir);

} // namespace kvort::test
