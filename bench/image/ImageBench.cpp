// Opening an 8000 x 6000 24-bit BMP (144 MB) and re-rendering its preview,
// with the peak memory of an open, beside the cost of first-touching memory.
#include "bench/support/BenchSupport.h"
#include "image/CountLevels.h"
#include "image/formats/BmpReader.h"
#include "image/preview/RenderPreview.h"

#include <benchmark/benchmark.h>
#include <sys/mman.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using benchsupport::ResetPeak;
using benchsupport::SomeTables;
using benchsupport::StatusBytes;
using Tables = GammaTableSet;

constexpr std::int32_t kWidth = 8000;
constexpr std::int32_t kHeight = 6000;
constexpr double kPixels = double(kWidth) * kHeight;
constexpr std::size_t kBigBlock = std::size_t{kWidth} * kHeight * 4;
constexpr std::size_t kPage = 4096;
constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;

void Put32(std::vector<char>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<char>(v >> (8 * i));
    }
}

// Writes the file row by row and removes it at exit.
struct TempBmp {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("tamrel_bench_" + std::to_string(::getpid()) + ".bmp");
    TempBmp() {
        const std::size_t stride = std::size_t{kWidth} * 3; // 24000: already a multiple of 4
        std::vector<char> head(54, 0);
        head[0] = 'B';
        head[1] = 'M';
        Put32(head, 2, static_cast<std::uint32_t>(54 + stride * kHeight));
        Put32(head, 10, 54);
        Put32(head, 14, 40);
        Put32(head, 18, kWidth);
        Put32(head, 22, kHeight);
        head[26] = 1;
        head[28] = 24;
        std::ofstream out(path, std::ios::binary);
        out.write(head.data(), 54);
        std::vector<char> row(stride);
        for (std::int32_t y = 0; y < kHeight; ++y) {
            for (std::size_t i = 0; i < stride; ++i) {
                row[i] = static_cast<char>(i * 7 + y * 3);
            }
            out.write(row.data(), static_cast<std::streamsize>(stride));
        }
    }
    ~TempBmp() { std::filesystem::remove(path); }
};

const std::filesystem::path& BigBmp() {
    static const TempBmp file;
    return file.path;
}

struct Opened {
    ImageBuffer image{};
    std::optional<PreviewImage> preview;
    ~Opened() { std::free(image.Pixels); }
};

// With `counting`, the levels are counted from the kept image once the
// picture is there, as the window does when its histogram is on.
void Open(Opened& o, const Tables& tables, bool counting = false) {
    if (LoadBmpFile(&o.image, BigBmp()) != 0) {
        std::abort();
    }
    o.preview = BuildPreview(o.image, tables);
    if (!o.preview) {
        std::abort();
    }
    if (counting) {
        LevelHistogram levels = CountKeptLevels(o.image);
        benchmark::DoNotOptimize(levels);
    }
}

// What the Open button costs: read, convert, allocate the preview, render.
// The peak counter is the resident-size growth of one open over the idle
// process, per pixel.
// With argument 1 the levels are counted after the picture, as the window
// does when its histogram is on: the picture itself comes as without.
void BM_Open(benchmark::State& state) {
    const Tables tables = SomeTables();
    const bool counting = state.range(0) != 0;
    BigBmp();
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ResetPeak();
        const double idle = StatusBytes("VmRSS");
        state.ResumeTiming();
        {
            Opened o;
            Open(o, tables, counting);
            benchmark::DoNotOptimize(o.preview->Bits());
            state.PauseTiming();
        }
        peak = std::max(peak, StatusBytes("VmHWM") - idle);
        state.ResumeTiming();
    }
    state.counters["peak_bytes_per_pixel"] = peak / kPixels;
    state.counters["Mpixel/s"] =
        benchmark::Counter(kPixels * state.iterations() / 1e6, benchmark::Counter::kIsRate);
}
// The first open of a process meets memory the process never touched; later
// ones reuse what the previous open gave back. Both are reported.
BENCHMARK(BM_Open)
    ->Name("BM_Open/first_in_process")
    ->Arg(0)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Open)
    ->Name("BM_Open/steady")
    ->Arg(0)
    ->MinTime(2.0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Open)
    ->Name("BM_Open/steady_then_levels")
    ->Arg(1)
    ->MinTime(2.0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The reader alone.
void BM_LoadBmpFile(benchmark::State& state) {
    BigBmp();
    for (auto _ : state) {
        ImageBuffer image{};
        if (LoadBmpFile(&image, BigBmp()) != 0) {
            std::abort();
        }
        benchmark::DoNotOptimize(image.Pixels);
        state.PauseTiming();
        std::free(image.Pixels);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadBmpFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// Apply: the same image into the existing preview with other tables.
void BM_Apply(benchmark::State& state) {
    const Tables tables = SomeTables();
    Opened o;
    Open(o, tables);
    for (auto _ : state) {
        RenderPreview(o.image, tables, *o.preview);
        benchmark::DoNotOptimize(o.preview->Bits());
        benchmark::ClobberMemory();
    }
    state.counters["Mpixel/s"] =
        benchmark::Counter(kPixels * state.iterations() / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Apply)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor under every open: touching an image-sized block of fresh memory,
// one byte per 4 KiB page, on one thread; with ordinary pages (0) or with the
// block advised to use 2 MiB pages (1). The first block of a process is
// reported apart: later ones reuse what the previous one gave back. In this
// virtual machine every page fault costs about 10 us, so ordinary pages cost
// about 0.5 s per 192 MB and 2 MiB pages about 20 ms; that is why the image
// and preview blocks are advised to use them.
void BM_FirstTouch(benchmark::State& state) {
    const bool hugePages = state.range(0) != 0;
    double first = -1;
    for (auto _ : state) {
        auto* block = static_cast<char*>(std::malloc(kBigBlock));
        const auto start = std::chrono::steady_clock::now();
        if (hugePages) {
            const auto lo = (reinterpret_cast<std::uintptr_t>(block) + kHugePage - 1) / kHugePage;
            const auto hi = (reinterpret_cast<std::uintptr_t>(block) + kBigBlock) / kHugePage;
            ::madvise(reinterpret_cast<void*>(lo * kHugePage), (hi - lo) * kHugePage,
                      MADV_HUGEPAGE);
        }
        for (std::size_t i = 0; i < kBigBlock; i += kPage) {
            block[i] = 1;
        }
        benchmark::DoNotOptimize(block);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        if (first < 0) {
            first = took.count();
        }
        std::free(block);
    }
    constexpr double kPages = double(kBigBlock / kPage);
    state.counters["first_us_per_page"] = first * 1e6 / kPages;
    state.counters["us_per_page"] = benchmark::Counter(
        kPages * state.iterations(), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FirstTouch)
    ->ArgName("huge_pages")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
