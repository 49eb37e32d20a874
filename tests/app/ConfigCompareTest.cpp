// The comparison on copies of the full sample: identical sets, one change of
// each kind, an image against its own configuration, and the points the
// panel cannot hold.
#include "app/ConfigCompare.h"
#include "document/Detectors.h"
#include "document/IniStore.h"
#include "image/PanelImage.h"
#include "text/Cp1251.h"
#include "text/Error.h"
#include "text/Literals.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>

namespace kvort {
namespace {

using namespace text::literals;
namespace fs = std::filesystem;

std::string u(const std::string& cp1251) {
    return text::toUtf8(cp1251);
}

class ConfigCompareTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("kvort-cmp-test-" + std::to_string(std::random_device{}()));
        for (const char* side : {"a", "b"}) {
            fs::create_directories(dir / side);
            for (const auto& e : fs::directory_iterator(fs::path(KVORT_EXAMPLES_DIR) / "full"))
                fs::copy_file(e.path(), dir / side / e.path().filename());
        }
        a = dir / "a" / "full.cnf";
        b = dir / "b" / "full.cnf";
    }
    void TearDown() override { fs::remove_all(dir); }

    std::vector<std::string> lines(const Comparison& cmp) {
        std::vector<std::string> out;
        for (const Difference& d : cmp.differences)
            out.push_back(u(d.line()));
        return out;
    }

    fs::path dir, a, b;
};

TEST_F(ConfigCompareTest, IdenticalSetsGiveNothing) {
    Comparison cmp = CompareSources(SourceFromPath(a), SourceFromPath(b));
    EXPECT_TRUE(cmp.same());
    EXPECT_TRUE(cmp.notes.empty());
    EXPECT_EQ(u(FormatComparison(cmp).back()), "Различий нет.");
}

