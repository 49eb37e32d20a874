// kvortcfg encode and decode on the samples, run as a person would.
#include "Version.h"
#include "document/IniStore.h"
#include "image/PanelImage.h"

#include "Process.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

struct CommandRun {
    int status;
    std::string out; // stdout and stderr, UTF-8
};

CommandRun kvortcfg(const std::string& args) {
    const kvort::test::ProcessResult r =
        kvort::test::RunProcess(KVORTCFG, kvort::test::SplitWords(args), fs::current_path());
    return {r.status, r.out + r.err};
}

class CodecCommands : public ::testing::Test {
  protected:
    kvort::test::TempDir tmp;
    fs::path dir = tmp.path();
    std::string q(const fs::path& p) { return "'" + p.string() + "'"; }
    fs::path sample(const std::string& name) {
        return fs::path(KVORT_EXAMPLES_DIR) / name / (name + ".cnf");
    }
};

TEST_F(CodecCommands, EncodeReportsThePassesAndDecodeFindsTheSeries) {
    struct Case {
        const char* sample;
        const char* series;
        int status;
        std::vector<std::string> says;
    };
    const Case cases[] = {
        {"small", "fh", 0, {}},
        {"full", "i", 0, {}},
        {"limits", "i", 1, {"ОШИБКА. ПРЕВЫШЕНО КОЛИЧЕСТВО \"СВЯЗАННЫХ ВЫХОДОВ\"(>256)"}},
        {"limits",
         "fh",
         1,
         {"ВНИМАНИЕ. ОПИСАНИЯ ФУНКЦИЙ РЕЛЕ НЕ БУДУТ СОХРАНЕНЫ В ПРИБОРЕ ПУ",
          "ОШИБКА. НЕОБХОДИМО СОКРАТИТЬ ОБЪЕМ ТЕКСТОВОЙ ИНФОРМАЦИИ В СООБЩЕНИЯХ ДАТЧИКОВ. "
          "ИСПОЛЬЗУЙТЕ СОКРАЩЕНИЯ ЧАСТО УПОТРЕБЛЯЕМЫХ СЛОВ"}},
    };
    for (const Case& c : cases) {
        std::string tag = std::string(c.sample) + "-" + c.series;
        fs::path bin = dir / (tag + ".bin");
        CommandRun enc =
            kvortcfg("encode " + q(sample(c.sample)) + " --series " + c.series + " -o " + q(bin));
        EXPECT_EQ(enc.status, c.status) << tag << enc.out;
        for (const std::string& line : c.says)
            EXPECT_NE(enc.out.find(line), std::string::npos) << tag << enc.out;
        ASSERT_EQ(fs::file_size(bin), 65536u) << tag; // written also when a pass failed

        fs::create_directories(dir / tag);
        CommandRun dec = kvortcfg("decode " + q(bin) + " -o " + q(dir / tag / "R.cnf"));
        EXPECT_EQ(dec.status, 0) << tag << dec.out;
        EXPECT_EQ(dec.out, std::string(c.series[0] == 'i' ? "серия I\n" : "серия F/H\n"));
        EXPECT_TRUE(fs::exists(dir / tag / "R.tb0")) << tag;
    }
}

