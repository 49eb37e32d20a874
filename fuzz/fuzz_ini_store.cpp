// The INI store on arbitrary file contents: reading any bytes must not
// crash, a write must read back as written, and every line the store did
// not change must still be in the file afterwards (nothing it does not
// understand is dropped).
//
//   fuzz_ini_store -max_len=4096 CORPUS_DIR
#include "FuzzSupport.h"

#include "document/IniStore.h"
#include "text/Cp1251.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path workFile() {
    static fs::path file = [] {
        fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        fs::path f = base / ("kvort-fuzz-ini-" + std::to_string(::getpid()));
        fs::create_directories(f);
        return f / "F.cnf";
    }();
    return file;
}

#define require(ok)                                                                                \
    do {                                                                                           \
        if (!(ok)) {                                                                               \
            std::fprintf(stderr, "failed: %s (line %d)\n", #ok, __LINE__);                         \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    kvort::fuzz::putFile(workFile(), input);
    kvort::IniStore store(workFile());
    for (const std::string& section : store.ReadSections()) {
        require(store.SectionExists(section));
        for (const auto& [key, value] : store.ReadSectionValues(section))
            require(store.ReadString(section, key, "\x01") == value);
    }

    store.WriteString("FUZZ", "K", " value ");
    require(store.ReadString("fuzz", " k", "") == "value");
    const std::string after = kvort::readFile(workFile());

    // Every line of the input (its CR dropped) stands in the new file, unless
    // the input itself holds the key the write replaced.
    if (kvort::text::upper(input).find("FUZZ") != std::string::npos)
        return 0;
    std::size_t pos = 0;
    while (pos < input.size()) {
        std::size_t nl = input.find('\n', pos);
        std::string line =
            input.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        pos = nl == std::string::npos ? input.size() : nl + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        require(after.find(line) != std::string::npos);
    }
    return 0;
}
