#include "Cli.h"
#include "CliPrompts.h"

#include "report/Report.h"
#include "text/Error.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <sstream>

namespace kvort::cli {

namespace {

// "--only 1,4" -> {1, 4}; empty when not given.
std::set<int> parseOnly(const std::optional<std::string>& value) {
    std::set<int> wanted;
    if (!value)
        return wanted;
    std::stringstream list(*value);
    std::string item;
    while (std::getline(list, item, ',')) {
        if (item.size() != 1 || item[0] < '1' || item[0] > '4')
            throw UsageError{"--only: ожидаются номера отчётов 1, 2, 3, 4 через запятую, а не «" +
                             *value + "»"};
        wanted.insert(item[0] - '0');
    }
    if (wanted.empty())
        throw UsageError{"--only: не указано ни одного отчёта"};
    return wanted;
}

const char* whyNotPrinted(ReportKind kind) {
    switch (kind) {
    case ReportKind::Scenarios:
        return "в конфигурации нет релейных сценариев";
    case ReportKind::Directions:
        return "в конфигурации нет направлений пожаротушения";
    case ReportKind::Outputs:
        return "в конфигурации нет описаний выходов";
    case ReportKind::Detectors:
        break;
    }
    return "";
}

// Fonts and PDF painting need a GUI application, but never a screen: with
// no platform chosen, the command draws offscreen, so it works over ssh and
// with a display that cannot be reached.
std::unique_ptr<QGuiApplication> guiApplication() {
    if (QCoreApplication::instance()) {
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            throw Error("внутренняя ошибка: печать отчётов требует QGuiApplication");
        return nullptr;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kvortcfg";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

int cmdReport(const std::vector<std::string>& words) {
    Args args(words, {"-o", "--only"}, {});
    const std::filesystem::path cnf = existingConfig(args.single("файл конфигурации NAME.cnf"));
    const auto out = args.value("-o");
    if (!out || out->empty())
        throw UsageError{"не задан файл PDF: -o OUT.pdf"};
    outputFile(*out, "-o");
    const std::set<int> wanted = parseOnly(args.value("--only"));

    const auto app = guiApplication();
    const std::vector<ReportKind> applies = ReportsToPrint(cnf);
    for (int n : wanted) {
        const auto kind = static_cast<ReportKind>(n);
        if (std::find(applies.begin(), applies.end(), kind) == applies.end())
            sayError("отчёт " + std::to_string(n) + " «" +
                     report::TemplateFor(kind).title.toStdString() +
                     "» не печатается: " + whyNotPrinted(kind));
    }

    std::vector<report::Report> reports;
    for (ReportKind kind : applies)
        if (wanted.empty() || wanted.count(static_cast<int>(kind)))
            reports.push_back(report::Report::build(kind, cnf));
    if (reports.empty())
        throw Error("нет отчётов для печати: файл " + *out + " не записан");

    std::vector<const report::Report*> pointers;
    int pages = 0;
    for (const report::Report& r : reports) {
        pointers.push_back(&r);
        pages += r.pageCount();
    }
    report::WritePdf(pointers, *out);
    say(*out + ": " + std::to_string(pages) + " стр.");
    return 0;
}

} // namespace kvort::cli
