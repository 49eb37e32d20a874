#pragma once
// The texts of the image layer's errors and notes (UTF-8, Russian, ours).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace kvort::msg {

// A file given as a panel image that holds fewer bytes than an image.
inline std::string imageFileTooShort(const std::filesystem::path& path, std::size_t size) {
    return "Файл " + path.string() + " не является образом прибора: в нём " + std::to_string(size) +
           " байт, а нужно 65536";
}

// A longer file: its first 65536 bytes are the image.
inline std::string imageFileLonger(const std::filesystem::path& path) {
    return "Файл " + path.string() +
           " длиннее 65536 байт: образом прибора считаются его первые 65536 байт";
}

inline std::string imageBufferTooShort(std::size_t size) {
    return "Образ прибора слишком короткий: " + std::to_string(size) + " байт, а нужно 65536";
}

inline std::string imageRange(std::uint32_t offset, std::uint32_t count) {
    return "Обращение за пределы образа прибора: смещение " + std::to_string(offset) + ", " +
           std::to_string(count) + " байт";
}

} // namespace kvort::msg
