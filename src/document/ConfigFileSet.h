#pragma once
// The files of one configuration NAME, all in one folder and all reached by
// replacing the extension of one path (CurrentConfigPath points at whichever
// member was addressed last).
#include <filesystem>
#include <string>
#include <string_view>

namespace kvort {

// Delphi's ChangeFileExt: replaces everything from the last "." of the file
// name (or appends, when the name has none) by ext; ext may be any suffix,
// "_ConfigReport.txt" included, or "" for the bare NAME.
std::filesystem::path ChangeFileExt(const std::filesystem::path& path, std::string_view ext);

class ConfigFileSet {
  public:
    // Any member of the set: NAME.cnf, NAME.tb3, NAME.bin, ...
    explicit ConfigFileSet(const std::filesystem::path& anyMember)
        : m_base(ChangeFileExt(anyMember, "")) {}

    std::filesystem::path base() const { return m_base; } // folder/NAME
    std::string name() const { return m_base.filename().string(); }
    std::filesystem::path folder() const { return m_base.parent_path(); }

    std::filesystem::path cnf() const { return with(".cnf"); }
    std::filesystem::path tb(int slot) const { return with(".tb" + std::to_string(slot)); }
    std::filesystem::path workCnf() const { return with(".~cnf"); }
    std::filesystem::path workTb(int slot) const { return with(".~tb" + std::to_string(slot)); }
    std::filesystem::path bin() const { return with(".bin"); }
    std::filesystem::path report() const { return with("_ConfigReport.txt"); }
    std::filesystem::path json() const { return with(".json"); }
    // The three archive text files (names in UTF-8, as the file system has them).
    std::filesystem::path fireArchive() const { return with("_АрхивПожаров.txt"); }
    std::filesystem::path faultArchive() const { return with("_АрхивОтказов.txt"); }
    std::filesystem::path eventArchive() const { return with("_АрхивСобытий.txt"); }

  private:
    std::filesystem::path with(const std::string& suffix) const {
        return std::filesystem::path(m_base.string() + suffix);
    }
    std::filesystem::path m_base;
};

} // namespace kvort
