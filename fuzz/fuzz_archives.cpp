// The three archive decoders on arbitrary archive areas, with the names of
// the full sample configuration. The input is laid over the image from the
// first archive counter on (the rest 0xFF, never-written memory), so every
// mutation lands in the archive area.
//
//   fuzz_archives -max_len=24384 CORPUS_DIR
#include "FuzzSupport.h"

#include "archives/EventArchives.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

using namespace kvort;

namespace {

constexpr std::size_t kImageSize = 65536;
constexpr std::size_t kRecord = 8;

// Records a ring holds: those whose first byte is not 0xFF.
std::size_t recordsIn(const std::array<std::uint8_t, kImageSize>& image, std::size_t base,
                      int slots) {
    std::size_t n = 0;
    for (int i = 0; i < slots; ++i)
        n += image[base + i * kRecord] != 0xFF;
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ArchiveNames* names =
        new ArchiveNames(fuzz::copySample("full", fuzz::workFolder("arch")));
    static auto image = std::make_unique<std::array<std::uint8_t, kImageSize>>();
    image->fill(0xFF);
    const std::size_t n = std::min(size, kImageSize - archive::kEventCounter);
    std::copy_n(data, n, image->begin() + archive::kEventCounter);

    const bool alt = (*image)[archive::kLayoutMarker] == archive::kAltLayout;
    struct Ring {
        ArchiveKind kind;
        std::size_t counter, base;
        int slots;
    };
    const Ring rings[] = {
        {ArchiveKind::Fires, archive::kFireCounter, archive::kFireRing, archive::kSlots},
        {ArchiveKind::Faults, archive::kFaultCounter, archive::kFaultRing, archive::kSlots},
        {ArchiveKind::Events, alt ? archive::kEventCounterAlt : archive::kEventCounter,
         alt ? archive::kEventRingAlt : archive::kEventRing,
         alt ? archive::kSlotsAlt : archive::kSlots},
    };
    for (const Ring& r : rings) {
        const auto lines = ArchiveLines(r.kind, std::span<const std::uint8_t>(*image), *names);
        const unsigned counter = (*image)[r.counter] * 256u + (*image)[r.counter + 1];
        // Present exactly when the counter lies in the ring; then one line
        // per written slot, whatever the record says.
        KVORT_REQUIRE(lines.has_value() == (counter < static_cast<unsigned>(r.slots)));
        if (lines)
            KVORT_REQUIRE(lines->size() == recordsIn(*image, r.base, r.slots));
    }
    return 0;
}
