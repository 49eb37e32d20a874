#include "ReportTemplate.h"

#include "text/Cp1251.h"

#include <algorithm>
#include <initializer_list>
#include <numeric>

namespace kvort::report {

namespace {

using Align = Cell::Align;

// Sizes shared by the four templates.
constexpr double kTitleRow = 22;   // the file name, the title, the file date
constexpr double kCaptionRow = 18; // column captions
constexpr double kTextPoints = 10;
constexpr double kSmallPoints = 8;  // the detector rows and the device line
constexpr double kTotalPoints = 12; // the detector total

struct Column {
    const char* text;
    double width;
};

Cell makeCell(double x, double y, double width, double height, std::string_view text,
              double points = kTextPoints, Align align = Align::Left, bool frame = false,
              bool bold = false) {
    Cell c;
    c.x = x;
    c.y = y;
    c.width = width;
    c.height = height;
    c.parts = ParseCellText(text);
    c.pointSize = points;
    c.align = align;
    c.frame = frame;
    c.bold = bold;
    return c;
}

double sumWidths(std::initializer_list<Column> columns) {
    return std::accumulate(columns.begin(), columns.end(), 0.0,
                           [](double s, const Column& c) { return s + c.width; });
}

// A table is centred in the band.
double tableLeft(double width) {
    return (kBandWidth - width) / 2;
}

// A row of framed cells from left to right.
void addRow(Band& band, double x, double y, double height, std::initializer_list<Column> columns,
            double points, Align align, bool bold) {
    for (const Column& s : columns) {
        band.cells.push_back(makeCell(x, y, s.width, height, s.text, points, align, true, bold));
        x += s.width;
    }
}

// The top of every page: the file name at the left edge of the table, the
// title in the middle, the file date at the right edge.
Band pageHeader(const char* title, double tableWidth) {
    Band b;
    b.name = "PageHeader1";
    b.kind = BandKind::PageHeader;
    b.height = kTitleRow + 6;
    const double left = tableLeft(tableWidth);
    b.cells.push_back(makeCell(left, 0, 200, kTitleRow, "[FileName]"));
    b.cells.push_back(
        makeCell(0, 0, kBandWidth, kTitleRow, title, kTextPoints, Align::Centre, false, true));
    b.cells.push_back(makeCell(left + tableWidth - 200, 0, 200, kTitleRow, "[FileDate]",
                               kTextPoints, Align::Right));
    return b;
}

Band pageFooter() {
    Band b;
    b.name = "PageFooter1";
    b.kind = BandKind::PageFooter;
    b.height = 24;
    b.cells.push_back(
        makeCell(0, 6, kBandWidth, 18, "Страница [page#] ", kTextPoints, Align::Centre));
    return b;
}

Band flowBand(const char* name, double height, bool keepWithNext = false) {
    Band b;
    b.name = name;
    b.height = height;
    b.keepWithNext = keepWithNext;
    return b;
}

ReportTemplate detectorList() {
    ReportTemplate t;
    t.kind = ReportKind::Detectors;
    t.title = QStringLiteral("Список извещателей");
    const auto captions = {Column{"АДРЕС", 54},      Column{"ТИП", 95},   Column{"ЗОНА", 109},
                           Column{"СООБЩЕНИЕ", 199}, Column{"СОСТ.", 61}, Column{"ПРИМ.", 115}};
    const double width = sumWidths(captions);
    const double left = tableLeft(width);

    Band header = pageHeader("Список извещателей", width);
    addRow(header, left, header.height, kCaptionRow, captions, kTextPoints, Align::Centre, true);
    header.height += kCaptionRow;
    t.bands.push_back(header);

    Band group = flowBand("GroupHeader1", 18, true);
    group.cells.push_back(
        makeCell(left, 2, width, 16, "    [ПРИБОР]", kSmallPoints, Align::Left, true, true));
    t.bands.push_back(group);

    Band row = flowBand("MasterData1", 15);
    double x = left;
    const struct {
        const char* text;
        Align align;
    } columns[] = {{"[АДРЕС]", Align::Centre}, {"[ТИП]", Align::Left},
                   {"[ЗОНА]", Align::Left},    {"[СООБЩЕНИЕ]", Align::Left},
                   {"[СОСТ]", Align::Centre},  {"[ПРИМ]", Align::Left}};
    auto widths = captions.begin();
    for (const auto& c : columns) {
        row.cells.push_back(makeCell(x, 0, widths->width, 15, c.text, kSmallPoints, c.align, true));
        x += widths->width;
        ++widths;
    }
    t.bands.push_back(row);

    t.bands.push_back(pageFooter());

    Band total = flowBand("ReportSummary1", 36);
    total.cells.push_back(makeCell(left, 10, width, 24, "Общее количество датчиков : [GlobalDat]",
                                   kTotalPoints, Align::Left, false, true));
    t.bands.push_back(total);
    return t;
}

ReportTemplate relayScenarios() {
    ReportTemplate t;
    t.kind = ReportKind::Scenarios;
    t.title = QStringLiteral("Релейные сценарии");
    const auto first = {Column{"  [СЦЕНАРИЙ]", 132}, Column{"  [РЕЖИМ]", 210},
                        Column{"  [ЗОНА]", 287}};
    const auto captions = {Column{"ШАГ", 79}, Column{"ПРИБОР", 163}, Column{"РЕЛЕ/АДРЕС", 136},
                           Column{"СОСТОЯНИЕ", 137}, Column{"ЗАДЕРЖКА", 112}};
    const double width = sumWidths(first);
    const double left = tableLeft(width);
    t.bands.push_back(pageHeader("Релейные сценарии", width));

    constexpr double kRow = 18, kGap = 10;
    Band group = flowBand("GroupHeader1", kGap + 3 * kRow, true);
    addRow(group, left, kGap, kRow, first, kTextPoints, Align::Left, true);
    group.cells.push_back(makeCell(left, kGap + kRow, width, kRow, "    [ПРИМЕЧАНИЕ]", kTextPoints,
                                   Align::Left, true));
    addRow(group, left, kGap + 2 * kRow, kRow, captions, kTextPoints, Align::Centre, true);
    t.bands.push_back(group);

    Band row = flowBand("MasterData1", 17);
    addRow(row, left, 0, 17,
           {{"[ШАГ]", 79},
            {"[ПРИБОР]", 163},
            {"[НОМЕР]", 136},
            {"[СОСТОЯНИЕ]", 137},
            {"[ЗАДЕРЖКА]", 112}},
           kTextPoints, Align::Centre, false);
    t.bands.push_back(row);

    t.bands.push_back(pageFooter());
    return t;
}

ReportTemplate directions() {
    ReportTemplate t;
    t.kind = ReportKind::Directions;
    t.title = QStringLiteral("Направления пожаротушения");
    constexpr double kLeftColumn = 239, kRightColumn = 391, kRow = 18, kGap = 12;
    const double width = kLeftColumn + kRightColumn;
    const double left = tableLeft(width);
    t.bands.push_back(pageHeader("Направления пожаротушения", width));

    Band group = flowBand("GroupHeader1", kGap + 11 * kRow);
    double y = kGap;
    auto pair = [&](const char* l, const char* r, bool bold) {
        addRow(group, left, y, kRow, {{l, kLeftColumn}, {r, kRightColumn}}, kTextPoints,
               Align::Left, bold);
        y += kRow;
    };
    pair("  [НАПРАВЛЕНИЕ]", "  [ЗОНА]", true);
    y += kRow; // the empty row between the direction and its relays
    pair("ИСПОЛНИТЕЛЬНЫЕ РЕЛЕ БДУ", "ФУНКЦИЯ РЕЛЕ", true);
    pair("РЕЛЕ 1", "[РЕЛЕ 1]", false);
    pair("РЕЛЕ 2", "[РЕЛЕ 2]", false);
    pair("РЕЛЕ 3", "[РЕЛЕ 3]", false);
    pair("РЕЛЕ 4", "[РЕЛЕ 4]", false);
    pair("РЕЛЕ 5", "[РЕЛЕ 5]", false);
    pair("ДОПОЛНИТЕЛЬНЫЕ ФУНКЦИИ", "НОМЕР СЦЕНАРИЯ / АДРЕС БДУ", true);
    pair("ЗАПУСКАЕМЫЙ СЦЕНАРИЙ", "[СЦЕНАРИЙ]", false);
    pair("УПРАВЛЕНИЕ С БДУ4", "[БДУ]", false);
    t.bands.push_back(group);

    t.bands.push_back(pageFooter());
    return t;
}

ReportTemplate relayOutputs() {
    ReportTemplate t;
    t.kind = ReportKind::Outputs;
    t.title = QStringLiteral("Релейные выходы");
    const auto captions = {Column{"ПРИБОР", 94}, Column{"РЕЛЕ/АДРЕС", 95},
                           Column{"ОПИСАНИЕ ФУНКЦИИ ВЫХОДА", 442}};
    const double width = sumWidths(captions);
    const double left = tableLeft(width);

    Band header = pageHeader("Релейные выходы", width);
    addRow(header, left, header.height, kCaptionRow, captions, kTextPoints, Align::Centre, true);
    header.height += kCaptionRow;
    t.bands.push_back(header);

    Band row = flowBand("MasterData1", 17);
    row.cells.push_back(makeCell(left, 0, 94, 17, "[ПРИБОР]", kTextPoints, Align::Centre, true));
    row.cells.push_back(
        makeCell(left + 94, 0, 95, 17, "[НОМЕР]", kTextPoints, Align::Centre, true));
    row.cells.push_back(
        makeCell(left + 189, 0, 442, 17, "  [ОПИСАНИЕ]", kTextPoints, Align::Left, true));
    t.bands.push_back(row);

    t.bands.push_back(pageFooter());
    return t;
}

} // namespace

int ReportTemplate::bandIndex(std::string_view name) const {
    for (std::size_t i = 0; i < bands.size(); ++i)
        if (bands[i].name == name)
            return static_cast<int>(i);
    return -1;
}

std::vector<TextPart> ParseCellText(std::string_view utf8) {
    std::vector<TextPart> parts;
    std::size_t from = 0;
    while (from < utf8.size()) {
        const std::size_t open = utf8.find('[', from);
        const std::size_t close = open == std::string_view::npos ? open : utf8.find(']', open);
        if (close == std::string_view::npos) {
            parts.push_back({false, QString::fromUtf8(utf8.substr(from)), {}});
            break;
        }
        if (open > from)
            parts.push_back({false, QString::fromUtf8(utf8.substr(from, open - from)), {}});
        parts.push_back({true, {}, text::fromUtf8(utf8.substr(open + 1, close - open - 1))});
        from = close + 1;
    }
    return parts;
}

std::vector<std::string> BandVariables(const Band& band) {
    std::vector<std::string> names;
    for (const Cell& c : band.cells)
        for (const TextPart& p : c.parts)
            if (p.variable && std::find(names.begin(), names.end(), p.name) == names.end())
                names.push_back(p.name);
    return names;
}

const ReportTemplate& TemplateFor(ReportKind kind) {
    static const ReportTemplate kTemplates[] = {detectorList(), relayScenarios(), directions(),
                                                relayOutputs()};
    return kTemplates[static_cast<int>(kind) - 1];
}

} // namespace kvort::report
