// A chart found with no hand on its corners, then calibrated, on whole-bed
// scans of 2500 x 1600 at 16 bits by the simulated scanner (noise and
// dust): an IT8 a fifth of the scan wide turned half round, an IT8 three
// fifths wide turned a quarter, a ColorChecker a fifth wide turned three
// quarters, each a few degrees off and in mild perspective. Each is timed
// from the TIFF file (reading, finding, sampling, both fits, the profile
// written and read back, its five held-out fits, the verdict's figures,
// the report), and the finding alone in memory; processor time counts every
// thread. The counter says how far the worst corner lies from the true
// one, in pitches.
#include "measure/CalibrationReport.h"
#include "measure/ChartFinder.h"
#include "tests/measure/SimulatedScanner.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace {

constexpr int kWidth = 2500;
constexpr int kHeight = 1600;

struct Scene {
    ChartKind kind;
    double widthShare;
    double degrees;
    double x, y; // the chart's centre, as shares of the scan
};

struct SceneScan {
    ChartReference reference;
    ChartCorners truth;
    ChartScan scan;
    std::filesystem::path file;

    explicit SceneScan(const Scene& s)
        : reference(s.kind == ChartKind::It8 ? ChartReference(simscan::It8Patches(false))
                                             : BuiltInColorChecker()) {
        const ChartLayout& layout = LayoutOf(s.kind);
        const ChartBox e = ExtentOf(layout);
        const double pitch = s.widthShare * kWidth / (e.right - e.left);
        truth = simscan::InPerspective(
            simscan::Centred(layout, s.x * kWidth, s.y * kHeight, pitch, s.degrees), 0.03);
        simscan::Scanner scanner = simscan::TypicalScanner(s.kind, 0.5);
        scanner.dustShare = 0.001;
        scan = simscan::Scan(scanner, layout, reference, truth, kWidth, kHeight);
        file = std::filesystem::temp_directory_path() /
               ("tamrel-bench-find-" + std::to_string(::getpid()) + "-" +
                std::to_string(int(s.degrees)) + ".tif");
        simscan::WriteScan(scan, file, ImageFormat::Tiff);
    }
    ~SceneScan() { std::filesystem::remove(file); }
    SceneScan(const SceneScan&) = delete;
    SceneScan& operator=(const SceneScan&) = delete;
};

const Scene kScenes[] = {
    {ChartKind::It8, 0.2, 183.0, 0.7, 0.3},
    {ChartKind::It8, 0.6, 92.0, 0.5, 0.5},
    {ChartKind::ColorChecker24, 0.2, 267.0, 0.25, 0.7},
};

const SceneScan& ScanOf(std::size_t scene) {
    static const SceneScan it8Small(kScenes[0]);
    static const SceneScan it8Large(kScenes[1]);
    static const SceneScan checker(kScenes[2]);
    const SceneScan* scans[] = {&it8Small, &it8Large, &checker};
    return *scans[scene];
}

// The worst corner's distance from the true one, in pitches along the grid.
double WorstCornerOff(const ChartCorners& found, const SceneScan& s, ChartKind kind) {
    const ChartLayout& layout = LayoutOf(kind);
    const double pitch =
        std::hypot(s.truth[1].x - s.truth[0].x, s.truth[1].y - s.truth[0].y) / layout.columns;
    double worst = 0;
    for (std::size_t i = 0; i < found.size(); ++i) {
        worst = std::max(worst, std::hypot(found[i].x - s.truth[i].x, found[i].y - s.truth[i].y));
    }
    return worst / pitch;
}

void BM_FindAndCalibrateFromFile(benchmark::State& state) {
    const Scene& scene = kScenes[std::size_t(state.range(0))];
    const SceneScan& s = ScanOf(std::size_t(state.range(0)));
    for (auto _ : state) {
        const Outcome<ChartScan> scan = ReadChartScan(s.file);
        const FindOutcome found = FindChart(*scan, scene.kind, &s.reference);
        if (!std::holds_alternative<ChartCorners>(found)) {
            state.SkipWithError("no chart found");
            break;
        }
        const ChartCorners& corners = std::get<ChartCorners>(found);
        const CalibrationOutcome outcome = Calibrate(*scan, scene.kind, s.reference, corners, "b");
        if (const auto* done = std::get_if<Calibration>(&outcome)) {
            benchmark::DoNotOptimize(ReportText(*done));
            state.counters["mean_dE2000"] = done->summary.mean;
        } else {
            state.SkipWithError("the chart found could not be calibrated");
            break;
        }
        state.counters["worst_corner_pitches"] = WorstCornerOff(corners, s, scene.kind);
    }
}
BENCHMARK(BM_FindAndCalibrateFromFile)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_FindOnly(benchmark::State& state) {
    const Scene& scene = kScenes[std::size_t(state.range(0))];
    const SceneScan& s = ScanOf(std::size_t(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(FindChart(s.scan, scene.kind, &s.reference));
    }
}
BENCHMARK(BM_FindOnly)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

} // namespace
