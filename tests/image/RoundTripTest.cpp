// Encoding and decoding are fixed points of each other on the samples.
//
// What a decode does not give back as it was written (so the first decode
// of a sample differs from the sample, but not from a second decode):
// [СОСТАВ] "ПУ-П"/"ППКП" come back as "ПУ-П(8)"/"ППКП(8)" and "БРИТ" as
// "БРИТ " (trimmed on reading); zone names come padded to 16 blanks; a
// missing СОСТОЯНИЕ comes back "ВЫКЛ"; a ПИУ output "ПИУ31/.." as "БКА31/..";
// odd step delays come back one lower; texts beyond 20 characters and notes,
// comments and I descriptions beyond 19 are cut; keys that never reach the
// panel (comments and ПИУ descriptions in F/H, for instance) are absent;
// a БЕЗ ФИКСАЦИИ detector without an output comes back with ВЫХОД "НЕТ"
// (which means the same); detector keys come in the decoder's order.
#include "ImageTestSupport.h"

#include "image/Decoder.h"

namespace kvort::test {
namespace {

struct Sample {
    const char* name;
    Series series;
};

class RoundTrip : public ::testing::TestWithParam<Sample> {};

std::vector<std::string> setFiles(const fs::path& cnf) {
    std::vector<std::string> out{readFile(cnf)};
    ConfigFileSet set(cnf);
    for (int s = 0; s < kSlotCount; ++s)
        out.push_back(fs::exists(set.tb(s)) ? readFile(set.tb(s)) : std::string("<none>"));
    return out;
}

fs::path decodeInto(const TPanelImage& image, const fs::path& folder) {
    fs::create_directories(folder);
    fs::path cnf = WriteReadSkeleton(folder / "R.cnf");
    DecodePanelImage(image, cnf);
    return cnf;
}

TEST_P(RoundTrip, EncodeDecodeEncodeIsAFixedPoint) {
    TempDir dir;
    fs::path sample = copySample(GetParam().name, dir.path());
    Encoded first = encodeAll(sample, GetParam().series);

    fs::path a = decodeInto(first.image, dir.path() / "a");
    Encoded second = encodeAll(a, GetParam().series);
    EXPECT_TRUE(first.image == second.image);
    for (std::uint32_t i = 0; i < TPanelImage::kSize; ++i)
        if (first.image.byte(i) != second.image.byte(i)) {
            ADD_FAILURE() << "first difference at offset " << i;
            break;
        }
    EXPECT_EQ(first.texts, second.texts);
    EXPECT_EQ(first.linked, second.linked);

    fs::path b = decodeInto(second.image, dir.path() / "b");
    EXPECT_EQ(setFiles(a), setFiles(b));
}

INSTANTIATE_TEST_SUITE_P(Samples, RoundTrip,
                         ::testing::Values(Sample{"small", Series::FH}, Sample{"small", Series::I},
                                           Sample{"full", Series::FH}, Sample{"full", Series::I},
                                           Sample{"limits", Series::I}),
                         [](const auto& info) {
                             return std::string(info.param.name) +
                                    (info.param.series == Series::I ? "_I" : "_FH");
                         });

// What the samples are there to show.
TEST(Samples, OutcomesOfTheEncodingPasses) {
    TempDir dir;
    struct Expect {
        const char* name;
        Series series;
        OutputTextsResult texts;
        LinkedOutputsResult linked;
        bool scenarios;
    };
    for (const Expect& e : {
             Expect{"small", Series::FH, OutputTextsResult::Done, LinkedOutputsResult::Done, true},
             Expect{"full", Series::FH, OutputTextsResult::Done, LinkedOutputsResult::Done, true},
             Expect{"full", Series::I, OutputTextsResult::Done, LinkedOutputsResult::Done, true},
             Expect{"limits", Series::FH, OutputTextsResult::NotStored,
                    LinkedOutputsResult::TextSpace, false},
             Expect{"limits", Series::I, OutputTextsResult::Done, LinkedOutputsResult::TableFull,
                    true},
         }) {
        fs::path sample = copySample(e.name, dir.path());
        Encoded r = encodeAll(sample, e.series);
        EXPECT_EQ(r.texts, e.texts) << e.name << SeriesCode(e.series);
        EXPECT_EQ(r.linked, e.linked) << e.name << SeriesCode(e.series);
        EXPECT_EQ(r.scenarios, e.scenarios) << e.name << SeriesCode(e.series);
    }
}

// The F/H sample loses nothing but what the list above names.
TEST(Samples, SmallSampleDecodesToWhatItSays) {
    TempDir dir;
    fs::path sample = copySample("small", dir.path());
    fs::path a = decodeInto(encodeAll(sample, Series::FH).image, dir.path() / "a");
    IniStore src(sample), got(a);
    for (int z = 1; z <= kZoneCount; ++z)
        EXPECT_EQ(ZoneName(got, z), ZoneName(src, z)) << z;
    for (int k = 1; k <= kScenarioCount; ++k) {
        Scenario s = ReadScenario(src, k), g = ReadScenario(got, k);
        EXPECT_EQ(g.mode, s.mode) << k;
        EXPECT_EQ(g.steps, s.steps) << k;
    }
    for (int slot : {0, 1}) {
        IniStore st(ConfigFileSet(sample).tb(slot)), gt(ConfigFileSet(a).tb(slot));
        for (int l = 1; l <= 8; ++l)
            for (int ad = 1; ad <= 60; ++ad) {
                DetectorRecord s = ReadDetector(st, slot, l, ad), g = ReadDetector(gt, slot, l, ad);
                EXPECT_EQ(g.text, s.text);
                EXPECT_EQ(g.type, s.type);
                EXPECT_EQ(g.zone, s.zone);
                EXPECT_EQ(g.state, s.state);
                EXPECT_EQ(g.output == "НЕТ"_cp ? "" : g.output, s.output);
                EXPECT_EQ(g.hide, s.hide);
            }
    }
    EXPECT_EQ(SlotKind(got, 1), "ППКП(8)"_cp);
}

} // namespace
} // namespace kvort::test
