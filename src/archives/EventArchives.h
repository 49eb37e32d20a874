#pragma once
// The three ring archives a panel image carries (fires, faults, events),
// turned into text files beside the configuration: one line per record,
// newest first, with devices, addresses and event codes put into words and
// the names of the configuration filled in.
//
// The image is any byte buffer: the panel image of an F/H read, or the
// separate ARHIVE.BIN of a series I card, which has the same layout. A buffer
// shorter than the archive area reads as if its missing bytes were 0xFF.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kvort {

enum class ArchiveKind { Fires, Faults, Events };

// Offsets of the archive area.
namespace archive {
inline constexpr std::size_t kEventCounter = 0x9FFE;
inline constexpr std::size_t kEventRing = 0xA000;
inline constexpr std::size_t kEventCounterAlt = 0xAFFE;
inline constexpr std::size_t kEventRingAlt = 0xB000;
inline constexpr std::size_t kLayoutMarker = 0xBFFD;
inline constexpr std::uint8_t kAltLayout = 0xFD;
inline constexpr std::size_t kFaultCounter = 0xBFFE;
inline constexpr std::size_t kFaultRing = 0xC000;
inline constexpr std::size_t kFireCounter = 0xDFFE;
inline constexpr std::size_t kFireRing = 0xE000;
inline constexpr int kSlots = 1000;
inline constexpr int kSlotsAlt = 488;
} // namespace archive

// The configuration's names an archive line fills in, for all three
// archives of one image: detectors from NAME.tbN, direction zones and relay
// functions and output descriptions from NAME.cnf. name is the
// configuration's path without extension (folder/NAME; a dot inside it
// belongs to the name). Each file is read once, when first needed, and the
// files must not change while the source lives.
class ArchiveNames {
  public:
    explicit ArchiveNames(const std::filesystem::path& name);
    ~ArchiveNames();
    ArchiveNames(const ArchiveNames&) = delete;
    ArchiveNames& operator=(const ArchiveNames&) = delete;

    const std::filesystem::path& name() const;
    // "ZONE TEXT /Dsl-aa /TYPE", or the unknown detector's line.
    std::string detector(int deviceCode, int object);
    // ZONE(n) and FUNC(n, k) of a БДУn device; "" for any other device.
    std::string zone(const std::string& device);
    std::string function(const std::string& device, int relay);
    // OUT(dev, k): the description of output k of a five-character device.
    std::string output(const std::string& device, int k);

  private:
    static std::optional<int> direction(const std::string& device);
    struct Files;
    std::unique_ptr<Files> m_files;
};

// The lines (CP1251, without line ends) of one archive, newest record first;
// nullopt when the archive's counter is out of range (the archive is absent).
std::optional<std::vector<std::string>>
ArchiveLines(ArchiveKind kind, std::span<const std::uint8_t> image, ArchiveNames& names);
// The same with a names source of its own (folder/NAME, as above).
std::optional<std::vector<std::string>> ArchiveLines(ArchiveKind kind,
                                                     std::span<const std::uint8_t> image,
                                                     const std::filesystem::path& name);

// The text file of an archive: NAME_АрхивПожаров.txt, NAME_АрхивОтказов.txt,
// NAME_АрхивСобытий.txt.
std::filesystem::path ArchiveFile(ArchiveKind kind, const std::filesystem::path& name);

// Writes the archive's text file (CP1251, CR LF), replacing an older one.
// An absent archive writes nothing and leaves an older file as it was;
// returns whether a file was written. Throws FileError when it cannot write.
bool DecodeArchive(ArchiveKind kind, std::span<const std::uint8_t> image, ArchiveNames& names);
bool DecodeArchive(ArchiveKind kind, std::span<const std::uint8_t> image,
                   const std::filesystem::path& name);

// The order a read decodes them in: faults, fires, events; one names source
// for the three.
void DecodeArchives(std::span<const std::uint8_t> image, const std::filesystem::path& name);

// Pieces, exposed for the tests and the window.
std::string BcdText(std::uint8_t b);              // 0x25 -> "25", 0x1A -> "110"
std::string ArchiveDeviceText(std::uint8_t code); // "ПУ-П ", "ППКП3", "БДУ2", " " ...

} // namespace kvort
