// Encoding the full sample (BuildPanelImage and the three passes) and
// decoding its image into a configuration file set.
//
//   build/bench/bench_image [--benchmark_repetitions=5]
#include "document/Config.h"
#include "document/IniStore.h"
#include "document/Lifecycle.h"
#include "image/Decoder.h"
#include "image/Encoder.h"

#include "FullSample.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

namespace fs = std::filesystem;
using namespace kvort;

namespace {

using bench::sample;

TPanelImage encodeFull(Series series) {
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
    const Series series = SeriesFromCode(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeFull(series));
}
BENCHMARK(BM_EncodeFull)
    ->Arg(SeriesCode(Series::FH))
    ->Arg(SeriesCode(Series::I))
    ->Unit(benchmark::kMillisecond);

void BM_DecodeFull(benchmark::State& state) {
    const Series series = SeriesFromCode(static_cast<int>(state.range(0)));
    TPanelImage image = encodeFull(series);
    if (series == Series::I)
        image.setByte(imagemap::kISeriesMarker, imagemap::kSeriesMarker);
    fs::path out = sample().folder / "out" / "R.cnf";
    for (auto _ : state) {
        WriteReadSkeleton(out);
        benchmark::DoNotOptimize(DecodePanelImage(image, out));
    }
}
BENCHMARK(BM_DecodeFull)
    ->Arg(SeriesCode(Series::FH))
    ->Arg(SeriesCode(Series::I))
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
