// Replacing a whole set in one step, on real files: a write that fails
// half-way, detector files of slots the new set lacks, and a commit that a
// killed process left half-done.
#include "FileSizeLimit.h"
#include "Process.h"
#include "TempDir.h"

#include "document/IniStore.h"
#include "document/Lifecycle.h"
#include "document/SetCommit.h"
#include "text/Error.h"

#include <gtest/gtest.h>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace kvort;
using namespace kvort::test;

namespace {

pid_t goneProcess() {
    pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

class SetCommit : public ::testing::Test {
  protected:
    TempDir dir;
    fs::path cnf = CopySample("full", dir.path());
    ConfigFileSet set{cnf};

    NewConfigSet bigSet(size_t tbBytes) {
        NewConfigSet next;
        next.files.emplace_back(set.cnf(), "[СОСТАВ]\r\n0=x\r\n");
        for (int s = 0; s < 3; ++s)
            next.files.emplace_back(set.tb(s), std::string(tbBytes, static_cast<char>('a' + s)));
        next.remove = detectorFilesOutside(set, next);
        return next;
    }
};

} // namespace

// A full disk or the file-size limit on any file of the new set: the old set
// stays byte for byte, the message names the file, nothing is left behind.
TEST_F(SetCommit, AFailedWriteLeavesTheOldSetAsItWas) {
    const auto before = FilesIn(dir.path());
    const NewConfigSet next = bigSet(300000); // the sample's tbN are smaller
    try {
        FileSizeLimit limit(200000);
        commitConfigSet(set, "read-card", next);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("Unable to write to " + set.tb(0).string()),
                  std::string::npos)
            << e.what();
    }
    EXPECT_EQ(FilesIn(dir.path()), before);
    EXPECT_TRUE(listHistory(set).empty());
}

TEST_F(SetCommit, DetectorFilesOfSlotsTheNewSetLacksGoIntoTheEntry) {
    writeFile(set.workCnf(), "working copy");
    const auto before = FilesIn(dir.path());
    NewConfigSet next = bigSet(10);
    next.remove.push_back(set.workCnf());
    const HistoryEntry kept = commitConfigSet(set, "read-card", next);

    for (int s = 3; s < 9; ++s)
        EXPECT_FALSE(fs::exists(set.tb(s))) << s;
    EXPECT_FALSE(fs::exists(set.workCnf()));
    EXPECT_EQ(readFile(set.tb(2)), "cccccccccc");
    // Everything replaced or removed is in the entry, byte for byte.
    const auto entry = FilesIn(kept.folder);
    for (const auto& [name, bytes] : before)
        EXPECT_EQ(entry.at(name), bytes) << name;
    // No temporary, no journal.
    for (const auto& e : fs::directory_iterator(dir.path()))
        EXPECT_NE(e.path().filename().string().front(), '.') << e.path();
}

// A journal whose writer is gone names renames and removals still to do:
// the next commit or opening finishes them, and only then are the
// temporaries of dead writers removed.
TEST_F(SetCommit, AHalfDoneCommitIsFinishedByTheNextOne) {
    const pid_t gone = goneProcess();
    const std::string pid = std::to_string(gone);
    const fs::path tempCnf = dir / (".full.cnf.kvtmp-" + pid + "-0");
    const fs::path tempTb0 = dir / (".full.tb0.kvtmp-" + pid + "-1");
    const fs::path stray = dir / (".full.tb5.kvtmp-" + pid + "-7");
    writeFile(tempCnf, "new cnf");
    writeFile(tempTb0, "new tb0");
    writeFile(stray, "left by a killed write");
    // The kill came after the rename of NAME.cnf's temporary.
    fs::rename(tempCnf, set.cnf());
    std::string journal;
    for (const std::string& f :
         {std::string("KVSET1"), std::string("R"), tempCnf.string(), set.cnf().string(),
          std::string("R"), tempTb0.string(), set.tb(0).string(), std::string("D"),
          set.tb(8).string(), std::string("E")}) {
        journal += f;
        journal.push_back('\0');
    }
    writeFile(dir / (".full.kvset-" + pid), journal);
    IniStore open(set.tb(0));

    EXPECT_TRUE(finishInterruptedCommit(set));
    EXPECT_EQ(readFile(set.cnf()), "new cnf");
    EXPECT_EQ(readFile(set.tb(0)), "new tb0");
    EXPECT_EQ(open.text(), "new tb0\r\n"); // stores on the set read it again
    EXPECT_FALSE(fs::exists(set.tb(8)));
    EXPECT_TRUE(fs::exists(set.tb(7)));
    for (const auto& e : fs::directory_iterator(dir.path()))
        EXPECT_NE(e.path().filename().string().front(), '.') << e.path();
    EXPECT_FALSE(finishInterruptedCommit(set));
}

// A new configuration over the full sample is one commit: the whole old set
// (working copies included) is in its entry, and restoring it gives the
// sample back byte for byte.
TEST_F(SetCommit, NewOverTheFullSampleThenRestore) {
    writeFile(set.workTb(4), "working copy of tb4");
    const auto before = FilesIn(dir.path());
    ZoneNames zones;
    HistoryEntry kept;
    CreateNewConfig(cnf, zones, &kept);
    EXPECT_EQ(FilesIn(dir.path()).size(), 2u);                 // NAME.cnf, an empty NAME.tb0
    EXPECT_EQ(FilesIn(kept.folder).size(), before.size() + 1); // and ИНФО.txt

    restoreHistory(set, kept.name);
    auto after = FilesIn(dir.path());
    auto expected = before;
    expected.erase(set.workTb(4).filename().string()); // not a member a restore puts back
    EXPECT_EQ(after, expected);
}
