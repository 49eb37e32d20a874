#include "Cli.h"
#include "Help.h"

#include "document/SafeWrite.h"
#include "text/Error.h"

#include <cstring>
#include <exception>
#include <iostream>

using namespace kvort::cli;

int main(int argc, char** argv) {
    kvort::ignoreFileSizeSignal();
    if (argc < 2) {
        printUsage(std::cerr);
        return 2;
    }
    std::string name = argv[1];
    std::vector<std::string> words(argv + 2, argv + argc);
    if (name == "--version") {
        std::cout << versionText();
        return 0;
    }
    // "help COMMAND" asks what "COMMAND --help" asks.
    const bool help = name == "help" || name == "--help" || name == "-h";
    if (help && !words.empty()) {
        name = words.front();
        words = {"--help"};
    } else if (help) {
        printUsage(std::cout);
        return 0;
    }
    for (const Command& c : commands()) {
        if (name != c.name)
            continue;
        for (const std::string& w : words) {
            if (w == "--help" || w == "-h") {
                printCommandUsage(std::cout, c);
                return 0;
            }
        }
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
    printUsage(std::cerr);
    return 2;
}
