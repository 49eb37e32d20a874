// A configuration's history on real files: keep, move, images, restore,
// refusals and pruning.
#include "Process.h"
#include "TempDir.h"

#include "document/ConfigHistory.h"
#include "document/IniStore.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace kvort;
using namespace kvort::test;

namespace {

std::vector<std::string> namesOf(const std::vector<HistoryFile>& files) {
    std::vector<std::string> out;
    for (const auto& f : files)
        out.push_back(f.name);
    return out;
}

pid_t goneProcess() {
    pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

} // namespace

TEST(ConfigHistory, KeepAndRestoreGiveTheSetBackByteForByte) {
    TempDir dir;
    ConfigFileSet set(dir / "OBJ.cnf");
    writeFile(set.cnf(), "[S]\r\nk=1\r\n");
    writeFile(set.tb(0), "t0");
    writeFile(set.tb(3), "t3");
    IniStore store(set.cnf());
    HistoryEntry kept;
    {
        // A write a batch still holds is part of what is kept.
        IniStore::Batch batch(store);
        store.WriteString("S", "k", "2");
        kept = keepInHistory(set, reason::kNew, setMembers(set));
    }
    const auto original = FilesIn(dir.path());
    EXPECT_EQ(original.at("OBJ.cnf"), "[S]\r\nk=2\r\n");
    EXPECT_EQ(kept.reason, "new");
    EXPECT_EQ(kept.folder, historyFolder(set) / kept.name);
    EXPECT_EQ(namesOf(kept.files), (std::vector<std::string>{"OBJ.cnf", "OBJ.tb0", "OBJ.tb3"}));
    EXPECT_EQ(kept.files[0].size, 10u);

    // Later work: another value, NAME.tb0 gone, a NAME.tb5 that the kept
    // set did not have.
    store.WriteString("S", "k", "3");
    fs::remove(set.tb(0));
    writeFile(set.tb(5), "t5");
    const auto later = FilesIn(dir.path());

    HistoryEntry before = restoreHistory(set, kept.name);
    EXPECT_EQ(FilesIn(dir.path()), original);
    EXPECT_EQ(store.ReadString("S", "k", ""), "2"); // open stores see it
    EXPECT_EQ(before.reason, "restore");
    EXPECT_EQ(FilesIn(before.folder).erase("ИНФО.txt"), 1u);
    auto keptLater = FilesIn(before.folder);
    keptLater.erase("ИНФО.txt");
    EXPECT_EQ(keptLater, later);

    auto list = listHistory(set);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, kept.name);
    EXPECT_EQ(list[1].name, before.name);
    // The hidden folder an entry was built in is gone; no temporary file of
    // the staged restore is left beside the set.
    EXPECT_EQ(std::distance(fs::directory_iterator(historyFolder(set)), {}), 2);
    EXPECT_EQ(original.size() + 1,
              static_cast<size_t>(std::distance(fs::directory_iterator(dir.path()), {})));
}

