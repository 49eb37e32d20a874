#include "Report.h"

#include "text/Cp1251.h"
#include "text/Error.h"

#include <QFont>
#include <QFontDatabase>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <stdexcept>

namespace kvort::report {

namespace {

constexpr double kPointsToUnits = kUnitsPerInch / 72;
constexpr double kCellPadding = 3; // text keeps off the frame lines
constexpr double kFrameWidth = 0.75;

QString fromCp1251(std::string_view s) {
    return QString::fromStdString(text::toUtf8(s));
}

const std::string* find(const ReportValues& values, std::string_view name) {
    for (const auto& [n, v] : values)
        if (n == name)
            return &v;
    return nullptr;
}

// The fonts of one page, sized for the device the painter is on: the
// painter maps template units to device pixels, so a font's size is given
// in the device's points divided by that scale.
class PageFonts {
  public:
    explicit PageFonts(const QPainter& painter) {
        const QPaintDevice* device = painter.device();
        const double dpi = device ? device->logicalDpiY() : kUnitsPerInch;
        m_pointScale = kUnitsPerInch / dpi;
    }
    const QFont& get(double points, bool bold) {
        for (const auto& [p, b, f] : m_fonts)
            if (p == points && b == bold)
                return f;
        QFont f(ReportFontFamily());
        f.setPointSizeF(points * m_pointScale);
        f.setBold(bold);
        m_fonts.push_back({points, bold, f});
        return m_fonts.back().font;
    }

  private:
    struct Entry {
        double points;
        bool bold;
        QFont font;
    };
    double m_pointScale;
    std::vector<Entry> m_fonts;
};

QPageLayout withoutMargins(const QPageLayout& layout) {
    QPageLayout full(layout.pageSize(), layout.orientation(), QMarginsF(0, 0, 0, 0));
    full.setMode(QPageLayout::FullPageMode);
    return full;
}

} // namespace

Report::Report(const ReportTemplate& tmpl) : m_template(&tmpl), m_pageLayout(defaultPageLayout()) {
    for (std::size_t i = 0; i < tmpl.bands.size(); ++i) {
        if (tmpl.bands[i].kind == BandKind::PageHeader)
            m_header = static_cast<int>(i);
        else if (tmpl.bands[i].kind == BandKind::PageFooter)
            m_footer = static_cast<int>(i);
    }
}

Report Report::build(ReportKind kind, const std::filesystem::path& config) {
    Report r(TemplateFor(kind));
    r.setCommonValues(CommonReportValues(config));
    BuildReport(kind, config, r);
    r.layout();
    return r;
}

QPageLayout Report::defaultPageLayout() {
    // The band is centred across the width of the sheet.
    const double side = (210.0 - kBandWidth * 25.4 / kUnitsPerInch) / 2;
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(side, 10, side, 10), QPageLayout::Millimeter);
}

void Report::setPageLayout(const QPageLayout& layout) {
    m_pageLayout = layout;
    this->layout();
}

void Report::showBand(std::string_view band, ReportValues values) {
    const int index = m_template->bandIndex(band);
    if (index < 0)
        throw std::logic_error("report band not in the template: " + std::string(band));
    m_shown.push_back({index, std::move(values)});
}

void Report::newPage() {
    m_shown.push_back({-1, {}});
}

QSizeF Report::paperSize() const {
    return m_pageLayout.fullRect(QPageLayout::Point).size() * kPointsToUnits;
}

double Report::bodyTop() const {
    const double margin = m_pageLayout.margins(QPageLayout::Point).top() * kPointsToUnits;
    return margin +
           (m_header >= 0 ? m_template->bands[static_cast<std::size_t>(m_header)].height : 0);
}

double Report::bodyBottom() const {
    const double margin = m_pageLayout.margins(QPageLayout::Point).bottom() * kPointsToUnits;
    return paperSize().height() - margin -
           (m_footer >= 0 ? m_template->bands[static_cast<std::size_t>(m_footer)].height : 0);
}

std::vector<Report::PlacedBand> Report::pageBands(int page) const {
    std::vector<PlacedBand> out;
    if (page < 0 || page >= pageCount())
        return out;
    for (const Placed& p : m_pages[static_cast<std::size_t>(page)].bands) {
        const Shown& shown = m_shown[static_cast<std::size_t>(p.shown)];
        const Band& band = m_template->bands[static_cast<std::size_t>(shown.band)];
        out.push_back({band.name, p.y, p.y + band.height});
    }
    return out;
}

void Report::layout() {
    const auto& bands = m_template->bands;
    const double top = bodyTop();
    const double bottom = bodyBottom();

    m_pages.clear();
    bool open = false; // the last page takes more bands
    double y = 0;
    auto startPage = [&] {
        m_pages.emplace_back();
        y = top;
        open = true;
    };
    for (std::size_t i = 0; i < m_shown.size(); ++i) {
        const int index = m_shown[i].band;
        if (index < 0) {
            // A break asked for on a page that holds nothing yet would only
            // print an empty sheet.
            if (open && !m_pages.back().bands.empty())
                open = false;
            continue;
        }
        const Band& band = bands[static_cast<std::size_t>(index)];
        if (band.kind != BandKind::Flow) {
            if (m_pages.empty())
                startPage();
            continue;
        }
        double need = band.height;
        if (band.keepWithNext) {
            for (std::size_t j = i + 1; j < m_shown.size() && m_shown[j].band >= 0; ++j) {
                const Band& next = bands[static_cast<std::size_t>(m_shown[j].band)];
                if (next.kind == BandKind::Flow) {
                    need += next.height;
                    break;
                }
            }
        }
        if (!open || (y + need > bottom && !m_pages.back().bands.empty()))
            startPage();
        m_pages.back().bands.push_back({static_cast<int>(i), y});
        y += band.height;
    }
}

