// The image decoder on arbitrary images, in memory: the decoded value and
// the files it renders to, with no file written. An input shorter than an
// image is laid over an image of 0xFF (the state of unwritten panel memory).
//
//   fuzz_decode_image -max_len=65536 CORPUS_DIR SEED_IMAGES...
#include "FuzzSupport.h"
#include "document/Lifecycle.h"
#include "image/Decoder.h"
#include "text/Error.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string skeleton = kvort::ReadSkeleton();
    kvort::TPanelImage image;
    const std::size_t n = size < kvort::TPanelImage::kSize ? size : kvort::TPanelImage::kSize;
    for (std::size_t i = 0; i < n; ++i)
        image.setByte(static_cast<std::uint32_t>(i), data[i]);
    try {
        const kvort::DecodedConfig config = kvort::DecodeImage(image);
        KVORT_REQUIRE(config.series == kvort::Series::FH || config.series == kvort::Series::I);
        const kvort::DecodedFiles files = kvort::RenderDecoded(config, skeleton);
        KVORT_REQUIRE(!files.cnf.empty());
        // Every slot of the composition gets its detector file, even an
        // empty one: the set is complete or not written at all.
        for (std::size_t slot = 0; slot < config.composition.size(); ++slot)
            KVORT_REQUIRE(files.tb[slot].has_value());
    } catch (const kvort::ImageError&) {
        // An image whose parts contradict each other is refused with a
        // message, which is the sound outcome.
    }
    return 0;
}
