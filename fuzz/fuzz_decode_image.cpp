// The image decoder on arbitrary images: the pure step from the image to the
// decoded value, no store and no file (rendering the value as files is
// covered by the decoder tests, byte for byte). An input shorter than an
// image is laid over an image of 0xFF (the state of unwritten panel memory).
// Every scenario step and linked output must come back from the text the
// files will hold: a step the tool cannot read again makes the set
// unreadable, and an output read back as another is a wrong byte in the
// next image.
//
//   fuzz_decode_image -max_len=65536 CORPUS_DIR SEED_IMAGES...
#include "FuzzSupport.h"
#include "image/Decoder.h"
#include "text/Error.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kvort::TPanelImage image;
    const std::size_t n = size < kvort::TPanelImage::kSize ? size : kvort::TPanelImage::kSize;
    std::memcpy(image.data(), data, n);
    try {
        const kvort::DecodedConfig config = kvort::DecodeImage(image);
        KVORT_REQUIRE(config.series == kvort::Series::FH || config.series == kvort::Series::I);
        for (const kvort::DecodedScenario& sc : config.scenarios)
            for (int j = 0; j < sc.stepCount; ++j)
                KVORT_REQUIRE(kvort::ReadStepRef(kvort::StepText(sc.steps[j]), {}) == sc.steps[j]);
        for (const kvort::DecodedLinkedOutput& l : config.linkedOutputs)
            if (l.output) {
                const std::string text = kvort::OutputRefText(*l.output, true);
                KVORT_REQUIRE(kvort::ReadOutputRef(text, kvort::LinkedOutputHasWideNumber(text),
                                                   true, {}) == l.output);
            }
    } catch (const kvort::ImageError&) {
        // An image whose parts contradict each other is refused with a
        // message, which is the sound outcome.
    }
    return 0;
}
