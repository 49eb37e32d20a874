#include "Process.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace kvort::test {

namespace {

// In the child only: never returns.
[[noreturn]] void execIn(const fs::path& dir, const fs::path& program,
                         const std::vector<std::string>& args, const Environment& env,
                         const fs::path& out, const fs::path& err) {
    if (::chdir(dir.c_str()) != 0)
        ::_exit(126);
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (o < 0 || e < 0)
        ::_exit(126);
    ::dup2(o, 1);
    ::dup2(e, 2);
    for (const auto& [key, value] : env)
        ::setenv(key.c_str(), value.c_str(), 1);
    std::vector<std::string> words{program.string()};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

} // namespace

std::vector<std::string> SplitWords(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, any = false;
    for (char c : line) {
        if (c == '\'') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any)
                words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    if (any)
        words.push_back(word);
    return words;
}

std::string Slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ProcessResult RunProcess(const fs::path& program, const std::vector<std::string>& args,
                         const fs::path& dir, const Environment& env) {
    const fs::path out = fs::absolute(dir) / ".process-out";
    const fs::path err = fs::absolute(dir) / ".process-err";
    const pid_t pid = ::fork();
    if (pid == 0)
        execIn(dir, program, args, env, out, err);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ProcessResult r;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = Slurp(out);
    r.err = Slurp(err);
    std::error_code ec;
    fs::remove(out, ec);
    fs::remove(err, ec);
    return r;
}

BackgroundProcess::BackgroundProcess(const fs::path& program, const std::vector<std::string>& args,
                                     const fs::path& dir, const fs::path& errLog) {
    m_pid = ::fork();
    if (m_pid == 0)
        execIn(dir, program, args, {}, "/dev/null", errLog);
}

BackgroundProcess::~BackgroundProcess() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }
}

} // namespace kvort::test
