#include "Cli.h"

namespace kvort::cli {

int cmdNew(const std::vector<std::string>& words);
int cmdEncode(const std::vector<std::string>& words);
int cmdDecode(const std::vector<std::string>& words);

const std::vector<Command>& commands() {
    static const std::vector<Command> list = {
        {"new", "new PATH", "создать новую конфигурацию PATH.cnf (как «Создать конфигурацию»)",
         cmdNew},
        {"encode", "encode NAME.cnf --series fh|i -o IMAGE.bin",
         "закодировать конфигурацию в образ прибора ПУ-П (без проверки)", cmdEncode},
        {"decode", "decode IMAGE.bin -o NAME.cnf",
         "раскодировать образ прибора в конфигурацию NAME.cnf и NAME.tb0..tb8", cmdDecode},
    };
    return list;
}

} // namespace kvort::cli
