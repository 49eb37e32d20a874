#pragma once
// Test texts are UTF-8 for readability; the files hold CP1251.
#include "TempDir.h"
#include "document/IniStore.h"
#include "text/Cp1251.h"

#include <filesystem>
#include <string>

namespace kvort::test {

// UTF-8 test text -> CP1251 bytes, and back.
inline std::string cp(const std::string& utf8) {
    return text::fromUtf8(utf8);
}
inline std::string u8(const std::string& cp1251) {
    return text::toUtf8(cp1251);
}
// A file's content as UTF-8 (the files are CP1251).
inline std::string fileUtf8(const std::filesystem::path& p) {
    return text::toUtf8(readFile(p));
}

} // namespace kvort::test