TEST(ConfigHistory, MovedFilesGoOnlyWhenTheEntryIsWholeAndImagesSayWhatTheyAre) {
    TempDir dir;
    ConfigFileSet set(dir / "OBJ.cnf");
    writeFile(set.cnf(), "c");
    writeFile(set.workCnf(), "w");
    writeFile(set.tb(4), "stray");
    {
        HistoryEntryWriter abandoned(set, reason::kDecode);
        abandoned.move(set.workCnf());
    }
    // A writer killed before its commit left its hidden folder.
    fs::create_directories(historyFolder(set) /
                           (".staging-" + std::to_string(goneProcess()) + "-0"));

    HistoryEntryWriter w(set, reason::kReadPanel);
    w.move(set.workCnf());
    w.move(set.tb(4));
    w.image(std::string(65536, '\xff'), ImageDirection::Read, ImageMedium::Panel, ImageSeries::I);
    EXPECT_TRUE(fs::exists(set.workCnf()));
    EXPECT_TRUE(listHistory(set).empty());
    HistoryEntry e = w.commit();
    EXPECT_FALSE(fs::exists(set.workCnf()));
    EXPECT_FALSE(fs::exists(set.tb(4)));
    EXPECT_EQ(readFile(set.cnf()), "c");
    EXPECT_EQ(readFile(e.folder / "OBJ.tb4"), "stray");

    keepImage(set, reason::kWriteCard, "card", ImageDirection::Written, ImageMedium::Card,
              ImageSeries::FH);
    auto list = listHistory(set);
    ASSERT_EQ(list.size(), 2u);
    struct Want {
        const char* file;
        std::uintmax_t size;
        ImageDirection direction;
        ImageMedium medium;
        ImageSeries series;
    };
    const Want wants[] = {
        {"СЧИТАННЫЙ_ОБРАЗ.bin", 65536, ImageDirection::Read, ImageMedium::Panel, ImageSeries::I},
        {"ЗАПИСАННЫЙ_ОБРАЗ.bin", 4, ImageDirection::Written, ImageMedium::Card, ImageSeries::FH},
    };
    for (size_t i = 0; i < 2; ++i) {
        const Want& want = wants[i];
        ASSERT_TRUE(list[i].image) << i;
        EXPECT_EQ(list[i].image->file, want.file);
        EXPECT_EQ(list[i].image->direction, want.direction);
        EXPECT_EQ(list[i].image->medium, want.medium);
        EXPECT_EQ(list[i].image->series, want.series);
        bool listed = false;
        for (const HistoryFile& f : list[i].files)
            listed |= f.name == want.file && f.size == want.size;
        EXPECT_TRUE(listed) << i;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(historyFolder(set)), {}), 2);
}

TEST(ConfigHistory, RefusalsNameTheCauseAndChangeNothing) {
    TempDir dir;
    ConfigFileSet set(dir / "OBJ.cnf");
    writeFile(set.cnf(), "c");
    writeFile(set.tb(0), "t");
    auto refusal = [&](std::string_view entry) -> std::string {
        try {
            restoreHistory(set, entry);
        } catch (const HistoryError& e) {
            return e.what();
        }
        return "no refusal";
    };
    EXPECT_NE(refusal("2026-01-01_00-00-00_new").find("нет истории"), std::string::npos);

    HistoryEntry image = keepImage(set, reason::kWritePanel, "img", ImageDirection::Written,
                                   ImageMedium::Panel, ImageSeries::FH);
    const auto before = FilesIn(dir.path());
    const std::pair<std::string, std::string> cases[] = {
        {"2026-01-01_00-00-00_new", "нет записи «2026-01-01_00-00-00_new»"},
        {image.name, "не содержит OBJ.cnf"},
    };
    for (const auto& [entry, says] : cases)
        EXPECT_NE(refusal(entry).find(says), std::string::npos) << entry << ": " << refusal(entry);
    EXPECT_EQ(FilesIn(dir.path()), before);
    EXPECT_EQ(listHistory(set).size(), 1u);
    EXPECT_THROW(HistoryEntryWriter(set, "Новая"), HistoryError);
    EXPECT_THROW(HistoryEntryWriter(set, "../x"), HistoryError);
}

TEST(ConfigHistory, TheNewestHundredEntriesAreKeptInOrder) {
    TempDir dir;
    ConfigFileSet set(dir / "OBJ.cnf");
    std::vector<std::string> names;
    for (int i = 0; i < 103; ++i) {
        writeFile(set.cnf(), std::to_string(i));
        names.push_back(keepInHistory(set, reason::kDiscard, {set.cnf()}).name);
    }
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 103u);
    auto list = listHistory(set);
    ASSERT_EQ(list.size(), kHistoryKeep);
    for (size_t k = 0; k < list.size(); ++k) {
        ASSERT_EQ(list[k].name, names[k + 3]);
        ASSERT_EQ(readFile(list[k].folder / "OBJ.cnf"), std::to_string(k + 3));
    }
}
