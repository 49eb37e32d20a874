// kvortcfg new, history and restore on a copy of the full sample, run as an
// installer would.
#include "document/IniStore.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct CommandRun {
    int status;      // exit status; -1 when a signal ended it
    std::string out; // stdout and stderr
};

CommandRun shell(const std::string& cmd) {
    CommandRun r{-1, {}};
    FILE* p = popen((cmd + " 2>&1").c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    while (size_t n = fread(buf, 1, sizeof buf, p))
        r.out.append(buf, n);
    int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::string q(const fs::path& p) {
    return "'" + p.string() + "'";
}

std::map<std::string, std::string> filesOf(const fs::path& dir) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.is_regular_file())
            out[e.path().filename().string()] = kvort::readFile(e.path());
    return out;
}

class HistoryCommands : public ::testing::Test {
  protected:
    fs::path dir =
        fs::temp_directory_path() / ("kvort-hist-" + std::to_string(std::random_device{}()));
    fs::path cnf = dir / "full.cnf";
    std::map<std::string, std::string> sample;

    void SetUp() override {
        fs::create_directories(dir);
        for (const auto& e : fs::directory_iterator(fs::path(EXAMPLES) / "full"))
            fs::copy_file(e.path(), dir / e.path().filename());
        sample = filesOf(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    CommandRun kvortcfg(const std::string& args) { return shell(q(KVORTCFG) + " " + args); }
};

TEST_F(HistoryCommands, NewOverTheFullSampleThenRestoreGivesItBackByteForByte) {
    CommandRun made = kvortcfg("new " + q(dir / "full"));
    ASSERT_EQ(made.status, 0) << made.out;
    const std::string said = "прежняя конфигурация сохранена в истории: ";
    const size_t at = made.out.find(said);
    ASSERT_NE(at, std::string::npos) << made.out;
    EXPECT_EQ(made.out.rfind(cnf.string() + "\n", 0), 0u) << made.out; // the path stays first
    const fs::path entry(
        made.out.substr(at + said.size(), made.out.find('\n', at) - at - said.size()));
    EXPECT_NE(filesOf(dir), sample);

    CommandRun listed = kvortcfg("history " + q(cnf));
    EXPECT_EQ(listed.status, 0) << listed.out;
    for (const std::string& s :
         {std::string("записей: 1 (хранятся последние 100)"), entry.filename().string(),
          std::string("новая конфигурация поверх прежней"), std::string("full.tb8")})
        EXPECT_NE(listed.out.find(s), std::string::npos) << s << "\n" << listed.out;

    CommandRun restored = kvortcfg("restore " + q(cnf) + " " + entry.filename().string());
    EXPECT_EQ(restored.status, 0) << restored.out;
    EXPECT_EQ(filesOf(dir), sample);
    EXPECT_NE(kvortcfg("history " + q(cnf)).out.find("записей: 2"), std::string::npos);

    struct Refusal {
        std::string args;
        std::string says;
    };
    const Refusal refusals[] = {
        {"restore " + q(cnf) + " 2000-01-01_00-00-00_new", "нет записи «2000-01-01_00-00-00_new»"},
        {"history " + q(dir / "other.cnf"), "нет истории"},
        {"restore " + q(dir / "other.cnf") + " x", "нет истории"},
    };
    for (const Refusal& r : refusals) {
        CommandRun run = kvortcfg(r.args);
        EXPECT_EQ(run.status, 1) << r.args << "\n" << run.out;
        EXPECT_NE(run.out.find("ОШИБКА: "), std::string::npos) << run.out;
        EXPECT_NE(run.out.find(r.says), std::string::npos) << run.out;
    }
    EXPECT_EQ(filesOf(dir), sample);
}

// A write past the file-size limit is an error the tool reports, not a
// signal that kills it, and the set it was about to replace stays whole.
TEST_F(HistoryCommands, TheFileSizeLimitGivesAnErrorAndLeavesTheSet) {
    // The tool must ignore the signal itself, whatever this run inherited.
    std::signal(SIGXFSZ, SIG_DFL);
    CommandRun run = shell("ulimit -f 8; exec " + q(KVORTCFG) + " new " + q(dir / "full"));
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_NE(run.out.find("ОШИБКА: "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("файл слишком велик"), std::string::npos) << run.out;
    EXPECT_EQ(filesOf(dir), sample);
    for (const auto& e : fs::recursive_directory_iterator(dir))
        EXPECT_EQ(e.path().filename().string().find("kvtmp"), std::string::npos) << e.path();
}

} // namespace
