// The BMP output of `tamrel-cli apply` on an 8000 x 6000 image: the level
// mapping of stored rows (portable and wide), the streamed BMP-to-BMP apply
// from memory into memory, and the whole apply from file to file (read, map,
// write, flush, rename) of the 144 MB file.
#include "cli/BgrRows.h"
#include "cli/Bmp24Header.h"
#include "cli/StreamedBmp.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <vector>

namespace {

constexpr std::int32_t kWidth = 8000;
constexpr std::int32_t kHeight = 6000;
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

// One block reused from one iteration to the next, so only the conversion
// and the copies are timed.
class BlockOutput final : public StreamOutput, private ChunkSink {
public:
    WriteResult Write(std::int64_t size, const ChunkContents& contents) override {
        bytes_.resize(std::size_t(size));
        return contents(*this) ? WriteResult::Ok : WriteResult::WriteFailed;
    }

private:
    bool WriteAt(std::int64_t position, std::span<const std::uint8_t> bytes) override {
        std::memcpy(bytes_.data() + position, bytes.data(), bytes.size());
        return true;
    }

    std::vector<std::uint8_t> bytes_;
};

// The streamed apply without the file system: what the conversion itself costs.
void BM_StreamBmpInMemory(benchmark::State& state) {
    const std::vector<std::uint8_t> input = Make24BitInput();
    const MemorySource source(input);
    const auto tables = SomeTables();
    BlockOutput output;
    for (auto _ : state) {
        if (StreamBmp(source, output, tables) != StreamedBmpResult::Ok) {
            state.SkipWithError("streamed conversion failed");
        }
    }
    state.counters["Mpixel/s"] =
        benchmark::Counter(kPixels / 1e6 * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StreamBmpInMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

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
