#pragma once
// The one way files are read as input (configurations, detector files,
// panel images, card files, what the history keeps). Every read is bounded
// and refuses what is not a regular file, so a FIFO without a writer, a
// device such as /dev/zero or a folder ends with a message naming it
// instead of a hang or memory without end. Errors are FileError naming the
// file (texts in document/Messages.h).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace kvort {

// No real installation comes near this; it only keeps a wrong file from
// costing memory without end.
inline constexpr std::uintmax_t kTextFileLimit = std::uintmax_t{16} * 1024 * 1024;

// The first bytes of a file, and whether it holds more than were asked for.
struct InputPrefix {
    std::string bytes;
    bool longer = false;
};

// Reads at most `size` bytes of a regular file (size + 1 are read to learn
// whether there are more).
InputPrefix readInputPrefix(const std::filesystem::path& path, std::size_t size);

// Reads a whole regular file of at most `limit` bytes; a longer one is
// refused with a message naming it.
std::string readFile(const std::filesystem::path& path, std::uintmax_t limit = kTextFileLimit);

} // namespace kvort
