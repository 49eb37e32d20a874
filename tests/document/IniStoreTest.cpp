#include "FileSizeLimit.h"
#include "TestText.h"

#include "document/IniStore.h"
#include "text/Error.h"

#include <gtest/gtest.h>

using namespace kvort;
using namespace kvort::test;

namespace {

// Writes a file from UTF-8 text with "\n" turned into CR LF.
void putFile(const std::filesystem::path& p, const std::string& utf8, bool crlf = true) {
    std::string s;
    for (char c : cp(utf8)) {
        if (c == '\n' && crlf)
            s += '\r';
        s += c;
    }
    writeFile(p, s);
}

std::string crlf(const std::string& utf8) {
    std::string s;
    for (char c : utf8) {
        if (c == '\n')
            s += '\r';
        s += c;
    }
    return s;
}

class IniStoreTest : public ::testing::Test {
  protected:
    TempDir dir;
    std::filesystem::path file = dir / "A.cnf";
};

} // namespace

TEST_F(IniStoreTest, NamesMatchWithoutCaseAndBlanksCyrillicIncluded) {
    putFile(file, "[ЗОНА]\n1=ПЕРВАЯ\n[ПЛАН ЗОНЫ]\nКлюч=x\n[Latin]\nKey=v\n");
    IniStore s(file);
    struct Row {
        const char* section;
        const char* key;
        const char* expected;
    } rows[] = {
        {"зона", "1", "ПЕРВАЯ"},     {"ЗОНА", " 1 ", "ПЕРВАЯ"}, {"ПЛАН ЗОНЫ ", "КЛЮЧ", "x"},
        {" план зоны", "ключ", "x"}, {"LATIN", "KEY", "v"},     {"latin", "key", "v"},
        {"ЗОНА", "2", "<none>"},     {"ЗОН", "1", "<none>"},    {"ПЛАН  ЗОНЫ", "КЛЮЧ", "<none>"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(u8(s.ReadString(cp(r.section), cp(r.key), cp("<none>"))), r.expected)
            << r.section << "/" << r.key;
}

TEST_F(IniStoreTest, ValuesAreTrimmedAndDefaultsOnlyForAbsentKeys) {
    putFile(file, "[S]\na=  padded  \nempty=\nblank=   \ntab=\tx\t\n");
    IniStore s(file);
    EXPECT_EQ(s.ReadString("S", "a", "d"), "padded");
    EXPECT_EQ(s.ReadString("S", "empty", "d"), "");
    EXPECT_EQ(s.ReadString("S", "blank", "d"), "");
    EXPECT_EQ(s.ReadString("S", "tab", "d"), "x");
    EXPECT_EQ(s.ReadString("S", "missing", "d"), "d");
    EXPECT_EQ(s.ReadString("T", "a", "d"), "d");
}

TEST_F(IniStoreTest, ReadInteger) {
    putFile(file,
            "[S]\ndec=13\nneg=-1\nhex=0x1F\nHEX=0XfF\ntext=ВКЛ\nmixed=12a\nempty=\nsp= 42 \n");
    IniStore s(file);
    struct Row {
        const char* key;
        int expected;
    } rows[] = {{"dec", 13},   {"neg", -1},   {"hex", 31}, {"text", 77},
                {"mixed", 77}, {"empty", 77}, {"sp", 42},  {"nokey", 77}};
    for (const auto& r : rows)
        EXPECT_EQ(s.ReadInteger("S", cp(r.key), 77), r.expected) << r.key;
}

TEST_F(IniStoreTest, WriteStringPlacesKeysAsTheFormatRequires) {
    putFile(file, "[A]\nk1=v1\n\n[B]\nx=1\n");
    IniStore s(file);
    s.WriteString("a", "K1", "new");       // replaced in place, the written name kept
    s.WriteString("A", "k2", "added");     // appended after the last key of [A]
    s.WriteString(cp("НОВАЯ "), "n", "1"); // a new section at the end of the file
    s.WriteInteger("B", "y", -8);
    EXPECT_EQ(readFile(file), cp(crlf("[A]\nk1=new\nk2=added\n\n[B]\nx=1\ny=-8\n[НОВАЯ]\nn=1\n")));
}

TEST_F(IniStoreTest, WritingCreatesAMissingFile) {
    IniStore s(dir / "new.tb1");
    EXPECT_FALSE(std::filesystem::exists(dir / "new.tb1"));
    EXPECT_EQ(s.ReadString("И11-01", "ТЕКСТ", "d"), "d");
    s.WriteString(cp("И11-01"), cp("ТЕКСТ"), cp("ДАТЧИК"));
    EXPECT_EQ(readFile(dir / "new.tb1"), cp(crlf("[И11-01]\nТЕКСТ=ДАТЧИК\n")));
}

TEST_F(IniStoreTest, DeleteEraseAndSectionExistence) {
    putFile(file, "[A]\nk=1\nj=2\n[EMPTY]\n\n[ONLYTEXT]\njunk line\n[B]\nx=1\n");
    IniStore s(file);
    EXPECT_TRUE(s.SectionExists("a"));
    EXPECT_FALSE(s.SectionExists("EMPTY"));
    EXPECT_FALSE(s.SectionExists("ONLYTEXT"));
    EXPECT_FALSE(s.SectionExists("NONE"));
    s.DeleteKey("A", "k");
    s.DeleteKey("A", "absent");
    s.DeleteKey("NONE", "k");
    EXPECT_TRUE(s.SectionExists("A"));
    s.DeleteKey("A", "J");
    EXPECT_FALSE(s.SectionExists("A")); // the header alone does not count
    s.EraseSection("b");
    s.EraseSection("none");
    EXPECT_EQ(readFile(file), crlf("[A]\n[EMPTY]\n\n[ONLYTEXT]\njunk line\n"));
    EXPECT_EQ(s.ReadSections(), std::vector<std::string>{});
}

TEST_F(IniStoreTest, SectionValuesComeInFileOrderFirstDuplicateWins) {
    putFile(file,
            "[D]\nПУ-П /02=ОПОВЕЩЕНИЕ\nПУ-П /01=ПЕРЕДАЧА НА ПЦН\n  ппкп1/03 = X \nпу-п /02=ДУБЛЬ\n"
            "[D]\nlater=ignored\n");
    IniStore s(file);
    auto values = s.ReadSectionValues("d");
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(u8(values[0].first), "ПУ-П /02");
    EXPECT_EQ(u8(values[0].second), "ОПОВЕЩЕНИЕ");
    EXPECT_EQ(u8(values[1].first), "ПУ-П /01");
    EXPECT_EQ(u8(values[2].first), "ппкп1/03");
    EXPECT_EQ(values[2].second, "X");
    EXPECT_EQ(u8(s.ReadString("D", cp("ПУ-П /02"), "")), "ОПОВЕЩЕНИЕ");
    EXPECT_EQ(s.ReadString("D", "later", "none"), "none"); // the first [D] is the section
}

TEST_F(IniStoreTest, MalformedInputIsReadAndKeptNotDestroyed) {
    std::string longLine(100 * 1024, 'Z');
    std::string binary = std::string("bin\0\x01\x7F\xFF\r=", 10);
    // LF-only and mixed line ends, lines without "=", binary bytes, a 100 KB
    // line, text before any section, no final line end.
    std::string raw = "orphan=1\n[A]\r\nline without equals\nk=v\r\n" + binary + "\n" + longLine +
                      "\n=novalue\n;comment=x\n[B\n[C]\nlast=1";
    writeFile(file, raw);
    {
        IniStore s(file);
        EXPECT_EQ(s.ReadString("A", "k", ""), "v");
        EXPECT_EQ(s.ReadString("C", "last", ""), "1");
        EXPECT_EQ(s.ReadString("A", ";comment", "none"), "none");
        EXPECT_EQ(s.ReadString("", "orphan", "none"), "none");
        s.WriteString("C", "added", "2");
    }
    std::string after = readFile(file);
    for (const std::string& kept :
         {std::string("orphan=1\r\n"), std::string("line without equals\r\n"), binary + "\r\n",
          longLine + "\r\n", std::string("=novalue\r\n"), std::string(";comment=x\r\n"),
          std::string("[B\r\n"), std::string("last=1\r\nadded=2\r\n")})
        EXPECT_NE(after.find(kept), std::string::npos) << kept.substr(0, 30);
}

TEST_F(IniStoreTest, EmptyMissingAndDirectoryPaths) {
    writeFile(file, "");
    IniStore empty(file);
    EXPECT_FALSE(empty.SectionExists("A"));
    EXPECT_EQ(empty.ReadSections().size(), 0u);
    IniStore missing(dir / "nothing.cnf");
    EXPECT_EQ(missing.ReadInteger("A", "b", 5), 5);
    EXPECT_FALSE(std::filesystem::exists(dir / "nothing.cnf"));
    std::filesystem::create_directory(dir / "folder.cnf");
    EXPECT_THROW(IniStore{dir / "folder.cnf"}, FileError);
}

TEST_F(IniStoreTest, EveryReturnedWriteIsOnDiskAndSeenByOthers) {
    IniStore a(file);
    a.WriteString("S", "k", "1");
    IniStore b(file);
    EXPECT_EQ(b.ReadString("S", "k", ""), "1");
    b.WriteString("S", "k", "2");
    EXPECT_EQ(a.ReadString("S", "k", ""), "2");
    ASSERT_TRUE(copyFile(file, dir / "copy.cnf"));
    EXPECT_EQ(readFile(dir / "copy.cnf"), crlf("[S]\nk=2\n"));
}

TEST_F(IniStoreTest, BatchPersistsOnceAtItsEndWhileOthersSeeEveryWrite) {
    writeFile(file, crlf("[S]\nold=1\n"));
    IniStore writer(file);
    {
        IniStore::Batch batch(writer);
        writer.WriteString("S", "k", "in batch");
        writer.DeleteKey("S", "old");
        EXPECT_EQ(readFile(file), crlf("[S]\nold=1\n")); // not persisted yet
        IniStore reader(file);                           // opened during the batch
        EXPECT_EQ(reader.ReadString("S", "k", ""), "in batch");
        EXPECT_EQ(reader.ReadString("S", "old", "gone"), "gone");
        ASSERT_TRUE(copyFile(file, dir / "copy.cnf")); // a copy sees it too
        EXPECT_EQ(readFile(dir / "copy.cnf"), crlf("[S]\nk=in batch\n"));
        {
            IniStore::Batch nested(writer);
            writer.WriteString("S", "n", "1");
        }
        EXPECT_EQ(readFile(file), crlf("[S]\nk=in batch\n")); // the outer batch still open
        writer.WriteString("S", "m", "2");
        batch.commit();
        EXPECT_EQ(readFile(file), crlf("[S]\nk=in batch\nn=1\nm=2\n"));
    }
}

TEST_F(IniStoreTest, AStoreOnARelativeNameKeepsToItsFileWhenTheFolderChanges) {
    // A file dialog makes the chosen file's folder the working directory
    // while stores stay open.
    putFile(file, "[S]\nk=1\n");
    std::filesystem::create_directory(dir / "sub");
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    {
        IniStore s("A.cnf");
        std::filesystem::current_path(dir / "sub");
        s.WriteString("S", "k", "2");
        IniStore::Batch batch(s);
        s.WriteString("S", "m", "3");
        batch.commit();
        EXPECT_EQ(IniStore(file).ReadString("S", "m", ""), "3");
    }
    std::filesystem::current_path(saved);
    EXPECT_EQ(readFile(file), crlf("[S]\nk=2\nm=3\n"));
    EXPECT_FALSE(std::filesystem::exists(dir / "sub" / "A.cnf"));
}

TEST_F(IniStoreTest, FilesReplacedBehindAStoreAreReadAgain) {
    IniStore s(file);
    s.WriteString("S", "k", "mine");
    writeFile(file, crlf("[S]\nk=theirs\n"));
    EXPECT_EQ(s.ReadString("S", "k", ""), "theirs");
    writeFile(dir / "other.cnf", crlf("[S]\nk=copied\n"));
    ASSERT_TRUE(copyFile(dir / "other.cnf", file));
    EXPECT_EQ(s.ReadString("S", "k", ""), "copied");
    EXPECT_FALSE(copyFile(dir / "absent.cnf", file));
    EXPECT_EQ(s.ReadString("S", "k", ""), "copied");
}

// A writer that runs out of room after N bytes (the file-size limit makes
// write() fail with EFBIG, for root too): the old file must stay whole and
// the error must name the file.
TEST_F(IniStoreTest, AFailedWriteLeavesTheOldFileIntactAndSaysWhich) {
    std::string original = crlf("[S]\nk=original\n");
    writeFile(file, original);
    IniStore s(file);
    std::string message;
    {
        FileSizeLimit full(64);
        try {
            s.WriteString("S", "big", std::string(200, 'x'));
        } catch (const FileError& e) {
            message = e.what();
        }
    }
    EXPECT_EQ(message.rfind("Unable to write to " + file.string(), 0), 0u) << message;
    EXPECT_EQ(readFile(file), original);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename(), "A.cnf") << "temporary file left behind";
    EXPECT_THROW(writeFile(dir / "no" / "such" / "dir.cnf", "x"), FileError);
}

TEST_F(IniStoreTest, AFailedWriteIsNotSeenByReaders) {
    writeFile(file, crlf("[S]\nk=original\n"));
    IniStore s(file);
    {
        FileSizeLimit full(16);
        EXPECT_THROW(s.WriteString("S", "k", std::string(100, 'y')), FileError);
    }
    EXPECT_EQ(s.ReadString("S", "k", ""), "original");
}

// Lookups end at the first header of a name; the list of sections must say
// the same, or a caller walking ReadSections would find sections that
// SectionExists and ReadString deny.
TEST_F(IniStoreTest, ARepeatedHeaderIsNotASectionOfItsOwn) {
    putFile(file, "[A]\n\n[B]\nk=1\n[a]\nk=2\n[b]\nk=3\n");
    IniStore s(file);
    EXPECT_EQ(s.ReadSections(), std::vector<std::string>{"B"});
    EXPECT_FALSE(s.SectionExists("A"));
    EXPECT_EQ(s.ReadString("A", "k", "none"), "none");
    EXPECT_EQ(s.ReadString("B", "k", "none"), "1");
}
