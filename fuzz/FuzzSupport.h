#pragma once
// What the harnesses share: a private folder for the files a run writes
// (under /dev/shm where it exists, so file writes stay cheap), a check that
// aborts with its line, and a copy of a sample configuration.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace kvort::fuzz {

inline std::filesystem::path workFolder(const char* harness) {
    namespace fs = std::filesystem;
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path folder =
        base / (std::string("kvort-") + harness + "-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    return folder;
}

// Copies examples/<sample>/<sample>.cnf and .tbN into folder as NAME.*;
// returns folder/NAME (no extension). KVORT_FUZZ_EXAMPLES is set by the build.
inline std::filesystem::path copySample(const char* sample, const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    const fs::path from = fs::path(KVORT_FUZZ_EXAMPLES) / sample;
    for (const auto& e : fs::directory_iterator(from))
        fs::copy_file(e.path(), folder / ("NAME" + e.path().extension().string()),
                      fs::copy_options::overwrite_existing);
    return folder / "NAME";
}

// Puts a harness's input into a file as it is. No store is open on these
// files between runs, so the safe writer's temporary file, flushes and
// rename would only cost time the search is better spent on.
inline void putFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace kvort::fuzz

#define KVORT_REQUIRE(ok)                                                                          \
    do {                                                                                           \
        if (!(ok)) {                                                                               \
            std::fprintf(stderr, "failed: %s (%s:%d)\n", #ok, __FILE__, __LINE__);                 \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)
