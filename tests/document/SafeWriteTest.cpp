// The safe writer on real files: links, modes, owners, folders the user may
// not write, the file-size limit and what killed writes leave behind.
#include "TempDir.h"

#include "document/IniStore.h"
#include "document/SafeWrite.h"
#include "text/Error.h"

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace kvort;
using namespace kvort::test;

namespace {

constexpr uid_t kNobody = 65534;

// Runs body in a child process (as an unprivileged user when asked and the
// tests run as root, since root writes any folder) and returns its exit
// status, or 100 + signal when a signal ended it.
int inChild(const std::function<int()>& body, bool unprivileged) {
    pid_t pid = ::fork();
    if (pid == 0) {
        if (unprivileged && ::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(99);
        int rc = 98;
        try {
            rc = body();
        } catch (...) {
        }
        ::_exit(rc);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

// 0: written; 1: FileError naming the file; 2: another message.
int writeAndTell(const fs::path& file, const std::string& bytes) {
    try {
        writeFile(file, bytes);
        return 0;
    } catch (const FileError& e) {
        return std::string(e.what()).rfind("Unable to write to " + file.string(), 0) == 0 ? 1 : 2;
    }
}

std::vector<std::string> folderNames(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(SafeWrite, ASymlinkIsWrittenThroughAndStaysALink) {
    TempDir dir;
    fs::create_directories(dir / "real");
    writeFile(dir / "real" / "B.cnf", "[S]\r\nk=1\r\n");
    fs::create_symlink("real/B.cnf", dir / "A.cnf");
    {
        IniStore store(dir / "A.cnf");
        store.WriteString("S", "k", "2");
    }
    writeFile(dir / "A.tb0", "x"); // a dangling link's target is created
    fs::create_symlink("real/C.tb0", dir / "C.tb0");
    writeFile(dir / "C.tb0", "c");

    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "A.cnf")));
    EXPECT_EQ(readFile(dir / "real" / "B.cnf"), "[S]\r\nk=2\r\n");
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "C.tb0")));
    EXPECT_EQ(readFile(dir / "real" / "C.tb0"), "c");
    EXPECT_EQ(folderNames(dir / "real"), (std::vector<std::string>{"B.cnf", "C.tb0"}));
}

TEST(SafeWrite, TheReplacedFileKeepsItsModeAndOwner) {
    TempDir dir;
    const fs::path file = dir / "A.cnf";
    writeFile(file, "old");
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(file.c_str(), kNobody, kNobody), 0);
    }
    writeFile(file, "new");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    if (root) {
        EXPECT_EQ(st.st_uid, kNobody);
        EXPECT_EQ(st.st_gid, kNobody);
    }
    EXPECT_EQ(readFile(file), "new");
}

// A folder the user may not write, with a file the user may: written in
// place. Over the file-size limit (SIGXFSZ ignored as the programs do), in
// either kind of folder: the ordinary error, the old file intact, the
// process alive, no temporary file left.
TEST(SafeWrite, UnwritableFolderAndFileSizeLimit) {
    struct Case {
        const char* what;
        bool lockedFolder;
        size_t bytes;
        rlim_t limit; // 0: none
        int expect;   // writeAndTell
    };
    const Case cases[] = {
        {"locked folder, small write", true, 100, 0, 0},
        {"locked folder, shorter than before", true, 3, 0, 0},
        {"locked folder, over the limit", true, 5000, 1024, 1},
        {"open folder, over the limit", false, 5000, 1024, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const fs::path file = dir / "A.cnf";
        const std::string old(600, 'o');
        writeFile(file, old);
        ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
        if (c.lockedFolder) {
            ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
        }
        const std::string bytes(c.bytes, 'n');
        int rc = inChild(
            [&] {
                std::signal(SIGXFSZ, SIG_DFL); // whatever this run inherited
                ignoreFileSizeSignal();
                if (c.limit) {
                    struct rlimit lim {
                        c.limit, c.limit
                    };
                    ::setrlimit(RLIMIT_FSIZE, &lim);
                }
                int r = writeAndTell(file, bytes);
                // A new file in a locked folder cannot be made at all.
                if (c.lockedFolder && r == 0 && writeAndTell(dir / "NEW.cnf", "x") != 1)
                    return 3;
                return r;
            },
            c.lockedFolder);
        ::chmod(dir.path().c_str(), 0755);
        EXPECT_EQ(rc, c.expect);
        EXPECT_EQ(readFile(file), c.expect == 0 ? bytes : old);
        EXPECT_EQ(folderNames(dir.path()), std::vector<std::string>{"A.cnf"});
    }
}

// A write killed between its temporary file and the rename leaves
// ".A.cnf.kvtmp-<pid>-<n>"; the next write of A.cnf removes those of
// processes that are gone and leaves those of a running writer alone.
TEST(SafeWrite, TheNextWriteRemovesWhatAKilledWriteLeft) {
    TempDir dir;
    pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string stale = ".A.cnf.kvtmp-" + std::to_string(gone) + "-0";
    const std::string running = ".A.cnf.kvtmp-" + std::to_string(::getppid()) + "-7";
    const std::string other = ".B.cnf.kvtmp-" + std::to_string(gone) + "-0";
    for (const std::string& n : {stale, running, other})
        writeFile(dir / n, "partial");
    IniStore(dir / "A.cnf").WriteString("S", "k", "v");
    EXPECT_EQ(folderNames(dir.path()), (std::vector<std::string>{running, other, "A.cnf"}));
}

// A file nobody may write (0444) is refused, to the superuser too, and the
// store that wrote through to it says so; the file keeps content and mode.
TEST(SafeWrite, AReadOnlyFileIsRefusedEvenToTheSuperuser) {
    TempDir dir;
    const fs::path file = dir / "A.cnf";
    writeFile(file, "[S]\r\nk=1\r\n");
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    EXPECT_EQ(writeAndTell(file, "new"), 1);
    IniStore store(file);
    EXPECT_THROW(store.WriteString("S", "k", "2"), FileError);
    EXPECT_EQ(readFile(file), "[S]\r\nk=1\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    EXPECT_EQ(folderNames(dir.path()), std::vector<std::string>{"A.cnf"});
}
