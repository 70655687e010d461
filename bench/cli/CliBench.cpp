// The BMP output of `tamrel-cli apply` on an 8000 x 6000 image: the kernel
// of 24-bit rows (portable and AVX-512 VBMI), the BMP apply from memory into
// memory, and the whole apply from file to file (read, map, write, flush,
// rename) of the 144 MB file.
#include "bench/support/BenchSupport.h"
#include "bench/support/BlockOutput.h"
#include "image/formats/BmpWriter.h"
#include "image/kernels/RowKernels.h"
#include "tests/image/ApplyBmp.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numeric>
#include <vector>

namespace {

using benchsupport::BlockOutput;

using applytest::ApplyToBmp;
using applytest::ApplyToBmpFile;

using benchsupport::SomeTables;

constexpr std::int32_t kWidth = 8000;
constexpr std::int32_t kHeight = 6000;
constexpr double kPixels = double(kWidth) * kHeight;

// One run's worth of stored rows (about 1 MiB), mapped from one buffer to
// another as the apply does.
void BM_MapBgrRows(benchmark::State& state) {
    const bool wide = state.range(0) != 0;
    if (wide && !HasAvx512Vbmi()) {
        state.SkipWithError("no AVX-512 VBMI on this processor");
        return;
    }
    constexpr std::int64_t kStride = std::int64_t{kWidth} * 3;
    constexpr std::int32_t kRows = 43;
    std::vector<std::uint8_t> in(std::size_t(kStride) * kRows), out(in.size());
    std::iota(in.begin(), in.end(), std::uint8_t{0});
    const ToneMap map(SomeTables());
    const RowKernel kernel = BgrKernel(kBgr24, wide);
    const RowBlock block{in.data(), kStride, out.data(), kStride, kRows, kWidth};
    for (auto _ : state) {
        kernel(block, map);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kStride * kRows);
}
BENCHMARK(BM_MapBgrRows)->ArgName("wide")->Arg(0)->Arg(1);

// A 24-bit bottom-up file of the benchmark's size, every byte value in
// every channel.
std::vector<std::uint8_t> Make24BitInput() {
    const auto layout = LayoutBmp24(kWidth, kHeight);
    const BmpHeaderBytes header = FormatBmp24Header(*layout);
    std::vector<std::uint8_t> bytes(layout->fileSize);
    std::copy(header.begin(), header.end(), bytes.begin());
    for (std::int32_t y = 0; y < kHeight; ++y) {
        auto* row = bytes.data() + header.size() + std::size_t(y) * layout->stride;
        std::iota(row, row + kWidth * 3, static_cast<std::uint8_t>(y));
    }
    return bytes;
}

std::filesystem::path Write24BitInput(const std::filesystem::path& path) {
    const std::vector<std::uint8_t> bytes = Make24BitInput();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

// The apply without the file system: what the conversion itself costs.
void BM_ApplyBmpInMemory(benchmark::State& state) {
    const std::vector<std::uint8_t> input = Make24BitInput();
    const MemorySource source(input);
    const auto tables = SomeTables();
    BlockOutput output(input.size());
    for (auto _ : state) {
        if (ApplyToBmp(source, std::ref(output), tables)) {
            state.SkipWithError("apply failed");
        }
    }
    state.counters["Mpixel/s"] =
        benchmark::Counter(kPixels / 1e6 * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ApplyBmpInMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The whole apply as `tamrel-cli apply` runs it: read, map, write, flush
// and rename over the previous iteration's output.
void BM_ApplyBmpFile(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path();
    const auto input = Write24BitInput(folder / "tamrel-bench-stream-in.bmp");
    const auto output = folder / "tamrel-bench-stream-out.bmp";
    const auto tables = SomeTables();
    for (auto _ : state) {
        if (ApplyToBmpFile(input, output, tables)) {
            state.SkipWithError("apply failed");
        }
    }
    std::filesystem::remove(input);
    std::filesystem::remove(output);
    state.counters["Mpixel/s"] =
        benchmark::Counter(kPixels / 1e6 * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ApplyBmpFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
