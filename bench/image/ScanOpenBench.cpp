// What the window's Open costs for an 8000 x 6000 linear scan of 16 bits
// (288 MB): a PNM and an uncompressed TIFF kept at their 16 bits, the
// 65536-entry curves made and the preview allocated and rendered through
// them; beside it the old road, read to 8-bit levels and rendered through
// the 256-entry tables. With the peak memory over the idle process per pixel,
// and the processor time of all threads beside the time on the clock (the
// machine is shared).
#include "bench/support/BenchSupport.h"
#include "image/ReadImage.h"
#include "image/formats/FormatTable.h"
#include "image/formats/PnmWriter.h"
#include "image/formats/TiffWriter.h"
#include "image/preview/PictureTables.h"
#include "image/preview/RenderPreview.h"
#include "io/AtomicWrite.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using benchsupport::ResetPeak;
using benchsupport::SomeTables;
using benchsupport::StatusBytes;

constexpr std::int32_t kWidth = 8000;
constexpr std::int32_t kHeight = 6000;
constexpr double kPixels = double(kWidth) * kHeight;
constexpr std::int32_t kRunRows = 16;

// Samples that change from pixel to pixel and row to row, as a scan's do.
Reason MakeRows(const RowShape& shape, const RowRunSink& sink) {
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(shape.RowBytes() * kRunRows));
    for (std::int32_t y = 0; y < shape.Height; y += kRunRows) {
        const std::int32_t count = std::min(kRunRows, shape.Height - y);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            rows[i] = static_cast<std::uint8_t>(i * 7 + std::size_t(y) * 3);
        }
        if (!sink(y, count, rows.data())) {
            return Reason(ReasonCode::WriteFailed);
        }
    }
    return {};
}

// The scan file, written once by the project's own writers, removed at exit.
struct TempScan {
    std::filesystem::path path;
    explicit TempScan(const std::string& extension) {
        path = std::filesystem::temp_directory_path() /
               ("tamrel_scan_bench_" + std::to_string(::getpid()) + extension);
        const RowShape shape = WriterShape(
            extension == ".pnm" ? ImageFormat::Pnm : ImageFormat::Tiff, kWidth, kHeight, 3, 16);
        const RowProducer produce = [&](const RowRunSink& sink, const RunRequest&) {
            return MakeRows(shape, sink);
        };
        const Replacement output = [&](const PositionedContents& c) {
            return WriteFileAtomically(path, c);
        };
        const Reason failed = extension == ".pnm" ? WritePnm(shape, produce, output, {})
                                                  : WriteTiff(shape, produce, output, {});
        if (failed) {
            std::abort();
        }
    }
    ~TempScan() { std::filesystem::remove(path); }
};

const std::filesystem::path& Scan(bool tiff) {
    static const TempScan pnm(".pnm");
    static const TempScan tif(".tif");
    return tiff ? tif.path : pnm.path;
}

// The window's open now: the picture at 16 bits, the preview through the
// curves of the start-up channels.
void OpenWide(const std::filesystem::path& path, const GammaTableSet& tables) {
    const ChannelParamsSet channels = {kDefaultChannelParams, kDefaultChannelParams,
                                       kDefaultChannelParams};
    Outcome<KeptImage> picture = ReadPictureFile(path);
    if (!picture) {
        std::abort();
    }
    const PictureTables shown = WholeTables(*picture, tables, channels);
    const std::optional<WideToneMap> map = ToneMapFor(*picture, shown);
    std::optional<PreviewImage> preview = BuildPicture(*picture, shown, map ? &*map : nullptr);
    if (!preview) {
        std::abort();
    }
    benchmark::DoNotOptimize(preview->Bits());
}

// The open of old: the picture as 8-bit levels, the preview through the tables.
void OpenLevels(const std::filesystem::path& path, const GammaTableSet& tables) {
    Outcome<DecodedImage> image = ReadImageFile(path);
    if (!image) {
        std::abort();
    }
    std::optional<PreviewImage> preview = BuildPreview(image->View(), tables);
    if (!preview) {
        std::abort();
    }
    benchmark::DoNotOptimize(preview->Bits());
}

// range(0): the TIFF (1) or the PNM (0); range(1): kept at 16 bits (1) or
// as 8-bit levels (0).
void BM_OpenScan(benchmark::State& state) {
    const bool tiff = state.range(0) != 0;
    const bool wide = state.range(1) != 0;
    const GammaTableSet tables = SomeTables();
    Scan(tiff);
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ResetPeak();
        const double idle = StatusBytes("VmRSS");
        state.ResumeTiming();
        {
            if (wide) {
                OpenWide(Scan(tiff), tables);
            } else {
                OpenLevels(Scan(tiff), tables);
            }
            state.PauseTiming();
        }
        peak = std::max(peak, StatusBytes("VmHWM") - idle);
        state.ResumeTiming();
    }
    state.counters["peak_bytes_per_pixel"] = peak / kPixels;
}
BENCHMARK(BM_OpenScan)
    ->ArgNames({"tiff", "wide"})
    ->ArgsProduct({{0, 1}, {1, 0}})
    ->MinTime(2.0)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// What a 16-bit picture's tables cost on each open and each Apply: the
// three channels' 65536-entry curves, and the tone map composed of them.
void BM_WideTables(benchmark::State& state) {
    const ChannelParamsSet channels = {kDefaultChannelParams, kDefaultChannelParams,
                                       kDefaultChannelParams};
    for (auto _ : state) {
        const WideToneMap map(WholeCurves(channels), kMaxSample16);
        benchmark::DoNotOptimize(map.Shown[kBlue].data());
    }
}
BENCHMARK(BM_WideTables)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
