#include "Cli.h"

namespace kvort::cli {

int cmdNew(const std::vector<std::string>& words);
int cmdEncode(const std::vector<std::string>& words);
int cmdDecode(const std::vector<std::string>& words);
int cmdCheck(const std::vector<std::string>& words);
int cmdWriteCard(const std::vector<std::string>& words);
int cmdReadCard(const std::vector<std::string>& words);
int cmdArchives(const std::vector<std::string>& words);
int cmdJson(const std::vector<std::string>& words);
int cmdReport(const std::vector<std::string>& words);
int cmdPorts(const std::vector<std::string>& words);
int cmdWritePanel(const std::vector<std::string>& words);
int cmdReadPanel(const std::vector<std::string>& words);
int cmdHistory(const std::vector<std::string>& words);
int cmdRestore(const std::vector<std::string>& words);
int cmdDiff(const std::vector<std::string>& words);
int cmdVerifyPanel(const std::vector<std::string>& words);

const std::vector<Command>& commands() {
    static const std::vector<Command> list = {
        {"new", "new PATH", "создать новую конфигурацию PATH.cnf (как «Создать конфигурацию»)",
         cmdNew},
        {"encode", "encode NAME.cnf --series fh|i -o IMAGE.bin",
         "закодировать конфигурацию в образ прибора ПУ-П (без проверки)", cmdEncode},
        {"decode", "decode IMAGE.bin -o NAME.cnf",
         "раскодировать образ прибора в конфигурацию NAME.cnf и NAME.tb0..tb8", cmdDecode},
        {"check", "check NAME.cnf --series fh|i [--skip-check] [--continue]",
         "проверка конфигурации: отчёт NAME_ConfigReport.txt и NAME.bin; код выхода 0, 1 или 2",
         cmdCheck},
        {"write-card", "write-card NAME.cnf --series fh|i -o CARD.BIN [--skip-check] [--continue]",
         "записать образ на SD-карту (серия I: и ARHIVE.BIN рядом); 2 — остановлено проверкой",
         cmdWriteCard},
        {"read-card", "read-card CARD.BIN -o NAME.cnf",
         "считать конфигурацию с SD-карты и сохранить как NAME (с архивами)", cmdReadCard},
        {"archives", "archives IMAGE.bin -c NAME.cnf",
         "архивы пожаров, отказов и событий из образа в текстовые файлы NAME", cmdArchives},
        {"json", "json NAME.cnf [-o OUT.json]", "JSON-файл конфигурации (по умолчанию NAME.json)",
         cmdJson},
        {"report", "report NAME.cnf -o OUT.pdf [--only 1,2,3,4]",
         "печатные отчёты конфигурации (как «Печать») в один файл PDF", cmdReport},
        {"ports", "ports [--ports LIST]",
         "порты COM1..COM10: какие устройства за ними и доступны ли они", cmdPorts},
        {"write-panel", "write-panel NAME.cnf [--ports LIST] [--skip-check] [--continue]",
         "записать конфигурацию в ПУ-П по последовательной линии", cmdWritePanel},
        {"read-panel", "read-panel -o NAME.cnf [--ports LIST]",
         "считать конфигурацию из ПУ-П и сохранить как NAME (с архивами)", cmdReadPanel},
        {"history", "history NAME.cnf",
         "записи истории конфигурации (NAME.history): время, причина, файлы и размеры", cmdHistory},
        {"restore", "restore NAME.cnf ЗАПИСЬ",
         "вернуть конфигурацию из записи истории (текущая сохраняется в истории)", cmdRestore},
        {"diff", "diff A B [--series fh|i]",
         "сравнить две конфигурации или образы; код выхода 0 — одинаковы, 1 — различия, 2 — ошибка",
         cmdDiff},
        {"verify-panel", "verify-panel NAME.cnf [--ports LIST]",
         "считать ПУ-П и сравнить с конфигурацией (ничего не сохраняя); 0 — совпадает, 1 — нет, 2 "
         "— "
         "ошибка связи",
         cmdVerifyPanel},
    };
    return list;
}

} // namespace kvort::cli
