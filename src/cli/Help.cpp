#include "Help.h"

#include "Cli.h"

#include "Version.h"
#include "document/Config.h"

#include <algorithm>
#include <map>
#include <ostream>

namespace kvort::cli {

namespace {

// Every option once, in the words of the command that takes it. An option
// line starts with two blanks and the option: the completion reads them so.
const std::string kSeries = "  --series fh|i    серия приборов: fh — F и H, i — I\n";
const std::string kChecks =
    "  --skip-check     не проверять конфигурацию (ответ «Нет» на вопрос о проверке)\n"
    "  --continue       продолжать при некритичных замечаниях проверки (ответ «Да»)\n";
const std::string kPorts =
    "  --ports LIST     порты через запятую, первый — COM1 (/dev/ttyUSB0,/dev/ttyS0);\n"
    "                   без него — переменная KVORT_PORTS, иначе найденные устройства\n";
const std::string kWrittenCnf = "  -o NAME.cnf      конфигурация, которая будет записана\n";

const std::map<std::string, std::string>& details() {
    static const std::map<std::string, std::string> text = {
        {"new", "Создаёт конфигурацию из заготовки: PATH.cnf (ПУ-П и 256 зон) и пустой\n"
                "PATH.tb0.\n"},
        {"encode", "Кодирует конфигурацию в образ ПУ-П (65536 байт) без проверки и её вопросов;\n"
                   "названия зон берутся из [ЗОНА].\n\nПараметры:\n" +
                       kSeries + "  -o IMAGE.bin     файл образа\n"},
        {"decode", "Раскодирует образ ПУ-П в конфигурацию NAME.cnf и NAME.tb0..tb8. Образ короче\n"
                   "65536 байт отвергается, и ни один файл не меняется.\n\nПараметры:\n" +
                       kWrittenCnf},
        {"check",
         "Проверяет конфигурацию: отчёт NAME_ConfigReport.txt и образ NAME.bin рядом с\n"
         "конфигурацией. Код выхода — итог проверки: 0 — запись возможна, 1 — возможна после\n"
         "принятых некритичных замечаний (--continue), 2 — запись остановлена.\n\nПараметры:\n" +
             kSeries + kChecks},
        {"write-card", "Записывает образ конфигурации на SD-карту; для серии I рядом пишется и\n"
                       "ARHIVE.BIN. Код выхода 2 — запись остановлена проверкой.\n\nПараметры:\n" +
                           kSeries + "  -o CARD.BIN      файл образа на карте\n" + kChecks},
        {"read-card", "Считывает конфигурацию с SD-карты и сохраняет её как NAME вместе с образом\n"
                      "NAME.bin и тремя файлами архивов.\n\nПараметры:\n" +
                          kWrittenCnf},
        {"archives", "Раскодирует архивы пожаров, отказов и событий из образа в текстовые файлы\n"
                     "рядом с конфигурацией NAME.\n\nПараметры:\n"
                     "  -c NAME.cnf      конфигурация, к которой относятся архивы\n"},
        {"json", "Записывает конфигурацию в JSON-файл (UTF-8).\n\nПараметры:\n"
                 "  -o OUT.json      файл JSON (по умолчанию NAME.json рядом с конфигурацией)\n"},
        {"ports", "Показывает, какие устройства стоят за COM1..COM10, их имена в\n"
                  "/dev/serial/by-id, доступны ли они и что мешает: нет прав (группа dialout),\n"
                  "порт открыт другой программой, ModemManager или brltty забирают переходник.\n"
                  "\nПараметры:\n" +
                      kPorts},
        {"write-panel", "Ищет ПУ-П на портах COM1..COM10 и записывает в него конфигурацию\n"
                        "(перед записью — проверка).\n\nПараметры:\n" +
                            kPorts + kChecks},
        {"read-panel", "Ищет ПУ-П на портах COM1..COM10, считывает конфигурацию и сохраняет её\n"
                       "как NAME вместе с архивами.\n\nПараметры:\n" +
                           kWrittenCnf + kPorts},
    };
    return text;
}

} // namespace

void printUsage(std::ostream& out) {
    out << "kvortcfg — КвортКонфигуратор без окна: конфигурации приборов КВОРТ из командной "
           "строки\n\n"
           "Использование: kvortcfg КОМАНДА [ПАРАМЕТРЫ]\n\nКоманды:\n";
    for (const Command& c : commands()) {
        // A synopsis too long for its column gets a line of its own.
        const std::string syn = c.synopsis;
        // Columns are counted in characters: the synopsis is UTF-8.
        const size_t width = static_cast<size_t>(std::count_if(syn.begin(), syn.end(), [](char ch) {
            return (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
        }));
        out << "  " << syn;
        if (width > 43)
            out << "\n" << std::string(45, ' ');
        for (size_t w = width; w < 44; ++w)
            out << ' ';
        out << ' ' << c.summary << "\n";
    }
    out << "\n  --help                                       эта справка\n"
           "  КОМАНДА --help                               справка по команде\n"
           "  --version                                    версия программы\n"
           "\nКоды выхода: 0 — успех, 1 — ошибка (сообщение в stderr), 2 — неверные параметры.\n";
}

void printCommandUsage(std::ostream& out, const Command& command) {
    out << "Использование: kvortcfg " << command.synopsis << "\n\n" << command.summary << "\n";
    if (auto it = details().find(command.name); it != details().end())
        out << "\n" << it->second;
}

std::string versionText() {
    return std::string("kvortcfg ") + KVORT_BUILD_VERSION + " (КвортКонфигуратор " + ToolVersion() +
           ")\n";
}

} // namespace kvort::cli
