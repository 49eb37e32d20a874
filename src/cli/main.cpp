#include "Cli.h"

#include "document/SafeWrite.h"
#include "text/Error.h"

#include <cstring>
#include <exception>
#include <iostream>

using namespace kvort::cli;

namespace {

void usage(std::ostream& out) {
    out << "kvortcfg — КвортКонфигуратор без окна: конфигурации приборов КВОРТ из командной строки\n\n"
           "Использование: kvortcfg КОМАНДА [ПАРАМЕТРЫ]\n\nКоманды:\n";
    for (const Command& c : commands()) {
        std::string syn = c.synopsis;
        out << "  " << syn;
        for (size_t w = syn.size(); w < 44; ++w)
            out << ' ';
        out << ' ' << c.summary << "\n";
    }
    out << "\n  --help                                       эта справка\n"
           "\nКоды выхода: 0 — успех, 1 — ошибка (сообщение в stderr), 2 — неверные параметры.\n";
}

} // namespace

int main(int argc, char** argv) {
    kvort::ignoreFileSizeSignal();
    if (argc < 2) {
        usage(std::cerr);
        return 2;
    }
    std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        usage(std::cout);
        return 0;
    }
    std::vector<std::string> words(argv + 2, argv + argc);
    for (const Command& c : commands()) {
        if (name != c.name)
            continue;
        try {
            return c.run(words);
        } catch (const UsageError& e) {
            sayError(e.message);
            sayError(std::string("использование: kvortcfg ") + c.synopsis);
            return 2;
        } catch (const kvort::Error& e) {
            sayError(std::string("ОШИБКА: ") + e.what());
            return 1;
        } catch (const std::exception& e) {
            sayError(std::string("ОШИБКА: ") + e.what());
            return 1;
        }
    }
    sayError("неизвестная команда: " + name);
    usage(std::cerr);
    return 2;
}
