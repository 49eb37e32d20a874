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

// The lines (CP1251, without line ends) of one archive, newest record first;
// nullopt when the archive's counter is out of range (the archive is absent).
// name is the configuration's path without extension (folder/NAME): the
// detector, zone, function and output names come from NAME.cnf and NAME.tbN.
std::optional<std::vector<std::string>> ArchiveLines(ArchiveKind kind,
                                                     std::span<const std::uint8_t> image,
                                                     const std::filesystem::path& name);

// The text file of an archive: NAME_АрхивПожаров.txt, NAME_АрхивОтказов.txt,
// NAME_АрхивСобытий.txt.
std::filesystem::path ArchiveFile(ArchiveKind kind, const std::filesystem::path& name);

// Writes the archive's text file (CP1251, CR LF), replacing an older one.
// An absent archive writes nothing and leaves an older file as it was;
// returns whether a file was written. Throws FileError when it cannot write.
bool DecodeArchive(ArchiveKind kind, std::span<const std::uint8_t> image,
                   const std::filesystem::path& name);

// The order a read decodes them in: faults, fires, events.
void DecodeArchives(std::span<const std::uint8_t> image, const std::filesystem::path& name);

// Pieces, exposed for the tests and the window.
std::string BcdText(std::uint8_t b);              // 0x25 -> "25", 0x1A -> "110"
std::string ArchiveDeviceText(std::uint8_t code); // "ПУ-П ", "ППКП3", "БДУ2", " " ...

} // namespace kvort
