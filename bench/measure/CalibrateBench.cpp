// Calibration of a 1600 x 1100 scan of an IT8.7/2 chart (its patches about
// 58 pixels across, turned by 2 degrees, noise and dust): the whole work from
// the file (reading, sampling, both fits with the profile's five held-out
// fits, the profile written and read back, the verdict's figures through the
// fitted tables and profile, the report), the same from the scan in memory,
// and the sampling alone, which a corner drag in the window redoes. Then a
// scanner with a highlight knee in red, whose counters give the joint fit's
// figures beside those of the fit through the grey scale alone. Processor
// time counts every thread.
#include "measure/CalibrationReport.h"
#include "tests/measure/SimulatedScanner.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1100;

constexpr double kKnee = 0.6;
// Colours lighter in a channel than the lightest grey, where a knee shows.
constexpr double kLightestShare = 0.97;

struct Chart {
    ChartReference reference;
    ChartCorners corners = simscan::Placed(LayoutOf(ChartKind::It8), 90, 40, 58, 2.0);
    ChartScan scan;
    std::filesystem::path file;

    explicit Chart(bool knee)
        : reference(simscan::It8Patches(false, knee ? kLightestShare : 0.85)) {
        simscan::Scanner scanner = simscan::TypicalScanner(ChartKind::It8, 0.5);
        scanner.knee[0] = knee ? kKnee : 1.0;
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
    static const Chart chart(false);
    return chart;
}

const Chart& KneeChart() {
    static const Chart chart(true);
    return chart;
}

void Report(benchmark::State& state, const CalibrationOutcome& outcome) {
    if (const auto* done = std::get_if<Calibration>(&outcome)) {
        benchmark::DoNotOptimize(ReportText(*done));
        state.counters["mean_dE2000"] = done->summary.mean;
        state.counters["largest_dE2000"] = done->summary.largest;
        state.counters["held_out_mean"] = done->heldOut.mean;
        state.counters["held_out_largest"] = done->heldOut.largest;
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
BENCHMARK(BM_CalibrateIt8File)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_CalibrateIt8InMemory(benchmark::State& state) {
    const Chart& chart = TheChart();
    for (auto _ : state) {
        Report(state,
               Calibrate(chart.scan, ChartKind::It8, chart.reference, chart.corners, "bench"));
    }
}
BENCHMARK(BM_CalibrateIt8InMemory)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// The fit through the grey scale alone, on the knee scan's samples.
void GreyScaleCounters(benchmark::State& state, const Calibration& c) {
    std::vector<ProfilePatch> patches;
    for (const PatchResult& p : c.patches) {
        patches.push_back({p.sample.value, p.reference, p.grey});
    }
    const ShaperMatrix greys = FitThroughGreys(patches);
    double sum = 0;
    double largest = 0;
    for (const ProfilePatch& p : patches) {
        const double d = DeltaE2000(LabOf(XyzThrough(greys, p.device)), p.reference);
        sum += d;
        largest = std::max(largest, d);
    }
    state.counters["greys_only_mean"] = sum / double(patches.size());
    state.counters["greys_only_largest"] = largest;
}

void BM_CalibrateKneeIt8(benchmark::State& state) {
    const Chart& chart = KneeChart();
    for (auto _ : state) {
        Report(state,
               Calibrate(chart.scan, ChartKind::It8, chart.reference, chart.corners, "bench"));
    }
    GreyScaleCounters(state, std::get<Calibration>(Calibrate(chart.scan, ChartKind::It8,
                                                             chart.reference, chart.corners, "b")));
}
BENCHMARK(BM_CalibrateKneeIt8)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_SampleIt8(benchmark::State& state) {
    const Chart& chart = TheChart();
    for (auto _ : state) {
        benchmark::DoNotOptimize(SampleChart(chart.scan, LayoutOf(ChartKind::It8), chart.corners));
    }
}
BENCHMARK(BM_SampleIt8)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

} // namespace
