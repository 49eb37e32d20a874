#include "Cli.h"
#include "CliPrompts.h"

#include "app/Completion.h"
#include "document/ConfigFileSet.h"
#include "export/JsonExport.h"

namespace kvort::cli {

int cmdJson(const std::vector<std::string>& words) {
    Args args(words, {"-o"}, {});
    const std::filesystem::path cnf = existingConfig(args.single("файл конфигурации NAME.cnf"));
    const std::filesystem::path out =
        args.value("-o") ? outputFile(*args.value("-o"), "-o") : ConfigFileSet(cnf).json();
    {
        IniStore store(cnf);
        CompleteConfiguration(store);
    }
    ExportJson(cnf, out);
    say(out.string());
    return 0;
}

} // namespace kvort::cli
