// kvortcfg encode and decode on the samples, run as a person would.
#include "document/IniStore.h"
#include "image/PanelImage.h"

#include "Process.h"
#include "TempDir.h"

#include <gtest/gtest.h>

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

TEST_F(CodecCommands, WrongWordsAreUsageErrors) {
    EXPECT_EQ(kvortcfg("encode " + q(sample("small")) + " -o x.bin").status, 2);
    EXPECT_EQ(kvortcfg("encode " + q(sample("small")) + " --series g -o x.bin").status, 2);
    EXPECT_EQ(kvortcfg("decode x.bin").status, 2);
    EXPECT_EQ(
        kvortcfg("encode " + q(dir / "none.cnf") + " --series i -o " + q(dir / "x.bin")).status, 1);
    EXPECT_FALSE(fs::exists(dir / "x.bin"));
}

} // namespace
