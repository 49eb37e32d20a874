// Writing and reading a full detector set: 9 slots x 480 detectors x 4 keys,
// through one DetectorStore per slot, as the decoder writes it. The batched
// form persists each file once; the naive form persists after every key.
#include "document/Detectors.h"
#include "document/IniStore.h"
#include "text/Literals.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <random>

using namespace kvort;
using namespace kvort::text::literals;
namespace fs = std::filesystem;

namespace {

fs::path benchDir() {
    static fs::path dir = [] {
        fs::path d =
            fs::temp_directory_path() / ("kvort-bench-" + std::to_string(std::random_device{}()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

void writeSlot(const fs::path& file, int slot, bool batched, int lines) {
    IniStore tb(file);
    std::optional<IniStore::Batch> batch;
    if (batched)
        batch.emplace(tb);
    for (int line = 1; line <= lines; ++line)
        for (int a = 1; a <= kAddressesPerLine; ++a) {
            std::string sec = SensorAddress(slot, line, a);
            tb.WriteString(sec, "ТЕКСТ"_cp, "КОРИДОР 2 ЭТАЖ КАБ 2"_cp);
            tb.WriteString(sec, "ТИП"_cp, "ДЫМОВОЙ"_cp);
            tb.WriteString(sec, "ЗОНА"_cp, "ЗОНА 17"_cp);
            tb.WriteString(sec, "СОСТОЯНИЕ"_cp, "ВКЛ"_cp);
        }
    if (batch)
        batch->commit();
}

void BM_WriteFullSetBatched(benchmark::State& state) {
    for (auto _ : state) {
        for (int slot = 0; slot < 9; ++slot) {
            fs::path f = benchDir() / ("B.tb" + std::to_string(slot));
            fs::remove(f);
            writeSlot(f, slot, true, 8);
        }
    }
    uintmax_t bytes = 0;
    for (int slot = 0; slot < 9; ++slot)
        bytes += fs::file_size(benchDir() / ("B.tb" + std::to_string(slot)));
    state.counters["file_bytes_total"] = static_cast<double>(bytes);
    state.counters["keys"] = 9 * 480 * 4;
}
BENCHMARK(BM_WriteFullSetBatched)->Unit(benchmark::kMillisecond);

void BM_ReadFullSet(benchmark::State& state) {
    for (int slot = 0; slot < 9; ++slot)
        writeSlot(benchDir() / ("R.tb" + std::to_string(slot)), slot, true, 8);
    size_t found = 0;
    for (auto _ : state) {
        found = 0;
        for (int slot = 0; slot < 9; ++slot) {
            IniStore tb(benchDir() / ("R.tb" + std::to_string(slot)));
            for (int line = 1; line <= 8; ++line)
                for (int a = 1; a <= kAddressesPerLine; ++a)
                    found += ReadDetector(tb, slot, line, a).present();
        }
    }
    if (found != 9 * 480)
        state.SkipWithError("not every detector read back");
    state.counters["detectors"] = static_cast<double>(found);
}
BENCHMARK(BM_ReadFullSet)->Unit(benchmark::kMillisecond);

// Persisting after every key: one slot (1920 persists); the full set takes
// nine times as long.
void BM_WriteOneSlotNaive(benchmark::State& state) {
    for (auto _ : state) {
        fs::path f = benchDir() / "N.tb0";
        fs::remove(f);
        writeSlot(f, 0, false, 8);
    }
    state.counters["persists"] = 480 * 4;
}
BENCHMARK(BM_WriteOneSlotNaive)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(benchDir());
}
