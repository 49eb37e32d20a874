// The decoder on damaged images: a fixed corpus of mutations of the sample
// images. Under the sanitizer build this is the run that catches a read
// outside the buffer; everywhere it checks that a damaged image either
// decodes or is refused with an ImageError, never anything else.
#include "ImageTestSupport.h"

#include "image/Decoder.h"
#include "text/Error.h"

#include <random>

namespace kvort::test {
namespace {

struct Mutation {
    const char* name;
    void (*apply)(TPanelImage&, std::mt19937&);
};

std::uint8_t rnd8(std::mt19937& g) {
    return static_cast<std::uint8_t>(g() & 0xFF);
}

const Mutation kMutations[] = {
    {"header",
     [](TPanelImage& im, std::mt19937& g) {
         for (std::uint32_t at = 0x03FC; at <= 0x03FF; ++at)
             im.setByte(at, rnd8(g));
     }},
    {"headerAtTheEnd",
     [](TPanelImage& im, std::mt19937& g) {
         im.setByte(0x03FC, 0xFF);
         im.setByte(0x03FD, 0xFF - (rnd8(g) & 3));
         im.setByte(0x03FE, 0xFF);
         im.setByte(0x03FF, 0xFF);
     }},
    {"lineMap",
     [](TPanelImage& im, std::mt19937& g) {
         std::uint32_t L = im.byte(0x03FC) * 256u;
         for (std::uint32_t i = 0; i < 11 && TPanelImage::contains(L + i); ++i)
             im.setByte(L + i, rnd8(g));
     }},
    {"textOffsets",
     [](TPanelImage& im, std::mt19937& g) {
         for (int i = 0; i < 64; ++i)
             im.setBe16((g() % 0x1200) * 4 + 2, static_cast<std::uint16_t>(0xFF00 | rnd8(g)));
     }},
    {"records",
     [](TPanelImage& im, std::mt19937& g) {
         for (int i = 0; i < 256; ++i)
             im.setByte(g() % 0x4800, rnd8(g));
     }},
    {"upperMap",
     [](TPanelImage& im, std::mt19937& g) {
         for (int i = 0; i < 512; ++i)
             im.setByte(0x8000 + g() % 0x8000, rnd8(g));
     }},
    {"noTerminators",
     [](TPanelImage& im, std::mt19937&) {
         for (std::uint32_t i = 0x8100; i < 0x10000; ++i)
             if (im.byte(i) == 0x00 || im.byte(i) == 0xFF)
                 im.setByte(i, 'A');
     }},
    {"everything",
     [](TPanelImage& im, std::mt19937& g) {
         for (std::uint32_t i = 0; i < TPanelImage::kSize; ++i)
             im.setByte(i, rnd8(g));
     }},
    {"zeros", [](TPanelImage& im, std::mt19937&) { im.fillAll(0x00); }},
};

TEST(CorruptImage, DecodesWhatIsSaneAndStopsCleanly) {
    TempDir dir;
    std::vector<TPanelImage> seeds;
    for (const char* name : {"small", "full"}) {
        fs::create_directories(dir.path() / name);
        fs::path cnf = copySample(name, dir.path() / name);
        seeds.push_back(encodeAll(cnf, Series::FH).image);
        seeds.push_back(encodeAll(cnf, Series::I).image);
    }
    fs::path out = dir.path() / "out" / "C.cnf";
    fs::create_directories(out.parent_path());
    std::mt19937 gen(20261209);
    int decoded = 0, refused = 0;
    for (const Mutation& m : kMutations)
        for (std::size_t s = 0; s < seeds.size(); ++s)
            for (int round = 0; round < 3; ++round) {
                TPanelImage image = seeds[s];
                m.apply(image, gen);
                WriteReadSkeleton(out);
                try {
                    Series series = DecodePanelImage(image, out);
                    EXPECT_TRUE(series == Series::FH || series == Series::I);
                    ++decoded;
                } catch (const ImageError&) {
                    ++refused; // a linked output naming a device the image lacks
                } catch (const std::exception& e) {
                    ADD_FAILURE() << m.name << " seed " << s << " round " << round << ": "
                                  << e.what();
                }
            }
    EXPECT_GT(decoded, 0);
    RecordProperty("decoded", decoded);
    RecordProperty("refused", refused);
}

} // namespace
} // namespace kvort::test
