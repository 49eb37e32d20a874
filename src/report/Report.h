#pragma once
// One prepared report: the bands a builder showed, laid out on pages of a
// template, painted on request. Layout keeps only positions; the texts are
// put together when a page is painted, so a long report is laid out at once
// and its first page shows without waiting for the others.
#include "ReportTemplate.h"
#include "export/ReportBuilders.h"

#include <QPageLayout>

#include <filesystem>
#include <string>
#include <vector>

class QPainter;
class QPagedPaintDevice;

namespace kvort::report {

class Report : public ReportSink {
  public:
    explicit Report(const ReportTemplate& tmpl);

    // Builds `kind` of the configuration into a new report and lays it out.
    static Report build(ReportKind kind, const std::filesystem::path& config);

    const ReportTemplate& reportTemplate() const { return *m_template; }

    // Values any band may ask for (FileName, FileDate).
    void setCommonValues(ReportValues values) { m_common = std::move(values); }
    const ReportValues& commonValues() const { return m_common; }

    // The builder's side. A page header or footer shown by the builder is
    // already on every page; showing it only opens the first page.
    void showBand(std::string_view band, ReportValues values) override;
    void newPage() override;

    // A4 portrait with the default margins until page setup changes it.
    static QPageLayout defaultPageLayout();
    const QPageLayout& pageLayout() const { return m_pageLayout; }
    void setPageLayout(const QPageLayout& layout); // lays out again

    // Puts the shown bands on pages: a band that does not fit starts the next
    // page, and a band that keeps with the next one moves along with it.
    void layout();
    int pageCount() const { return static_cast<int>(m_pages.size()); }

    // The paper in template units (1/96 inch).
    QSizeF paperSize() const;
    // Paints one page (0-based) with the painter's coordinates in template
    // units from the paper's top left corner.
    void paintPage(QPainter& painter, int page) const;

    // The flow bands of one page, top to bottom, in template units from the
    // paper's top edge; the page header and footer are not listed.
    struct PlacedBand {
        std::string_view band;
        double top, bottom;
    };
    std::vector<PlacedBand> pageBands(int page) const;
    // Where flow bands may go on every page: below the header, above the footer.
    double bodyTop() const;
    double bodyBottom() const;

    // Variables of shown bands that the build left unanswered, as
    // "band: variable" (CP1251), each once; empty for a sound builder.
    std::vector<std::string> unansweredVariables() const;

  private:
    struct Shown {
        int band; // index in the template; -1 = the builder started a new page
        ReportValues values;
    };
    struct Placed {
        int shown; // index in m_shown
        double y;
    };
    struct Page {
        std::vector<Placed> bands;
    };

    QString resolve(const TextPart& part, const ReportValues* values, int page) const;

    const ReportTemplate* m_template;
    ReportValues m_common;
    std::vector<Shown> m_shown;
    QPageLayout m_pageLayout;
    std::vector<Page> m_pages;
    int m_header = -1, m_footer = -1;
};

// Paints reports onto a paged device (a PDF writer, or a printer in full
// page mode), one after another, each on pages of its own size. The device
// must not be painted on yet. False when painting could not start or a page
// could not be added.
bool PaintReports(const std::vector<const Report*>& reports, QPagedPaintDevice& device);
// The same for pages first..last (0-based) of one report.
bool PaintReportPages(const Report& report, QPagedPaintDevice& device, int first, int last);

// Writes the reports into one PDF file, replacing it atomically: a failed
// write leaves whatever was there. Throws FileError naming the file.
void WritePdf(const std::vector<const Report*>& reports, const std::filesystem::path& out);

// The family the templates' "Arial" is printed in: Arial where installed,
// else the metric-compatible Liberation Sans.
QString ReportFontFamily();

} // namespace kvort::report
