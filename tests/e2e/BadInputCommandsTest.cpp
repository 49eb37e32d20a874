// kvortcfg on inputs that are not what they should be and on outputs it must
// not write: every row ends with its exit status and a message naming what
// was wrong, and every file in the folder is as it was.
#include "document/IniStore.h"

#include "Process.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;
using namespace kvort::test;

namespace {

struct Outcome {
    int status;
    std::string out, err;
};

Outcome kvortcfg(const fs::path& dir, const std::string& args) {
    const ProcessResult r = RunProcess(KVORTCFG, SplitWords(args), dir);
    return {r.status, r.out, r.err};
}

// Name -> mode and bytes of every entry (the bytes of regular files only: a
// FIFO is never opened; of the 17 MB file its size).
std::map<std::string, std::string> snapshot(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        struct stat st {};
        ::lstat(e.path().c_str(), &st);
        std::string entry = std::to_string(st.st_mode) + ":";
        if (S_ISREG(st.st_mode))
            entry += st.st_size > 1 << 20 ? std::to_string(st.st_size) : Slurp(e.path());
        files[fs::relative(e.path(), dir).string()] = entry;
    }
    return files;
}

TEST(BadInputCommands, EachEndsWithItsMessageAndLeavesEveryFile) {
    struct Case {
        const char* args;
        int status;
        const char* says;                // on stderr
        std::vector<std::string> writes; // files the command may write before it stops
    };
    const Case cases[] = {
        // Inputs that are not regular files, or too large.
        {"decode /dev/zero -o R.cnf", 1, "/dev/zero: это не обычный файл", {}},
        {"decode PIPE -o R.cnf", 1, "PIPE: это не обычный файл", {}},
        {"read-card PIPE -o R.cnf", 1, "PIPE: это не обычный файл", {}},
        {"archives sub -c small.cnf", 1, "sub: это папка", {}},
        {"encode BIG.cnf --series fh -o N.bin", 1, "BIG.cnf больше 16 МБ", {}},
        {"json PIPE.cnf", 1, "PIPE.cnf", {}},
        // Output names that name no file.
        {"decode S.bin -o ''", 2, "пустое имя", {}},
        {"decode S.bin -o sub/", 2, "это папка", {}},
        {"new ''", 2, "пустое имя", {}},
        {"read-card S.bin -o sub/.cnf", 2, "нет имени конфигурации", {}},
        {"json small.cnf -o sub/", 2, "это папка", {}},
        {"write-card small.cnf --series fh -o ''", 2, "пустое имя", {}},
        // A failed encoding leaves the image that is there.
        {"encode limits.cnf --series i -o OLD.bin", 1, "OLD.bin оставлен как был", {}},
        // Files nobody may write.
        {"encode small.cnf --series fh -o RO.bin", 1, "Unable to write to RO.bin", {}},
        {"json small.cnf -o RO.bin", 1, "Unable to write to RO.bin", {}},
        {"write-card small.cnf --series fh -o RO.bin",
         1,
         "Unable to write to",
         {"small.bin", "small_ConfigReport.txt"}},
        {"decode S.bin -o RO.cnf", 1, "Unable to write to RO.cnf", {}},
    };
    TempDir tmp;
    const fs::path dir = tmp.path();
    CopySample("small", dir);
    CopySample("limits", dir);
    fs::create_directories(dir / "sub");
    ASSERT_EQ(kvortcfg(dir, "encode small.cnf --series fh -o S.bin").status, 0);
    kvort::writeFile(dir / "OLD.bin", "an image kept from before");
    kvort::writeFile(dir / "RO.bin", "read-only image");
    kvort::writeFile(dir / "RO.cnf", "[СОСТАВ]\r\n");
    ASSERT_EQ(::chmod((dir / "RO.bin").c_str(), 0444), 0);
    ASSERT_EQ(::chmod((dir / "RO.cnf").c_str(), 0444), 0);
    ASSERT_EQ(::mkfifo((dir / "PIPE").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir / "PIPE.cnf").c_str(), 0600), 0);
    kvort::writeFile(dir / "BIG.cnf", "");
    fs::resize_file(dir / "BIG.cnf", 17u * 1024 * 1024);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        auto before = snapshot(dir);
        const Outcome r = kvortcfg(dir, c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        auto after = snapshot(dir);
        for (const std::string& name : c.writes) {
            before.erase(name);
            after.erase(name);
        }
        EXPECT_TRUE(after == before);
    }
}

// The files a command names are the files it wrote, wherever the dialog
// moved the working directory meanwhile; a longer image is told, and used.
TEST(BadInputCommands, TheNamesPrintedAreTheFilesWritten) {
    TempDir tmp;
    const fs::path dir = tmp.path();
    CopySample("small", dir);
    fs::create_directories(dir / "sub");
    const Outcome w = kvortcfg(dir, "write-card small.cnf --series i -o sub/CARD.BIN");
    ASSERT_EQ(w.status, 0) << w.err;
    EXPECT_EQ(w.out, (dir / "sub" / "CARD.BIN").string() + "\n" +
                         (dir / "sub" / "ARHIVE.BIN").string() + "\n");
    EXPECT_TRUE(fs::is_regular_file(dir / "sub" / "CARD.BIN"));
    EXPECT_TRUE(fs::is_regular_file(dir / "sub" / "ARHIVE.BIN"));

    kvort::writeFile(dir / "LONG.BIN", Slurp(dir / "sub" / "CARD.BIN") + "tail");
    const Outcome r = kvortcfg(dir, "decode LONG.BIN -o R.cnf");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("LONG.BIN длиннее 65536 байт"), std::string::npos) << r.err;
}

} // namespace
