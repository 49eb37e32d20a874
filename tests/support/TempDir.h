#pragma once
// A fresh folder under the system's temporary folder, removed with the
// object; optionally the working directory while it lives.
#include <filesystem>
#include <string>

namespace kvort::test {

class TempDir {
  public:
    enum class Cwd { Keep, Enter };
    explicit TempDir(Cwd cwd = Cwd::Keep);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

  private:
    std::filesystem::path m_path;
    std::filesystem::path m_previousCwd;
};

// Copies every file of examples/<sample>/ into folder; returns the copied
// <sample>.cnf. The samples stay untouched by whatever the test does.
std::filesystem::path CopySample(const std::string& sample, const std::filesystem::path& folder);
// The folder the samples live in.
std::filesystem::path ExamplesDir();

} // namespace kvort::test
