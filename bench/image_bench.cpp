// Encoding the full sample (BuildPanelImage and the three passes) and
// decoding its image into a configuration file set.
//
//   build/bench/bench_image [--benchmark_repetitions=5]
#include "document/Config.h"
#include "document/IniStore.h"
#include "document/Lifecycle.h"
#include "image/Decoder.h"
#include "image/Encoder.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

namespace fs = std::filesystem;
using namespace kvort;

namespace {

// A private copy of examples/full, removed at exit.
struct FullSample {
    fs::path folder;
    fs::path cnf;
    FullSample() {
        folder =
            fs::temp_directory_path() / ("kvort-bench-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder / "out");
        for (const auto& e : fs::directory_iterator(fs::path(KVORT_EXAMPLES_DIR) / "full"))
            fs::copy_file(e.path(), folder / e.path().filename());
        cnf = folder / "full.cnf";
    }
    ~FullSample() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
};

FullSample& sample() {
    static FullSample s;
    return s;
}

TPanelImage encodeFull(int series) {
    ZoneNames zones;
    {
        IniStore cnf(sample().cnf);
        zones = ReadZoneNames(cnf);
    }
    TPanelImage image;
    BuildPanelImage(image, sample().cnf, zones);
    IniStore cnf(sample().cnf);
    EncodeOutputTexts(image, cnf, series);
    EncodeLinkedOutputs(image, cnf, series);
    EncodeScenarios(image, cnf, series);
    return image;
}

void BM_EncodeFull(benchmark::State& state) {
    const int series = static_cast<int>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeFull(series));
}
BENCHMARK(BM_EncodeFull)->Arg(kSeriesFH)->Arg(kSeriesI)->Unit(benchmark::kMillisecond);

void BM_DecodeFull(benchmark::State& state) {
    const int series = static_cast<int>(state.range(0));
    TPanelImage image = encodeFull(series);
    if (series == kSeriesI)
        image.setByte(imagemap::kISeriesMarker, imagemap::kSeriesMarker);
    fs::path out = sample().folder / "out" / "R.cnf";
    for (auto _ : state) {
        WriteReadSkeleton(out);
        benchmark::DoNotOptimize(DecodePanelImage(image, out));
    }
}
BENCHMARK(BM_DecodeFull)->Arg(kSeriesFH)->Arg(kSeriesI)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
