// Calibration of a 1600 x 1100 scan of an IT8.7/2 chart (its patches about
// 58 pixels across, turned by 2 degrees, noise and dust): the whole work from
// the file (reading, sampling, both fits, the profile written and read back,
// the report), the same from the scan in memory, and the sampling alone,
// which a corner drag in the window redoes.
#include "measure/CalibrationReport.h"
#include "tests/measure/SimulatedScanner.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1100;

struct Chart {
    ChartReference reference{simscan::It8Patches(false)};
    ChartCorners corners = simscan::Placed(LayoutOf(ChartKind::It8), 90, 40, 58, 2.0);
    ChartScan scan;
    std::filesystem::path file;

    Chart() {
        simscan::Scanner scanner = simscan::TypicalScanner(ChartKind::It8, 0.5);
        scanner.dustShare = 0.002;
        scan =
            simscan::Scan(scanner, LayoutOf(ChartKind::It8), reference, corners, kWidth, kHeight);
        file = std::filesystem::temp_directory_path() /
               ("tamrel-bench-it8-" + std::to_string(::getpid()) + ".tif");
        simscan::WriteScan(scan, file, ImageFormat::Tiff);
    }
    ~Chart() { std::filesystem::remove(file); }
};

const Chart& TheChart() {
    static const Chart chart;
    return chart;
}

void Report(benchmark::State& state, const CalibrationOutcome& outcome) {
    if (const auto* done = std::get_if<Calibration>(&outcome)) {
        benchmark::DoNotOptimize(ReportText(*done));
        state.counters["mean_dE2000"] = done->summary.mean;
        state.counters["largest_dE2000"] = done->summary.largest;
    } else {
        state.SkipWithError("the chart could not be calibrated");
    }
}

void BM_CalibrateIt8File(benchmark::State& state) {
    const Chart& chart = TheChart();
    for (auto _ : state) {
        const Outcome<ChartScan> scan = ReadChartScan(chart.file);
        Report(state, Calibrate(*scan, ChartKind::It8, chart.reference, chart.corners, "bench"));
    }
}
BENCHMARK(BM_CalibrateIt8File)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CalibrateIt8InMemory(benchmark::State& state) {
    const Chart& chart = TheChart();
    for (auto _ : state) {
        Report(state,
               Calibrate(chart.scan, ChartKind::It8, chart.reference, chart.corners, "bench"));
    }
}
BENCHMARK(BM_CalibrateIt8InMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SampleIt8(benchmark::State& state) {
    const Chart& chart = TheChart();
    for (auto _ : state) {
        benchmark::DoNotOptimize(SampleChart(chart.scan, LayoutOf(ChartKind::It8), chart.corners));
    }
}
BENCHMARK(BM_SampleIt8)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