QString Report::resolve(const TextPart& part, const ReportValues* values, int page) const {
    if (!part.variable)
        return part.literal;
    if (part.name == kPageNumberVariable)
        return QString::number(page + 1);
    const std::string* v = values ? find(*values, part.name) : nullptr;
    if (!v)
        v = find(m_common, part.name);
    return v ? fromCp1251(*v) : QString();
}

void Report::paintPage(QPainter& painter, int page) const {
    if (page < 0 || page >= pageCount())
        return;
    const auto& bands = m_template->bands;
    const QMarginsF margins = m_pageLayout.margins(QPageLayout::Point) * kPointsToUnits;
    const double x = margins.left();
    PageFonts fonts(painter);

    painter.save();
    painter.setPen(QPen(Qt::black, kFrameWidth));
    painter.setBrush(Qt::NoBrush);
    auto paint = [&](const Band& band, double y, const ReportValues* values) {
        for (const Cell& cell : band.cells) {
            const QRectF rect(x + cell.x, y + cell.y, cell.width, cell.height);
            if (cell.frame)
                painter.drawRect(rect);
            QString out;
            for (const TextPart& part : cell.parts)
                out += resolve(part, values, page);
            if (out.isEmpty())
                continue;
            const Qt::Alignment h = cell.align == Cell::Align::Left     ? Qt::AlignLeft
                                    : cell.align == Cell::Align::Centre ? Qt::AlignHCenter
                                                                        : Qt::AlignRight;
            painter.setFont(fonts.get(cell.pointSize, cell.bold));
            painter.drawText(rect.adjusted(kCellPadding, 0, -kCellPadding, 0),
                             static_cast<int>(h | Qt::AlignVCenter | Qt::TextSingleLine), out);
        }
    };
    if (m_header >= 0)
        paint(bands[static_cast<std::size_t>(m_header)], margins.top(), nullptr);
    for (const Placed& p : m_pages[static_cast<std::size_t>(page)].bands) {
        const Shown& s = m_shown[static_cast<std::size_t>(p.shown)];
        paint(bands[static_cast<std::size_t>(s.band)], p.y, &s.values);
    }
    if (m_footer >= 0) {
        const Band& footer = bands[static_cast<std::size_t>(m_footer)];
        paint(footer, paperSize().height() - margins.bottom() - footer.height, nullptr);
    }
    painter.restore();
}

std::vector<std::string> Report::unansweredVariables() const {
    std::vector<std::string> missing;
    auto check = [&](const Band& band, const ReportValues* values) {
        for (const std::string& name : BandVariables(band)) {
            if (name == kPageNumberVariable || find(m_common, name) ||
                (values && find(*values, name)))
                continue;
            std::string entry = band.name + ": " + name;
            if (std::find(missing.begin(), missing.end(), entry) == missing.end())
                missing.push_back(std::move(entry));
        }
    };
    for (const Band& band : m_template->bands)
        if (band.kind != BandKind::Flow)
            check(band, nullptr);
    for (const Shown& s : m_shown)
        if (s.band >= 0 &&
            m_template->bands[static_cast<std::size_t>(s.band)].kind == BandKind::Flow)
            check(m_template->bands[static_cast<std::size_t>(s.band)], &s.values);
    return missing;
}

namespace {

struct PageRef {
    const Report* report;
    int page;
};

bool paintPages(const std::vector<PageRef>& pages, QPagedPaintDevice& device) {
    QPainter painter;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        // Set before the page is begun: it is the size of the next page.
        device.setPageLayout(withoutMargins(pages[i].report->pageLayout()));
        if (i == 0) {
            if (!painter.begin(&device))
                return false;
        } else if (!device.newPage()) {
            return false;
        }
        painter.save();
        const double scale = device.logicalDpiX() / kUnitsPerInch;
        painter.scale(scale, scale);
        pages[i].report->paintPage(painter, pages[i].page);
        painter.restore();
    }
    return pages.empty() || painter.end();
}

} // namespace

bool PaintReports(const std::vector<const Report*>& reports, QPagedPaintDevice& device) {
    std::vector<PageRef> pages;
    for (const Report* r : reports)
        for (int page = 0; page < r->pageCount(); ++page)
            pages.push_back({r, page});
    return paintPages(pages, device);
}

bool PaintReportPages(const Report& report, QPagedPaintDevice& device, int first, int last) {
    std::vector<PageRef> pages;
    for (int page = std::max(first, 0); page <= std::min(last, report.pageCount() - 1); ++page)
        pages.push_back({&report, page});
    return paintPages(pages, device);
}

void WritePdf(const std::vector<const Report*>& reports, const std::filesystem::path& out) {
    const QString name = QString::fromStdString(out.string());
    const FileError failed("Не удалось записать файл " + out.string());
    int pages = 0;
    for (const Report* r : reports)
        pages += r->pageCount();
    if (pages == 0)
        throw Error("В отчётах нет ни одной страницы: файл " + out.string() + " не записан");

    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        throw failed;
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("КвортКонфигуратор"));
        writer.setTitle(reports.front()->reportTemplate().title);
        if (!PaintReports(reports, writer))
            throw failed;
    }
    if (!file.commit())
        throw failed;
}

QString ReportFontFamily() {
    static const QString family = QFontDatabase::hasFamily(QStringLiteral("Arial"))
                                      ? QStringLiteral("Arial")
                                      : QStringLiteral("Liberation Sans");
    return family;
}

} // namespace kvort::report