TEST_F(ConfigCompareTest, OneChangeOfEachKindGivesExactlyItsLine) {
    struct Row {
        const char* name;
        std::function<void(IniStore& cnf, const fs::path& b)> change;
        DiffKind kind;
        const char* line;
    };
    const std::vector<Row> rows = {
        {"composition",
         [](IniStore& cnf, const fs::path&) { cnf.WriteString("СОСТАВ"_cp, "8", "ПИУ"_cp); },
         DiffKind::Composition, "слот 8: A «ППКП», B «ПИУ»"},
        {"zone",
         [](IniStore& cnf, const fs::path&) { cnf.WriteString("ЗОНА"_cp, "3", "СЕРВЕРНАЯ 2"_cp); },
         DiffKind::Zones, "зона 3: A «1.03 СЕРВЕРН», B «СЕРВЕРНАЯ 2»"},
        {"detector zone",
         [](IniStore&, const fs::path& b) {
             IniStore tb(fs::path(b).replace_extension(".tb1"));
             tb.WriteString("И11-01"_cp, "ЗОНА"_cp, "1.01 ХОЛЛ"_cp);
         },
         DiffKind::Detectors, "И11-01, зона: A «1.28 КЛАДОВА», B «1.01 ХОЛЛ»"},
        {"detector removed",
         [](IniStore&, const fs::path& b) {
             IniStore tb(fs::path(b).replace_extension(".tb1"));
             tb.EraseSection("И11-02"_cp);
         },
         DiffKind::Detectors, ""},
        {"scenario step",
         [](IniStore& cnf, const fs::path&) {
             cnf.WriteString("СЦЕНАРИЙ 01"_cp, "ШАГ 02"_cp, "БРВУ2/03/ВЫКЛ/002"_cp);
         },
         DiffKind::Scenarios, "сценарий 01, шаг 02: A «БРВУ2/03/ВКЛ /002», B «БРВУ2/03/ВЫКЛ/002»"},
        {"direction relay",
         [](IniStore& cnf, const fs::path&) {
             cnf.WriteString("НАПРАВЛЕНИЕ 1"_cp, "РЕЛЕ 3"_cp, "СТОП"_cp);
         },
         DiffKind::Directions, "направление 1, реле 3: A «БЛОКИРОВКА», B «СТОП»"},
        {"description",
         [](IniStore& cnf, const fs::path&) {
             cnf.DeleteKey("ОПИСАНИЕ ВЫХОДОВ"_cp, "ПУ-П /05"_cp);
         },
         DiffKind::Descriptions, "выход ПУ-П /05: A «ВЫХОД 5 СКЛАД», B нет"},
        {"comment",
         [](IniStore& cnf, const fs::path&) {
             cnf.WriteString("КОММЕНТАРИИ К ПРИБОРАМ"_cp, "ППКП2"_cp, "ЩИТ 9"_cp);
         },
         DiffKind::Comments, "прибор ППКП2: A «ЩИТ ЭТАЖА 3», B «ЩИТ 9»"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        // copyFile, not a plain copy: stores on the target must re-read it.
        for (const auto& e : fs::directory_iterator(dir / "a"))
            ASSERT_TRUE(copyFile(e.path(), dir / "b" / e.path().filename()));
        {
            IniStore cnf(b);
            row.change(cnf, b);
        }
        Comparison cmp = CompareSources(SourceFromPath(a), SourceFromPath(b));
        ASSERT_EQ(cmp.differences.size(), 1u) << ::testing::PrintToString(lines(cmp));
        EXPECT_EQ(cmp.differences[0].kind, row.kind);
        EXPECT_EQ(cmp.count(row.kind), 1);
        if (*row.line) {
            EXPECT_EQ(lines(cmp)[0], row.line);
        }
    }
}

// What a write would send, for the comparison to read back.
TPanelImage ImageOf(const fs::path& cnf, Series series) {
    return EncodeConfigurationImage(cnf, series);
}

TEST_F(ConfigCompareTest, ImageAgainstItsOwnConfigurationGivesOnlyWhatThePanelCannotHold) {
    {
        // Points the panel cannot hold, one of each rule.
        IniStore cnf(a);
        cnf.WriteString("ЗОНА"_cp, "5", "ОЧЕНЬ ДЛИННОЕ ИМЯ ЗОНЫ"_cp); // 22 > 16
        cnf.WriteString("СЦЕНАРИЙ 01"_cp, "ШАГ 02"_cp, "БРВУ2/03/ВКЛ /015"_cp);
        IniStore tb(fs::path(a).replace_extension(".tb1"));
        tb.WriteString("И11-01"_cp, "ТЕКСТ"_cp, "ИЗВЕЩАТЕЛЬ ДЫМОВОЙ КОРИДОР 1"_cp); // 28 > 20
    }
    for (Series series : {Series::FH, Series::I}) {
        SCOPED_TRACE(SeriesCode(series));
        const fs::path image = dir / "panel.bin";
        writeFile(image, ImageOf(a, series).bytes());
        Comparison cmp = CompareSources(SourceFromPath(a), SourceFromPath(image));
        EXPECT_TRUE(cmp.same()) << ::testing::PrintToString(lines(cmp));
        std::string notes;
        for (const std::string& n : cmp.notes)
            notes += u(n) + "\n";
        EXPECT_NE(notes.find("A: зона 5: «ОЧЕНЬ ДЛИННОЕ ИМЯ ЗОНЫ» длиннее 16 знаков, прибор хранит "
                             "«ОЧЕНЬ ДЛИННОЕ ИМ»"),
                  std::string::npos)
            << notes;
        EXPECT_NE(notes.find("A: И11-01, текст: «ИЗВЕЩАТЕЛЬ ДЫМОВОЙ КОРИДОР 1» длиннее 20 знаков, "
                             "прибор хранит «ИЗВЕЩАТЕЛЬ ДЫМОВОЙ К»"),
                  std::string::npos)
            << notes;
        EXPECT_NE(notes.find("A: сценарий 01, шаг 02: задержка 15, прибор хранит 14"),
                  std::string::npos)
            << notes;
        // The header says how values are compared and names the points.
        std::vector<std::string> text = FormatComparison(cmp);
        EXPECT_EQ(u(text[2]), "Значения, которые прибор не может хранить, сравниваются так, как "
                              "их хранит прибор.");
    }
}

TEST_F(ConfigCompareTest, ImageWithOneDetectorChangedNamesTheDetector) {
    {
        IniStore tb(fs::path(b).replace_extension(".tb2"));
        tb.WriteString("И21-01"_cp, "СОСТОЯНИЕ"_cp, "ВЫКЛ"_cp);
    }
    const fs::path image = dir / "panel.bin";
    writeFile(image, ImageOf(b, Series::I).bytes());
    Comparison cmp = CompareSources(SourceFromPath(a), SourceFromPath(image));
    ASSERT_EQ(lines(cmp), std::vector<std::string>{"И21-01, состояние: A «ВКЛ», B «ВЫКЛ»"});
    EXPECT_EQ(u(cmp.labelB), "panel.bin (образ прибора, серия I)");
    EXPECT_TRUE(cmp.inputs.empty());

    // A longer file is compared on its first 65536 bytes, and the header says so.
    writeFile(image, std::string(ImageOf(b, Series::I).bytes()) + "TAIL");
    cmp = CompareSources(SourceFromPath(a), SourceFromPath(image));
    EXPECT_EQ(lines(cmp).size(), 1u);
    const std::vector<std::string> text = FormatComparison(cmp);
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ(u(text[2]), "ВНИМАНИЕ: Файл " + image.string() +
                              " длиннее 65536 байт: образом прибора считаются его первые 65536 "
                              "байт");
}

TEST_F(ConfigCompareTest, TroubleIsAnErrorNamingTheFile) {
    const fs::path shortImage = dir / "short.bin";
    writeFile(shortImage, std::string(100, '\xFF'));
    for (const fs::path& p : {dir / "missing.cnf", dir / "missing.bin", shortImage}) {
        SCOPED_TRACE(p.string());
        try {
            CompareSources(SourceFromPath(a), SourceFromPath(p));
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(p.filename().string()), std::string::npos)
                << e.what();
        }
    }
}

} // namespace
} // namespace kvort
