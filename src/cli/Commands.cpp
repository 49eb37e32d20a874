#include "Cli.h"

namespace kvort::cli {

int cmdNew(const std::vector<std::string>& words);

const std::vector<Command>& commands() {
    static const std::vector<Command> list = {
        {"new", "new PATH", "создать новую конфигурацию PATH.cnf (как «Создать конфигурацию»)",
         cmdNew},
    };
    return list;
}

} // namespace kvort::cli
