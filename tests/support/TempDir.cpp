#include "TempDir.h"

#include <random>
#include <stdexcept>
#include <stdlib.h>

namespace fs = std::filesystem;

namespace kvort::test {

TempDir::TempDir(Cwd cwd) {
    std::string pattern = (fs::temp_directory_path() / "kvort-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed for " + pattern);
    m_path = pattern;
    if (cwd == Cwd::Enter) {
        m_previousCwd = fs::current_path();
        fs::current_path(m_path);
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    if (!m_previousCwd.empty())
        fs::current_path(m_previousCwd, ec);
    fs::remove_all(m_path, ec);
}

fs::path ExamplesDir() {
    return fs::path(KVORT_EXAMPLES_DIR);
}

fs::path CopySample(const std::string& sample, const fs::path& folder) {
    fs::create_directories(folder);
    for (const auto& entry : fs::directory_iterator(ExamplesDir() / sample))
        if (entry.is_regular_file())
            fs::copy_file(entry.path(), folder / entry.path().filename(),
                          fs::copy_options::overwrite_existing);
    return folder / (sample + ".cnf");
}

} // namespace kvort::test
