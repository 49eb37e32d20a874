// The relay scenario tab on the largest sample (128 scenarios): loading the
// list with the step device lists, and opening one scenario into the editor.
#include "FullSample.h"

#include "app/ConfigSession.h"
#include "app/Ports.h"
#include "gui/pages/ScenarioPage.h"

#include <QApplication>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>

namespace fs = std::filesystem;
using namespace kvort;

namespace {

// Neither loading nor opening asks anything; a question would distort the
// timing, so it aborts the benchmark.
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
        std::fprintf(stderr, "unexpected question: %.*s\n", int(what.size()), what.data());
        std::abort();
    }
};

struct Tab {
    SilentPrompts prompts;
    NullProgress progress;
    ConfigSession session;
    gui::ScenarioPage page{gui::PageContext{session, prompts, progress}, nullptr};
    Tab() {
        page.resize(1400, 900);
        page.show();
        session.open(bench::sample().cnf);
        QCoreApplication::processEvents();
    }
};

void BM_ScenarioListLoad(benchmark::State& state) {
    Tab tab;
    for (auto _ : state) {
        tab.page.loadScenarioList();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ScenarioListLoad)->Unit(benchmark::kMillisecond);

// Scenarios 97 (eight steps, a zone mode) and 2 (three steps) in turn, so
// each opening fills its number lists anew.
void BM_ScenarioOpen(benchmark::State& state) {
    Tab tab;
    int scenario = 97;
    for (auto _ : state) {
        tab.page.openScenario(scenario);
        QCoreApplication::processEvents();
        scenario = scenario == 97 ? 2 : 97;
    }
}
BENCHMARK(BM_ScenarioOpen)->Unit(benchmark::kMillisecond);

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