TEST_F(CodecCommands, DecodeRefusesAShortImageAndWritesNothing) {
    fs::path bin = dir / "short.bin";
    kvort::writeFile(bin, std::string(65535, '\xFF'));
    CommandRun r = kvortcfg("decode " + q(bin) + " -o " + q(dir / "R.cnf"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("short.bin"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(dir / "R.cnf"));
}

TEST_F(CodecCommands, DecodeTakesTheFirst65536BytesOfALongerFile) {
    fs::path bin = dir / "small.bin";
    ASSERT_EQ(kvortcfg("encode " + q(sample("small")) + " --series fh -o " + q(bin)).status, 0);
    std::string bytes = kvort::readFile(bin);
    kvort::writeFile(bin, bytes + std::string(512, '\x49'));
    ASSERT_EQ(kvortcfg("decode " + q(bin) + " -o " + q(dir / "R.cnf")).status, 0);
    fs::path again = dir / "again.bin";
    ASSERT_EQ(kvortcfg("encode " + q(dir / "R.cnf") + " --series fh -o " + q(again)).status, 0);
    EXPECT_EQ(kvort::readFile(again), bytes);
}

// Decoding over an existing set replaces it whole or not at all: an image
// the decoder refuses leaves every file as it was, and a good one moves the
// detector file of a slot it lacks into the history with the old set.
TEST_F(CodecCommands, DecodeOverASetReplacesItWholeOrNotAtAll) {
    const fs::path bin = dir / "small.bin", zeros = dir / "zeros.bin";
    ASSERT_EQ(kvortcfg("encode " + q(sample("small")) + " --series fh -o " + q(bin)).status, 0);
    kvort::writeFile(zeros, std::string(65536, '\0'));
    ASSERT_EQ(kvortcfg("decode " + q(bin) + " -o " + q(dir / "R.cnf")).status, 0);
    kvort::writeFile(dir / "R.tb5", "stray");
    auto set = [&] {
        std::string all;
        for (const char* m : {"R.cnf", "R.tb0", "R.tb1", "R.tb2", "R.tb5"})
            all += std::string(m) + ":" + kvort::test::Slurp(dir / m) + "\n";
        return all;
    };
    const std::string before = set();

    const CommandRun refused = kvortcfg("decode " + q(zeros) + " -o " + q(dir / "R.cnf"));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.out.find("по смещению 0x"), std::string::npos) << refused.out;
    EXPECT_EQ(set(), before);
    EXPECT_FALSE(fs::exists(dir / "R.history"));

    const CommandRun again = kvortcfg("decode " + q(bin) + " -o " + q(dir / "R.cnf"));
    EXPECT_EQ(again.status, 0) << again.out;
    EXPECT_NE(again.out.find("прежняя конфигурация сохранена в истории"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "R.tb5"));
    int kept = 0;
    for (const auto& e : fs::directory_iterator(dir / "R.history"))
        kept += fs::exists(e.path() / "R.tb5");
    EXPECT_EQ(kept, 1);
}

TEST_F(CodecCommands, WrongWordsAreUsageErrors) {
    EXPECT_EQ(kvortcfg("encode " + q(sample("small")) + " -o x.bin").status, 2);
    EXPECT_EQ(kvortcfg("encode " + q(sample("small")) + " --series g -o x.bin").status, 2);
    EXPECT_EQ(kvortcfg("decode x.bin").status, 2);
    EXPECT_EQ(
        kvortcfg("encode " + q(dir / "none.cnf") + " --series i -o " + q(dir / "x.bin")).status, 1);
    EXPECT_FALSE(fs::exists(dir / "x.bin"));
}

// The manual page and the completion are read from these texts.
TEST(CommandHelp, EveryCommandExplainsItselfAndSucceeds) {
    const CommandRun overview = kvortcfg("--help");
    ASSERT_EQ(overview.status, 0);
    std::vector<std::string> names;
    const size_t list = overview.out.find("Команды:\n");
    ASSERT_NE(list, std::string::npos);
    for (size_t at = list + std::strlen("Команды:\n"); overview.out.compare(at, 2, "  ") == 0;
         at = overview.out.find('\n', at) + 1)
        if (overview.out[at + 2] != ' ')
            names.push_back(overview.out.substr(at + 2, overview.out.find(' ', at + 2) - at - 2));
    ASSERT_GE(names.size(), 14u) << overview.out; // every command, however many are added
    for (const std::string& name : names) {
        for (const std::string& ask : {name + " --help", name + " X.cnf -h", "help " + name}) {
            const CommandRun r = kvortcfg(ask);
            EXPECT_EQ(r.status, 0) << ask;
            EXPECT_EQ(r.out.rfind("Использование: kvortcfg " + name + " ", 0), 0u) << r.out;
            ASSERT_FALSE(r.out.empty());
            EXPECT_EQ(r.out.back(), '\n') << ask;
        }
    }
    const CommandRun version = kvortcfg("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "kvortcfg " KVORT_BUILD_VERSION " (КвортКонфигуратор V6.10)\n");
    EXPECT_EQ(kvortcfg("nothing --help").status, 2);
}

} // namespace
