#include "Process.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace kvort::test {

namespace {

// An unnamed file for one stream of one run: parallel tests running in the
// same folder must not share where their output goes.
int unnamedFile() {
    std::string name = (fs::temp_directory_path() / "kvort-process-XXXXXX").string();
    const int fd = ::mkstemp(name.data());
    if (fd >= 0)
        ::unlink(name.c_str());
    return fd;
}

std::string readAll(int fd) {
    std::string text;
    if (fd < 0 || ::lseek(fd, 0, SEEK_SET) != 0)
        return text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    return text;
}

// In the child only: never returns.
[[noreturn]] void execIn(const fs::path& dir, const fs::path& program,
                         const std::vector<std::string>& args, const Environment& env, int out,
                         int err) {
    if (::chdir(dir.c_str()) != 0 || out < 0 || err < 0)
        ::_exit(126);
    ::dup2(out, 1);
    ::dup2(err, 2);
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

std::map<std::string, std::string> FilesIn(const fs::path& dir) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.is_regular_file())
            out[e.path().filename().string()] = Slurp(e.path());
    return out;
}

ProcessResult RunProcess(const fs::path& program, const std::vector<std::string>& args,
                         const fs::path& dir, const Environment& env) {
    const int out = unnamedFile();
    const int err = unnamedFile();
    const pid_t pid = ::fork();
    if (pid == 0)
        execIn(dir, program, args, env, out, err);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ProcessResult r;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = readAll(out);
    r.err = readAll(err);
    for (int fd : {out, err})
        if (fd >= 0)
            ::close(fd);
    return r;
}

BackgroundProcess::BackgroundProcess(const fs::path& program, const std::vector<std::string>& args,
                                     const fs::path& dir, const fs::path& errLog) {
    const int out = ::open("/dev/null", O_WRONLY);
    const int err = ::open(errLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    m_pid = ::fork();
    if (m_pid == 0)
        execIn(dir, program, args, {}, out, err);
    for (int fd : {out, err})
        if (fd >= 0)
            ::close(fd);
}

BackgroundProcess::~BackgroundProcess() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }
}

} // namespace kvort::test
