// One table computation beside its floor (256 calls of std::pow), and the
// largest table of the curve at any size.
#include "curve/CurveTable.h"
#include "curve/GammaTable.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

void BM_ComputeGammaTable(benchmark::State& state) {
    GammaTable table{};
    double black = 0.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(black);
        ComputeGammaTable(255.0, table, 0.5, 1.099, black);
        benchmark::DoNotOptimize(table.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComputeGammaTable);

// The 16-bit table a 16-bit scan needs; the mark is 2 ms.
void BM_CurveTable65536(benchmark::State& state) {
    std::vector<std::uint16_t> table(kMaxCurveEntries);
    double black = 0.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(black);
        ComputeCurveTable(255.0, table, kMaxCurveLevel, 0.5, 1.099, black);
        benchmark::DoNotOptimize(table.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CurveTable65536)->Unit(benchmark::kMillisecond);

void BM_Pow256Floor(benchmark::State& state) {
    double out[256];
    double exponent = 0.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(exponent);
        for (int i = 0; i < 256; ++i) {
            out[i] = std::pow(i / 255.0, exponent);
        }
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Pow256Floor);

} // namespace
