// The work of a card write and read besides the codec, on the full sample:
// the configuration check (without its boxes), the three archives with
// every slot of every ring filled, and the JSON export.
//
//   build/bench/bench_check [--benchmark_repetitions=5]
#include "app/ConfigCheck.h"
#include "app/ConfigSession.h"
#include "app/Ports.h"
#include "archives/EventArchives.h"
#include "document/Config.h"
#include "document/IniStore.h"
#include "export/JsonExport.h"
#include "image/Encoder.h"

#include "FullSample.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>
#include <vector>

namespace fs = std::filesystem;
using namespace kvort;

namespace {

using bench::sample;

// Runs the check and answers Yes to everything it asks.
class YesPrompts : public UserPrompts {
  public:
    MsgResult message(std::string_view, std::string_view, MsgIcon, MsgButtons b) override {
        return b == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Yes;
    }
    std::optional<fs::path> openFile(const FileDialogOptions&) override { return std::nullopt; }
    std::optional<fs::path> saveFile(const FileDialogOptions&) override { return std::nullopt; }
    std::string inputBox(std::string_view, std::string_view, std::string_view i) override {
        return std::string(i);
    }
    int chooseSeries() override { return 0; }
    void openDocument(const fs::path&) override {}
};

void BM_CheckConfiguration(benchmark::State& state) {
    auto session = std::make_unique<PanelSession>();
    const ZoneNames zones = ReadZoneNames(IniStore(sample().cnf));
    YesPrompts prompts;
    NullProgress view;
    for (auto _ : state) {
        state.PauseTiming();
        session->CurrentConfigPath = sample().cnf;
        BuildPanelImage(session->image, sample().cnf, zones);
        state.ResumeTiming();
        benchmark::DoNotOptimize(CheckConfiguration(*session, prompts, view));
    }
}
BENCHMARK(BM_CheckConfiguration)->Unit(benchmark::kMillisecond);

// Every slot of the three rings holds a detector record of the sample.
void BM_DecodeFullArchives(benchmark::State& state) {
    std::vector<std::uint8_t> image(65536, 0xFF);
    auto ring = [&image](std::size_t counter, std::size_t base) {
        image[counter] = 0x01;
        image[counter + 1] = 0xF4; // slot 500
        for (std::size_t i = 0; i < 1000; ++i) {
            const std::uint8_t r[8] = {0x01,
                                       0x02,
                                       0x24,
                                       0x10,
                                       0x20,
                                       static_cast<std::uint8_t>(i % 72),
                                       static_cast<std::uint8_t>(i % 60),
                                       static_cast<std::uint8_t>(i % 2 ? 0x88 : 0x05)};
            std::copy(r, r + 8, image.begin() + base + 8 * i);
        }
    };
    ring(archive::kFireCounter, archive::kFireRing);
    ring(archive::kFaultCounter, archive::kFaultRing);
    ring(archive::kEventCounter, archive::kEventRing);
    const fs::path name = sample().folder / "full";
    for (auto _ : state)
        DecodeArchives(image, name);
}
BENCHMARK(BM_DecodeFullArchives)->Unit(benchmark::kMillisecond);

void BM_BuildJson(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildJson(sample().cnf));
}
BENCHMARK(BM_BuildJson)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
