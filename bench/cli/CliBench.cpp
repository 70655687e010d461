// The BMP output of `tamrel-cli apply` on an 8000 x 6000 image: packing
// rendered rows to stored rows in place, and the whole banded write (render,
// pack, write, flush, rename) of the 144 MB file.
#include "cli/BmpWriter.h"
#include "image/PixelMemory.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <numeric>

namespace {

constexpr std::int32_t kWidth = 8000;
constexpr std::int32_t kHeight = 6000;
constexpr std::int32_t kBandRows = 256;
constexpr double kPixels = double(kWidth) * kHeight;

std::array<GammaTable, 3> SomeTables() {
    std::array<GammaTable, 3> tables{};
    for (std::size_t c = 0; c < tables.size(); ++c) {
        for (int i = 0; i < 256; ++i) {
            tables[c][i] = static_cast<std::int16_t>((i * (c + 2)) / 3 & 0xFF);
        }
    }
    return tables;
}

void BM_PackBandInPlace(benchmark::State& state) {
    auto band = PreviewImage::Create(kWidth, kBandRows);
    const auto layout = LayoutBmp24(kWidth, kBandRows);
    for (auto _ : state) {
        state.PauseTiming();
        std::memset(band->Bits(), 0x5A, std::size_t(kWidth) * kBandRows * 4);
        state.ResumeTiming();
        PackRowsInPlace(*band, layout->stride);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t{kWidth} * kBandRows);
}
BENCHMARK(BM_PackBandInPlace)->Unit(benchmark::kMillisecond);

void BM_WriteRenderedBmp(benchmark::State& state) {
    auto pixels = AllocatePixelBlock(std::uint64_t(kWidth) * kHeight, kImageBytesPerPixel);
    std::iota(pixels->get(), pixels->get() + std::size_t(kWidth) * kHeight * 4, std::uint8_t{0});
    const ImageBuffer image{false, kWidth, kHeight, pixels->get()};
    const auto layout = LayoutBmp24(kWidth, kHeight);
    const auto tables = SomeTables();
    const auto path = std::filesystem::temp_directory_path() / "tamrel-bench-cli.bmp";
    for (auto _ : state) {
        if (WriteRenderedBmp(path, *layout, image, tables) != WriteResult::Ok) {
            state.SkipWithError("write failed");
        }
    }
    std::filesystem::remove(path);
    state.counters["Mpixel/s"] =
        benchmark::Counter(kPixels / 1e6 * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WriteRenderedBmp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
