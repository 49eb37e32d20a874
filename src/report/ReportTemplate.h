#pragma once
// The templates of the four printed reports: bands of cells, each cell a
// text with bracketed variables ("  [СЦЕНАРИЙ]", "Страница [page#] ").
// Positions and sizes are template units of 1/96 inch; a band is 758 units
// wide. The templates are held in code: nobody edits them but us.
#include "export/ReportBuilders.h"

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace kvort::report {

inline constexpr double kBandWidth = 758;
inline constexpr double kUnitsPerInch = 96;

enum class BandKind {
    PageHeader, // on every page, at the top
    PageFooter, // on every page, at the bottom
    Flow,       // where and as often as the build shows it
};

// A piece of a cell's text: literal, or the name of a variable (CP1251, as
// the builders name it).
struct TextPart {
    bool variable = false;
    QString literal;
    std::string name;
};

struct Cell {
    double x = 0, y = 0, width = 0, height = 0; // within the band
    std::vector<TextPart> parts;
    double pointSize = 10;
    bool bold = false;
    bool frame = false;
    enum class Align { Left, Centre, Right } align = Align::Left;
};

struct Band {
    std::string name; // "PageHeader1", "MasterData1", ...
    BandKind kind = BandKind::Flow;
    double height = 0;
    // A group header stays on the page of the band that follows it.
    bool keepWithNext = false;
    std::vector<Cell> cells;
};

struct ReportTemplate {
    ReportKind kind = ReportKind::Detectors;
    QString title;
    std::vector<Band> bands;
    // The index of the band of that name, or -1.
    int bandIndex(std::string_view name) const;
};

const ReportTemplate& TemplateFor(ReportKind kind);

// "  [ЗОНА]" -> literal "  ", variable "ЗОНА". Text is UTF-8; variable names
// come back as CP1251, the form the builders use.
std::vector<TextPart> ParseCellText(std::string_view utf8);

// The variables a band's cells ask for, in order, without repeats.
std::vector<std::string> BandVariables(const Band& band);

// Names the engine answers itself.
inline constexpr std::string_view kPageNumberVariable = "page#";

} // namespace kvort::report
