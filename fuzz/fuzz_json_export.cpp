// The JSON export on arbitrary configuration files. The input is NAME.cnf,
// then NAME.tb0 and NAME.tb1, separated by NUL bytes (a NUL never stands in
// a configuration file). The export must be well-formed JSON in valid UTF-8
// whatever the files hold.
//
//   fuzz_json_export -max_len=65536 CORPUS_DIR
#include "FuzzSupport.h"

#include "document/IniStore.h"
#include "export/JsonExport.h"
#include "text/Error.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <string_view>

using namespace kvort;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path name = fuzz::workFolder("json") / "NAME";
    std::string_view input(reinterpret_cast<const char*>(data), size);
    // At most two detector files, and only as many as the input holds: a
    // missing one is skipped by the export, and every file present costs
    // 480 addresses per run whatever it holds. Two are enough to reach
    // everything a third would.
    for (int n = -1; n < 2; ++n) {
        const std::filesystem::path file =
            name.string() + (n < 0 ? std::string(".cnf") : ".tb" + std::to_string(n));
        if (n >= 0 && input.data() == nullptr) {
            std::filesystem::remove(file);
            continue;
        }
        const std::size_t nul = n < 1 ? input.find('\0') : std::string_view::npos;
        fuzz::putFile(file, input.substr(0, nul));
        input = nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);
    }

    std::string json;
    try {
        json = BuildJson(name.string() + ".cnf");
    } catch (const ConvertError&) {
        // A number field that does not convert ends the export with its
        // message, as it ends the other operations.
        return 0;
    }
    // parse() rejects malformed JSON and invalid UTF-8 alike.
    KVORT_REQUIRE(nlohmann::json::accept(json));
    return 0;
}
