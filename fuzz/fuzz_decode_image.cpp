// The image decoder on arbitrary images: the pure step from the image to the
// decoded value, no store and no file (rendering the value as files is
// covered by the decoder tests, byte for byte). An input shorter than an
// image is laid over an image of 0xFF (the state of unwritten panel memory).
//
//   fuzz_decode_image -max_len=65536 CORPUS_DIR SEED_IMAGES...
#include "FuzzSupport.h"
#include "image/Decoder.h"
#include "text/Error.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kvort::TPanelImage image;
    const std::size_t n = size < kvort::TPanelImage::kSize ? size : kvort::TPanelImage::kSize;
    std::memcpy(image.data(), data, n);
    try {
        const kvort::DecodedConfig config = kvort::DecodeImage(image);
        KVORT_REQUIRE(config.series == kvort::Series::FH || config.series == kvort::Series::I);
    } catch (const kvort::ImageError&) {
        // An image whose parts contradict each other is refused with a
        // message, which is the sound outcome.
    }
    return 0;
}
