#pragma once
#include "document/IniStore.h"
#include "text/Cp1251.h"

#include <filesystem>
#include <random>
#include <string>

namespace kvort::test {

// A fresh folder under the system's temporary folder, removed at the end.
class TempDir {
public:
    TempDir() {
        std::random_device rd;
        m_path = std::filesystem::temp_directory_path() /
                 ("kvort-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(m_path);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// UTF-8 test text -> CP1251 bytes, and back.
inline std::string cp(const std::string& utf8) { return text::fromUtf8(utf8); }
inline std::string u8(const std::string& cp1251) { return text::toUtf8(cp1251); }
// A file's content as UTF-8 (the files are CP1251).
inline std::string fileUtf8(const std::filesystem::path& p) { return text::toUtf8(readFile(p)); }

} // namespace kvort::test
