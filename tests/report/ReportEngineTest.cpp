// The report engine over the real builders: every variable answered, and
// the layout of the full sample on several papers.
#include "report/Report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

using namespace kvort;
using report::Report;

namespace {

const std::filesystem::path kFull = std::filesystem::path(KVORT_EXAMPLES_DIR) / "full" / "full.cnf";
const ReportKind kKinds[] = {ReportKind::Detectors, ReportKind::Scenarios, ReportKind::Directions,
                             ReportKind::Outputs};

TEST(ReportEngine, EveryVariableABandAsksForIsAnswered) {
    for (ReportKind kind : kKinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        const Report r = Report::build(kind, kFull);
        EXPECT_GT(r.pageCount(), 0);
        EXPECT_EQ(r.unansweredVariables(), std::vector<std::string>{});
    }
}

TEST(ReportEngine, EveryBandIsPlacedOnceInsideThePageWhateverThePaper) {
    const QPageLayout papers[] = {
        Report::defaultPageLayout(),
        QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF(15, 15, 15, 15),
                    QPageLayout::Millimeter),
        QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(5, 40, 5, 40),
                    QPageLayout::Millimeter),
    };
    for (ReportKind kind : kKinds) {
        Report r = Report::build(kind, kFull);
        const report::ReportTemplate& t = r.reportTemplate();
        std::size_t placedOnA4 = 0;
        for (const QPageLayout& paper : papers) {
            SCOPED_TRACE(std::to_string(static_cast<int>(kind)) + " on " +
                         paper.pageSize().name().toStdString());
            r.setPageLayout(paper);
            std::size_t placed = 0;
            for (int page = 0; page < r.pageCount(); ++page) {
                const auto bands = r.pageBands(page);
                ASSERT_FALSE(bands.empty()) << "an empty page " << page;
                double previous = r.bodyTop();
                for (const auto& b : bands) {
                    EXPECT_GE(b.top, previous) << "page " << page;
                    EXPECT_LE(b.bottom, r.bodyBottom() + 1e-9) << "page " << page;
                    previous = b.bottom;
                }
                // A group header is never left alone at the foot of a page.
                const auto& lastBand =
                    t.bands[static_cast<std::size_t>(t.bandIndex(bands.back().band))];
                if (page + 1 < r.pageCount()) {
                    EXPECT_FALSE(lastBand.keepWithNext) << "page " << page;
                }
                placed += bands.size();
            }
            if (placedOnA4 == 0)
                placedOnA4 = placed;
            EXPECT_EQ(placed, placedOnA4);
        }
    }
}

TEST(ReportEngine, NoEmptySheetsAndNoUnknownBands) {
    Report r(report::TemplateFor(ReportKind::Outputs));
    r.showBand("PageHeader1", {});
    r.newPage();
    r.newPage();
    r.showBand("MasterData1", {{"ПРИБОР", "X"}});
    r.newPage();
    r.showBand("PageFooter1", {});
    r.layout();
    EXPECT_EQ(r.pageCount(), 1);
    EXPECT_THROW(r.showBand("MasterData2", {}), std::logic_error);
}

} // namespace
