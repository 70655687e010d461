// The BMP output of `tamrel-cli apply` on an 8000 x 6000 image: packing
// rendered rows to stored rows in place, the whole banded write (render,
// pack, write, flush, rename) of the 144 MB file, the level mapping of stored
// rows (portable and wide), and the streamed BMP-to-BMP apply.
#include "cli/BgrRows.h"
#include "cli/BmpWriter.h"
#include "cli/StreamedBmp.h"
#include "image/PixelMemory.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <vector>

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

// One chunk's worth of stored rows (about 1 MiB), mapped from one buffer to
// another as the streamed apply does.
void BM_MapBgrRows(benchmark::State& state) {
    const bool wide = state.range(0) != 0;
    if (wide && !HasWideBgrMapping()) {
        state.SkipWithError("no 64-byte byte permutes on this processor");
        return;
    }
    constexpr std::int64_t kStride = std::int64_t{kWidth} * 3;
    constexpr std::int32_t kRows = 43;
    std::vector<std::uint8_t> in(std::size_t(kStride) * kRows), out(in.size());
    std::iota(in.begin(), in.end(), std::uint8_t{0});
    BgrLevels levels{};
    for (std::size_t c = 0; c < levels.size(); ++c) {
        std::iota(levels[c].begin(), levels[c].end(), static_cast<std::uint8_t>(c));
    }
    const RowBlock block{in.data(), kStride, out.data(), kStride, kRows};
    for (auto _ : state) {
        wide ? MapBgrRowsWide(block, kStride, levels) : MapBgrRowsPortable(block, kStride, levels);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kStride * kRows);
}
BENCHMARK(BM_MapBgrRows)->ArgName("wide")->Arg(0)->Arg(1);

// A 24-bit bottom-up file of the benchmark's size, every byte value in
// every channel.
std::filesystem::path Write24BitInput(const std::filesystem::path& path) {
    const auto layout = LayoutBmp24(kWidth, kHeight);
    const BmpHeaderBytes header = FormatBmp24Header(*layout);
    std::vector<char> row(layout->stride);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(header.data()), std::streamsize(header.size()));
    for (std::int32_t y = 0; y < kHeight; ++y) {
        std::iota(row.begin(), row.begin() + kWidth * 3, static_cast<char>(y));
        out.write(row.data(), std::streamsize(row.size()));
    }
    return path;
}

// The whole streamed apply as `tamrel-cli apply` runs it: read, map, write,
// flush and rename over the previous iteration's output.
void BM_WriteStreamedBmp(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path();
    const auto input = Write24BitInput(folder / "tamrel-bench-stream-in.bmp");
    const auto output = folder / "tamrel-bench-stream-out.bmp";
    const auto tables = SomeTables();
    for (auto _ : state) {
        if (WriteStreamedBmp(input, output, tables) != StreamedBmpResult::Ok) {
            state.SkipWithError("streamed write failed");
        }
    }
    std::filesystem::remove(input);
    std::filesystem::remove(output);
    state.counters["Mpixel/s"] =
        benchmark::Counter(kPixels / 1e6 * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WriteStreamedBmp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
