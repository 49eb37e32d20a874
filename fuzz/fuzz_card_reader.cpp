// Reading a card: the card file (any length) is read as the panel image, and
// the archives are decoded as a card read decodes them: for series I from
// ARHIVE.BIN (the rest of the input, when there is one), otherwise from the
// card image itself. The configuration decoder has a harness of its own.
//
// The input is the card file, optionally followed by a separator line
// "\n--ARHIVE--\n" and the archive area of ARHIVE.BIN: the file is those
// bytes laid over 0xFF (never-written memory) from the first archive
// counter on, so an input stays below the size at which every run would
// map and unmap its buffers.
//
//   fuzz_card_reader -max_len=90127 CORPUS_DIR
#include "FuzzSupport.h"

#include "archives/EventArchives.h"
#include "document/IniStore.h"
#include "image/PanelImage.h"
#include "text/Error.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

using namespace kvort;

namespace {

constexpr std::string_view kSeparator = "\n--ARHIVE--\n";

void decodeArchives(const TPanelImage& image, ArchiveNames& names) {
    for (ArchiveKind kind : {ArchiveKind::Faults, ArchiveKind::Fires, ArchiveKind::Events})
        (void)ArchiveLines(kind, std::span<const std::uint8_t>(image.data(), TPanelImage::kSize),
                           names);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path folder = fuzz::workFolder("card");
    static ArchiveNames* names = new ArchiveNames(fuzz::copySample("small", folder));
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find(kSeparator);
    const std::string_view card = input.substr(0, cut);

    const std::filesystem::path cardFile = folder / "CONFIG.BIN";
    fuzz::putFile(cardFile, card);
    bool longer = true;
    try {
        auto image = std::make_unique<TPanelImage>(TPanelImage::fromFile(cardFile, &longer));
        KVORT_REQUIRE(card.size() >= TPanelImage::kSize);
        KVORT_REQUIRE(longer == (card.size() > TPanelImage::kSize));
        KVORT_REQUIRE(std::string_view(reinterpret_cast<const char*>(image->data()),
                                       TPanelImage::kSize) == card.substr(0, TPanelImage::kSize));
        if (image->byte(imagemap::kISeriesMarker) != imagemap::kSeriesMarker) {
            decodeArchives(*image, *names);
        } else if (cut != std::string_view::npos) {
            const std::string_view area = input.substr(cut + kSeparator.size());
            std::string archive(TPanelImage::kSize, '\xFF');
            archive.replace(archive::kEventCounter,
                            std::min(area.size(), archive.size() - archive::kEventCounter),
                            area.substr(0, archive.size() - archive::kEventCounter));
            const std::filesystem::path archiveFile = folder / "ARHIVE.BIN";
            fuzz::putFile(archiveFile, archive);
            *image = TPanelImage::fromFile(archiveFile);
            decodeArchives(*image, *names);
        }
    } catch (const FileError&) {
        // Refused exactly when the card is shorter than an image.
        KVORT_REQUIRE(card.size() < TPanelImage::kSize);
    }
    return 0;
}
