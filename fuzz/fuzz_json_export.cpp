// The JSON export on arbitrary configuration files. The input is NAME.cnf,
// then NAME.tb0, separated by a NUL byte (a NUL never stands in a
// configuration file). The export must be well-formed JSON in valid UTF-8
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
    // One detector file, and only when the input holds one: a missing one is
    // skipped by the export, and every file present costs 480 addresses per
    // run whatever it holds. The export reads every NAME.tbN alike, so one
    // reaches everything a second would.
    const std::size_t nul = input.find('\0');
    fuzz::putFile(name.string() + ".cnf", input.substr(0, nul));
    if (nul == std::string_view::npos)
        std::filesystem::remove(name.string() + ".tb0");
    else
        fuzz::putFile(name.string() + ".tb0", input.substr(nul + 1));

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
