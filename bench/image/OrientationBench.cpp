// What a photo's EXIF orientation costs on reading an 8000 x 6000 8-bit
// RGB JPEG (48 megapixels, quality 92): the window's open (levels and
// preview) and apply to a PNM, upright (1), mirrored (2: streamed row by
// row) and turned a quarter (6: read whole, then turned), with the peak
// memory over the idle process per pixel.
#include "bench/support/BenchSupport.h"
#include "image/ApplyImage.h"
#include "image/ReadImage.h"
#include "image/formats/FormatTable.h"
#include "image/formats/JpegWriter.h"
#include "image/preview/RenderPreview.h"
#include "io/AtomicWrite.h"
#include "io/MemoryWrite.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
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
constexpr int kQuality = 92;

// A smooth picture with grain, as a photo has.
Reason MakeRows(const RowShape& shape, const RowRunSink& sink) {
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(shape.RowBytes() * kRunRows));
    for (std::int32_t y = 0; y < shape.Height; y += kRunRows) {
        const std::int32_t count = std::min(kRunRows, shape.Height - y);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::size_t x = i % std::size_t(shape.RowBytes()) / 3;
            rows[i] = static_cast<std::uint8_t>((x / 40 + std::size_t(y) / 30 + i % 3 * 50) +
                                                (i * 2654435761U >> 29));
        }
        if (!sink(y, count, rows.data())) {
            return Reason(ReasonCode::WriteFailed);
        }
    }
    return {};
}

// An APP1 marker of EXIF whose one entry is the orientation, big-endian.
std::vector<std::uint8_t> ExifMarker(std::uint8_t orientation) {
    const std::vector<std::uint8_t> exif = {
        'E',  'x',  'i', 'f', 0, 0, 'M', 'M', 0, 42,          0, 0, 0, 8, 0, 1, // one entry
        0x01, 0x12, 0,   3,   0, 0, 0,   1,   0, orientation, 0, 0, // Orientation, SHORT
        0,    0,    0,   0};                                        // no next directory
    const std::size_t length = exif.size() + 2;
    std::vector<std::uint8_t> marker = {0xFF, 0xE1, std::uint8_t(length >> 8),
                                        std::uint8_t(length)};
    marker.insert(marker.end(), exif.begin(), exif.end());
    return marker;
}

// The photo, encoded once, then written with each orientation; removed at exit.
struct Photos {
    std::map<int, std::filesystem::path> paths;
    Photos() {
        const RowShape shape = WriterShape(ImageFormat::Jpeg, kWidth, kHeight, 3, 8);
        MemoryFile encoded;
        WriteOptions options;
        options.Quality = kQuality;
        const Reason failed = WriteJpeg(
            shape, [&](const RowRunSink& sink, const RunRequest&) { return MakeRows(shape, sink); },
            [&](const PositionedContents& c) { return encoded.Replace(c); }, options);
        if (failed) {
            std::abort();
        }
        const std::vector<std::uint8_t>& jpeg = encoded.Bytes();
        for (const int orientation : {1, 2, 6}) {
            std::vector<std::uint8_t> file(jpeg.begin(), jpeg.begin() + 2); // SOI
            const std::vector<std::uint8_t> marker = ExifMarker(std::uint8_t(orientation));
            file.insert(file.end(), marker.begin(), marker.end());
            file.insert(file.end(), jpeg.begin() + 2, jpeg.end());
            const auto path = std::filesystem::temp_directory_path() /
                              ("tamrel_orientation_bench_" + std::to_string(::getpid()) + "_" +
                               std::to_string(orientation) + ".jpg");
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
            paths[orientation] = path;
        }
    }
    ~Photos() {
        for (const auto& [orientation, path] : paths) {
            std::filesystem::remove(path);
        }
    }
};

const std::filesystem::path& Photo(int orientation) {
    static const Photos photos;
    return photos.paths.at(orientation);
}

template <typename Work> void Measure(benchmark::State& state, const Work& work) {
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ResetPeak();
        const double idle = StatusBytes("VmRSS");
        state.ResumeTiming();
        work();
        state.PauseTiming();
        peak = std::max(peak, StatusBytes("VmHWM") - idle);
        state.ResumeTiming();
    }
    state.counters["peak_bytes_per_pixel"] = peak / kPixels;
}

// Open as the window does: the levels and the preview through the tables.
void BM_OpenPhoto(benchmark::State& state) {
    const int orientation = static_cast<int>(state.range(0));
    const GammaTableSet tables = SomeTables();
    Photo(orientation);
    Measure(state, [&] {
        Outcome<DecodedImage> image = ReadImageFile(Photo(orientation));
        if (!image) {
            std::abort();
        }
        std::optional<PreviewImage> preview = BuildPreview(image->View(), tables);
        benchmark::DoNotOptimize(preview->Bits());
    });
}

// apply to a PNM, the fastest writer, so that the reading shows.
void BM_ApplyPhoto(benchmark::State& state) {
    const int orientation = static_cast<int>(state.range(0));
    const GammaTableSet levels = SomeTables();
    const std::vector<std::uint16_t> wide(65536);
    const ApplyTables tables{&levels, {wide, wide, wide}, {}};
    Photo(orientation);
    const auto out = std::filesystem::temp_directory_path() /
                     ("tamrel_orientation_bench_" + std::to_string(::getpid()) + ".pnm");
    Measure(state, [&] {
        if (ApplyImageFile(Photo(orientation), out, ImageFormat::Pnm, tables)) {
            std::abort();
        }
    });
    std::filesystem::remove(out);
}

BENCHMARK(BM_OpenPhoto)
    ->ArgName("orientation")
    ->Arg(1)
    ->Arg(2)
    ->Arg(6)
    ->MinTime(2.0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ApplyPhoto)
    ->ArgName("orientation")
    ->Arg(1)
    ->Arg(2)
    ->Arg(6)
    ->MinTime(2.0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
