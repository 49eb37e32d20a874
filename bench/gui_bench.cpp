// Loading the largest sample configuration (nine devices, 480 detectors a
// panel, 256 zones, 128 scenarios) into the window: LoadConfigView alone,
// the whole opening around it, and the detector grid of one panel.
#include "gui/MainWindow.h"
#include "gui/pages/AlarmPage.h"

#include "FullSample.h"
#include <QApplication>

#include <benchmark/benchmark.h>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;
using namespace kvort;

namespace {

// Nothing in a clean opening asks the person anything; a question here
// would distort the timing, so it aborts the benchmark.
class SilentPrompts : public UserPrompts {
  public:
    MsgResult message(std::string_view, std::string_view text, MsgIcon, MsgButtons) override {
        fail(text);
    }
    std::optional<fs::path> openFile(const FileDialogOptions&) override { fail("open"); }
    std::optional<fs::path> saveFile(const FileDialogOptions&) override { fail("save"); }
    std::string inputBox(std::string_view, std::string_view, std::string_view) override {
        fail("input");
    }
    int chooseSeries() override { fail("series"); }
    void openDocument(const fs::path&) override {}

  private:
    [[noreturn]] static void fail(std::string_view what) {
        fprintf(stderr, "unexpected question: %.*s\n", int(what.size()), what.data());
        std::abort();
    }
};

fs::path sampleCopy() {
    return bench::sample().cnf;
}

struct Window {
    SilentPrompts prompts;
    gui::MainWindow window{prompts};
    Window() {
        window.resize(1600, 1000);
        window.show();
        window.FileOpen1Accept(sampleCopy());
    }
};

void BM_LoadConfigView(benchmark::State& state) {
    Window w;
    for (auto _ : state) {
        for (gui::ConfigPage* page : w.window.findChildren<gui::ConfigPage*>())
            page->load(SessionChange::Loaded);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_LoadConfigView)->Unit(benchmark::kMillisecond);

void BM_OpenFullSample(benchmark::State& state) {
    Window w;
    for (auto _ : state) {
        w.window.FileOpen1Accept(sampleCopy());
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_OpenFullSample)->Unit(benchmark::kMillisecond);

void BM_ShowPanelDetectors(benchmark::State& state) {
    Window w;
    for (auto _ : state) {
        w.window.findChild<gui::AlarmPage*>()->showSlot(1); // ППКП in the sample
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ShowPanelDetectors)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
