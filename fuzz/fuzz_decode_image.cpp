// DecodePanelImage on arbitrary images. An input shorter than an image is
// laid over an image of 0xFF (the state of unwritten panel memory).
//
//   fuzz_decode_image -max_len=65536 CORPUS_DIR SEED_IMAGES...
//
// The configuration files go to a private folder under /dev/shm when it
// exists, so the atomic file writes do not dominate the run.
#include "document/Lifecycle.h"
#include "image/Decoder.h"
#include "text/Error.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path workFolder() {
    static fs::path folder = [] {
        fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        fs::path f = base / ("kvort-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(f);
        return f;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kvort::TPanelImage image;
    std::size_t n = size < kvort::TPanelImage::kSize ? size : kvort::TPanelImage::kSize;
    for (std::size_t i = 0; i < n; ++i)
        image.setByte(static_cast<std::uint32_t>(i), data[i]);
    fs::path cnf = kvort::WriteReadSkeleton(workFolder() / "F.cnf");
    try {
        const kvort::Series series = kvort::DecodePanelImage(image, cnf);
        if (series != kvort::Series::FH && series != kvort::Series::I)
            std::abort();
    } catch (const kvort::FileError&) {
        // A linked output naming a device the image does not hold: refused
        // with a message, which is the sound outcome.
    }
    return 0;
}
