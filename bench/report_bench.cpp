// Printing the largest sample (nine devices, 3,412 detector rows, 128
// scenarios): the detector list built and laid out, the first page of its
// preview on screen, and the whole PDF of every report the print action
// shows.
#include "FullSample.h"
#include "report/Report.h"

#ifdef KVORT_BENCH_PREVIEW
#include "ScriptedPrompts.h"
#include "gui/report/ReportPreview.h"
#include <QApplication>
#else
#include <QGuiApplication>
#endif

#include <benchmark/benchmark.h>

using namespace kvort;

namespace {

void BM_DetectorListBuiltAndLaidOut(benchmark::State& state) {
    int pages = 0;
    for (auto _ : state) {
        report::Report r = report::Report::build(ReportKind::Detectors, bench::sample().cnf);
        pages = r.pageCount();
        benchmark::DoNotOptimize(pages);
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_DetectorListBuiltAndLaidOut)->Unit(benchmark::kMillisecond);

#ifdef KVORT_BENCH_PREVIEW
// From the built report to its first page painted in the preview window.
void BM_FirstPreviewPage(benchmark::State& state) {
    const report::Report built = report::Report::build(ReportKind::Detectors, bench::sample().cnf);
    ScriptedPrompts prompts;
    for (auto _ : state) {
        report::Report r = built;
        gui::ReportPreview preview(r, prompts);
        preview.resize(1000, 800);
        preview.show();
        QImage shot = preview.grab().toImage();
        benchmark::DoNotOptimize(shot.bits());
    }
}
BENCHMARK(BM_FirstPreviewPage)->Unit(benchmark::kMillisecond);
#endif

void BM_WholePdf(benchmark::State& state) {
    const auto out = bench::sample().folder / "out" / "full.pdf";
    int pages = 0;
    for (auto _ : state) {
        std::vector<report::Report> reports;
        for (ReportKind kind : ReportsToPrint(bench::sample().cnf))
            reports.push_back(report::Report::build(kind, bench::sample().cnf));
        std::vector<const report::Report*> pointers;
        pages = 0;
        for (const auto& r : reports) {
            pointers.push_back(&r);
            pages += r.pageCount();
        }
        report::WritePdf(pointers, out);
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_WholePdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef KVORT_BENCH_PREVIEW
    QApplication app(argc, argv);
#else
    QGuiApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
