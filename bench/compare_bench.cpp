// The comparison of the full sample with a copy that differs in 50 places,
// the copy given as a panel image, so its decoding is part of each run.
#include "FullSample.h"

#include "app/ConfigCompare.h"
#include "app/PanelVerify.h"
#include "document/Detectors.h"
#include "document/IniStore.h"
#include "text/Literals.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kvort;
using namespace kvort::text::literals;
namespace fs = std::filesystem;

struct ChangedCopy {
    fs::path cnf, image;
    ChangedCopy() {
        const fs::path folder = bench::sample().folder / "changed";
        fs::create_directories(folder);
        for (const auto& e : fs::directory_iterator(bench::sample().folder))
            if (e.is_regular_file())
                fs::copy_file(e.path(), folder / e.path().filename());
        cnf = folder / "full.cnf";
        IniStore c(cnf);
        IniStore tb1(fs::path(cnf).replace_extension(".tb1"));
        const std::vector<std::string> addresses = tb1.ReadSections();
        for (int i = 0; i < 30; ++i) // 30 detector texts
            tb1.WriteString(addresses.at(i), "ТЕКСТ"_cp,
                            std::string("ИЗМЕНЕН "_cp) + std::to_string(i));
        for (int o = 1; o <= 8; ++o) // 10 output descriptions
            c.WriteString(SectionDescriptions(), std::string("ПУ-П /0"_cp) + std::to_string(o),
                          "НОВОЕ"_cp);
        c.WriteString(SectionDescriptions(), "ППКП1/01"_cp, "НОВОЕ"_cp);
        c.WriteString(SectionDescriptions(), "ППКП1/02"_cp, "НОВОЕ"_cp);
        for (int k = 1; k <= 10; ++k) // 10 scenario notes
            c.WriteString(ScenarioSection(k), "ПРИМЕЧАНИЕ"_cp,
                          std::string("НОВОЕ "_cp) + std::to_string(k));
        image = folder / "changed.bin";
        writeFile(image, EncodeConfigurationImage(cnf, Series::I).bytes());
    }
};

ChangedCopy& changed() {
    static ChangedCopy c;
    return c;
}

void BM_CompareWithChangedImage(benchmark::State& state) {
    const CompareSource a = SourceFromPath(bench::sample().cnf);
    const CompareSource b = SourceFromPath(changed().image);
    std::size_t n = 0;
    for (auto _ : state) {
        Comparison c = CompareSources(a, b);
        n = c.differences.size();
        benchmark::DoNotOptimize(n);
    }
    state.counters["differences"] = static_cast<double>(n);
}
BENCHMARK(BM_CompareWithChangedImage)->Unit(benchmark::kMillisecond);

void BM_CompareTwoConfigurations(benchmark::State& state) {
    const CompareSource a = SourceFromPath(bench::sample().cnf);
    const CompareSource b = SourceFromPath(changed().cnf);
    for (auto _ : state)
        benchmark::DoNotOptimize(CompareSources(a, b));
}
BENCHMARK(BM_CompareTwoConfigurations)->Unit(benchmark::kMillisecond);

// What verify-panel adds to the read: the configuration's own image, the
// byte compare and, as they differ, the comparison.
void BM_VerifyPanelImage(benchmark::State& state) {
    const TPanelImage panel = TPanelImage::fromFile(changed().image);
    for (auto _ : state)
        benchmark::DoNotOptimize(VerifyPanelImage(panel, bench::sample().cnf));
}
BENCHMARK(BM_VerifyPanelImage)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
