#pragma once
// A private copy of examples/full in a temporary folder (with an empty
// out/ beside it), made once per benchmark program and removed at exit, so
// the benchmarks never write into the checked-in samples.
#include <filesystem>
#include <random>
#include <string>

namespace kvort::bench {

struct FullSample {
    std::filesystem::path folder;
    std::filesystem::path cnf;
    FullSample() {
        namespace fs = std::filesystem;
        folder =
            fs::temp_directory_path() / ("kvort-bench-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder / "out");
        for (const auto& e : fs::directory_iterator(fs::path(KVORT_EXAMPLES_DIR) / "full"))
            fs::copy_file(e.path(), folder / e.path().filename());
        cnf = folder / "full.cnf";
    }
    ~FullSample() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

inline FullSample& sample() {
    static FullSample s;
    return s;
}

} // namespace kvort::bench
