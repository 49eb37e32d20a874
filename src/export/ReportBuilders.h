#pragma once
// The four printed reports as the report engine receives them: which band is
// shown when, where a page is started, and the value of every variable each
// band asks for. The engine (src/report) owns the templates, lays the bands
// out and paints them; what is printed, row by row, is decided here, from
// the configuration files alone. Every text is CP1251 bytes.
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kvort {

// The numbers the reports carry in the templates and on the command line.
enum class ReportKind {
    Detectors = 1,  // "Список извещателей"
    Scenarios = 2,  // "Релейные сценарии"
    Directions = 3, // "Направления пожаротушения"
    Outputs = 4,    // "Релейные выходы"
};

// Variable name -> value, in the order the band's texts name them.
using ReportValues = std::vector<std::pair<std::string, std::string>>;

// Where the built bands go: the engine, or a recorder in the tests.
class ReportSink {
  public:
    virtual ~ReportSink() = default;
    // Shows the band of this name (found among all bands of the template)
    // with the values of its variables.
    virtual void showBand(std::string_view band, ReportValues values) = 0;
    virtual void newPage() = 0;
};

// The values every band of every report may ask for: FileName (the
// configuration's name without folder and extension) and FileDate (the
// last-modification date of NAME.cnf, ShortDate; empty when unknown).
ReportValues CommonReportValues(const std::filesystem::path& config);

// The reports the print action shows, in its order: the detector list
// always, then the scenarios, the outputs and the directions where the
// configuration holds any.
std::vector<ReportKind> ReportsToPrint(const std::filesystem::path& config);

// Builds one report of the configuration NAME.cnf (any member of the set
// names it) into the sink. Throws FileError when a file cannot be read.
void BuildReport(ReportKind kind, const std::filesystem::path& config, ReportSink& sink);

// A date in the short form the reports print, dd.MM.yyyy, in local time.
std::string ShortDate(std::time_t when);

} // namespace kvort
