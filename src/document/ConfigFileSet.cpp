#include "ConfigFileSet.h"

namespace kvort {

std::filesystem::path ChangeFileExt(const std::filesystem::path& path, std::string_view ext) {
    std::string s = path.string();
    size_t slash = s.rfind('/');
    size_t dot = s.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        s.erase(dot);
    return std::filesystem::path(s + std::string(ext));
}

} // namespace kvort
