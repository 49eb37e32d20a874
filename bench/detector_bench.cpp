// The detector dialog on the full sample: opening it, one save and a group
// copy of 59 records, each with its durable write of NAME.tb1. Run once with
// TMPDIR on a disk and once on a tmpfs (where fdatasync costs nothing) to
// see what the sync takes.
#include "FullSample.h"

#include "app/DetectorEditor.h"
#include "document/ConfigFileSet.h"
#include "gui/dialogs/DetectorDialog.h"
#include "text/Literals.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <benchmark/benchmark.h>

namespace fs = std::filesystem;
using namespace kvort;
using namespace kvort::text::literals;

namespace {

// Saving without text or zone would ask; none of these runs does.
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

struct Setup {
    SilentPrompts prompts;
    IniStore cnf{bench::sample().cnf};
    ZoneNames zones = ReadZoneNames(cnf);
    fs::path tb1 = ConfigFileSet(bench::sample().cnf).tb(1);
};

void BM_OpenDetectorDialog(benchmark::State& state) {
    Setup s;
    gui::DetectorDialog dialog(s.prompts);
    for (auto _ : state) {
        dialog.openFor(s.cnf, s.tb1, {1, 3, 17}, s.zones);
        QCoreApplication::processEvents();
        state.PauseTiming();
        dialog.reject();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenDetectorDialog)->Unit(benchmark::kMillisecond);

void BM_DialogSave(benchmark::State& state) {
    Setup s;
    gui::DetectorDialog dialog(s.prompts);
    auto* save = dialog.findChild<QPushButton*>(QStringLiteral("saveButton"));
    auto* text = dialog.findChild<QComboBox*>(QStringLiteral("textCombo"));
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        dialog.openFor(s.cnf, s.tb1, {1, 3, 17}, s.zones);
        QCoreApplication::processEvents();
        // A changed text, so every save has something to write.
        text->setEditText(++n % 2 ? QStringLiteral("ДЫМ А") : QStringLiteral("ДЫМ Б"));
        state.ResumeTiming();
        save->click();
    }
}
BENCHMARK(BM_DialogSave)->Unit(benchmark::kMillisecond);

void BM_GroupCopy59(benchmark::State& state) {
    Setup s;
    IniStore tb(s.tb1);
    DetectorForm f;
    f.zone = s.zones[4];
    f.copy = true;
    f.copyTo = 60;
    int n = 0;
    for (auto _ : state) {
        f.text = ++n % 2 ? "ДЫМ А"_cp : "ДЫМ Б"_cp;
        SaveDetector(s.prompts, tb, "ППКП"_cp, {1, 4, 1}, f);
    }
}
BENCHMARK(BM_GroupCopy59)->Unit(benchmark::kMillisecond);

// The durable write alone: one key changed, the file persisted.
void BM_PersistTb(benchmark::State& state) {
    Setup s;
    IniStore tb(s.tb1);
    int n = 0;
    for (auto _ : state)
        tb.WriteString("И13-17"_cp, "СОСТОЯНИЕ"_cp, ++n % 2 ? "ВКЛ"_cp : "ВЫКЛ"_cp);
}
BENCHMARK(BM_PersistTb)->Unit(benchmark::kMillisecond);

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
