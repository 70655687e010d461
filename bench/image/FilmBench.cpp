// A negative costs nothing per pixel: apply of an 8000 x 6000 16-bit PNM
// (288 MB) through a negative's tables against a positive's, in memory and
// from file to file; and the film measured on that 48-megapixel frame, read
// from its file, as `tamrel-cli film` does.
#include "bench/support/BlockOutput.h"
#include "curve/ChannelCurve.h"
#include "curve/ChannelStore.h"
#include "image/ApplyImage.h"
#include "image/formats/FileRows.h"
#include "measure/FilmMeasure.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using benchsupport::BlockOutput;

constexpr std::int32_t kWidth = 8000;
constexpr std::int32_t kHeight = 6000;
constexpr std::int32_t kBaseRows = 120; // unexposed film along the top
constexpr double kPixels = double(kWidth) * kHeight;
constexpr std::uint16_t kBase[3] = {47000, 30000, 17700};
// Two grey patches of the picture, for the neutral picks.
constexpr PixelRect kLight{1000, 1000, 400, 400};
constexpr PixelRect kDark{5000, 4000, 400, 400};

// A P6 of maxval 65535: the base along the top, below it densities that
// vary along both axes, as a frame's do.
std::vector<std::uint8_t> MakeNegative() {
    const std::string head =
        "P6\n" + std::to_string(kWidth) + " " + std::to_string(kHeight) + "\n65535\n";
    std::vector<std::uint8_t> bytes(head.begin(), head.end());
    bytes.resize(head.size() + std::size_t(kWidth) * kHeight * 6);
    std::uint8_t* p = bytes.data() + head.size();
    for (std::int32_t y = 0; y < kHeight; ++y) {
        for (std::int32_t x = 0; x < kWidth; ++x) {
            for (int c = 0; c < 3; ++c) {
                const std::uint32_t shade = (x * 7 + y * 3 + c * 1000) % 4096;
                std::uint32_t share = 512 + shade; // of 8192: the base's transmission
                if (x >= kLight.left && x < kLight.left + kLight.width && y >= kLight.top &&
                    y < kLight.top + kLight.height) {
                    share = 400; // a light grey of the picture: dense film
                } else if (x >= kDark.left && x < kDark.left + kDark.width && y >= kDark.top &&
                           y < kDark.top + kDark.height) {
                    share = 3000;
                }
                const auto v =
                    static_cast<std::uint16_t>(y < kBaseRows ? kBase[c] : kBase[c] * share / 8192);
                *p++ = static_cast<std::uint8_t>(v >> 8);
                *p++ = static_cast<std::uint8_t>(v);
            }
        }
    }
    return bytes;
}

const std::vector<std::uint8_t>& Negative() {
    static const std::vector<std::uint8_t> bytes = MakeNegative();
    return bytes;
}

std::filesystem::path NegativeFile() {
    static const std::filesystem::path path = [] {
        const auto file = std::filesystem::temp_directory_path() / "tamrel-bench-negative.pnm";
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(Negative().data()),
                   std::streamsize(Negative().size()));
        return file;
    }();
    return path;
}

FilmSettings AFilm() {
    FilmSettings film;
    film.mode = FilmMode::ColourNegative;
    film.stages = {FilmStage{0.7172, 1.5152, 1.2, 1.0}, FilmStage{0.4578, 1.6667, 1.2, 0.97},
                   FilmStage{0.2701, 1.8, 1.2, 0.95}};
    return film;
}

// The tables apply takes, for a positive or a negative.
struct Tables {
    GammaTableSet levels{};
    std::array<std::vector<std::uint16_t>, kChannelCount> wide;
    ApplyTables apply;

    explicit Tables(bool negative) {
        ChannelParamsSet channels{kDefaultChannelParams, kDefaultChannelParams,
                                  kDefaultChannelParams};
        ApplyFilm(negative ? AFilm() : FilmSettings{}, channels, levels);
        apply.Levels = &levels;
        for (std::size_t c = 0; c < kChannelCount; ++c) {
            wide[c].resize(65536);
            ComputeChannelCurve(channels[c], wide[c], 65535);
            apply.Wide[c] = wide[c];
        }
    }
};

void Rate(benchmark::State& state) {
    state.counters["Mpixel/s"] =
        benchmark::Counter(kPixels / 1e6 * double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ApplyPnm16InMemory(benchmark::State& state) {
    const Tables tables(state.range(0) != 0);
    const MemorySource source(Negative());
    BlockOutput output(Negative().size());
    for (auto _ : state) {
        if (ApplyImage(source, ImageFormat::Pnm, ImageFormat::Pnm, std::ref(output),
                       tables.apply)) {
            state.SkipWithError("apply failed");
        }
    }
    Rate(state);
}
BENCHMARK(BM_ApplyPnm16InMemory)
    ->ArgName("negative")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(8);

// As the tool runs it: read, map, write, flush and rename.
void BM_ApplyPnm16File(benchmark::State& state) {
    const Tables tables(state.range(0) != 0);
    const auto output = std::filesystem::temp_directory_path() / "tamrel-bench-positive.pnm";
    for (auto _ : state) {
        if (ApplyImageFile(NegativeFile(), output, ImageFormat::Pnm, tables.apply)) {
            state.SkipWithError("apply failed");
        }
    }
    std::filesystem::remove(output);
    Rate(state);
}
BENCHMARK(BM_ApplyPnm16File)
    ->ArgName("negative")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

// The file opened and read, the frame counted, the film fitted: a base and
// two neutral picks.
void BM_MeasureFilm48Megapixels(benchmark::State& state) {
    FilmRequest request;
    request.base = PixelRect{0, 0, kWidth, kBaseRows / 2};
    request.neutrals = {kLight, kDark};
    for (auto _ : state) {
        const Outcome<FilmMeasurement> measured =
            UseFileRows(NegativeFile(), ImageFormat::Pnm, [&](const RowSource& rows) {
                return Outcome<FilmMeasurement>(MeasureFilm(rows, request));
            });
        if (!measured || measured->read || measured->problem.fault != FilmFault::None) {
            state.SkipWithError("the film could not be measured");
        }
    }
    Rate(state);
}
BENCHMARK(BM_MeasureFilm48Megapixels)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
