#pragma once
// The texts of the file errors the document layer raises (UTF-8, for the
// person). "Unable to write to <path>" is the system's own text and stays
// as it is; the rest are ours and Russian. Every one names its file.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace kvort::msg {

// Why an operation on a file failed, from errno: Russian for the causes a
// person meets (missing file, no access, full disk, a failing medium),
// the C library's text for the rest.
std::string reason(int err);

// "Unable to write to <path> (<reason>)"; without a reason when err is 0.
std::string unableToWrite(const std::filesystem::path& path, int err);
// "Не удалось прочитать файл <path> (<reason>)".
std::string unableToRead(const std::filesystem::path& path, int err);
// A folder, a device, a pipe or a socket given where a file is read.
std::string notARegularFile(const std::filesystem::path& path, bool isFolder);
// A file longer than any real one of its kind.
std::string fileTooLarge(const std::filesystem::path& path, std::uintmax_t limit);
// A configuration named on the command line that is not there.
std::string noConfiguration(const std::filesystem::path& path);
// A number field that does not hold a number: the text found and where.
std::string notAnInteger(std::string_view foundUtf8, std::string_view whereUtf8);

} // namespace kvort::msg
