// A 16-bit picture (grey or R, G, B samples in the machine's byte order, of
// maxval m) as the window keeps and shows it: each raw sample v is the step
// (min(v, m) * 65535 + m / 2) / m of the 65536-entry curves, whose entry is
// the level `apply` writes (0..65535); the screen shows that level rounded
// to 8 bits, round(level * 255 / 65535), as a JPEG of it holds. The curves
// become per-sample tables once; the kernels only look samples up.
#pragma once

#include "curve/WideCurves.h"
#include "image/kernels/Histogram.h"
#include "image/kernels/RowKernels.h"
#include "image/kernels/ScanLevels.h"
#include "image/rows/StoredRows.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

inline constexpr std::size_t kWideSamples = 65536;

// round(level * 255 / 65535) for a level 0..65535.
constexpr std::uint8_t NarrowLevel(std::uint32_t level) {
    return static_cast<std::uint8_t>((level * kMaxSample8 + kMaxSample16 / 2) / kMaxSample16);
}

using NarrowTable = std::vector<std::uint8_t>;
using NarrowTables = std::array<NarrowTable, kChannelCount>;

struct WideToneMap {
    // Each raw sample's level per channel (red, green, blue), machine order.
    WideTables Levels;
    // The same rounded to the screen's 8 bits.
    NarrowTables Shown;

    // Through `curves`; where they are empty, every sample is its own level
    // (the file's own) and shows as its nearest 8-bit level.
    WideToneMap(const WideCurveSet& curves, std::int32_t maxValue);
};

// kGrey16 and kRgb48 rows to 0xFFRRGGBB preview rows through Shown (a grey
// sample on all three). Null for another format.
using WidePreviewKernel = void (*)(const RowBlock& block, const WideToneMap& map);
WidePreviewKernel WidePreviewKernelFor(const RowFormat& format);

// The format a 16-bit scan's rows are kept in: its own samples in the
// machine's byte order. Only for 16-bit grey or RGB scan formats.
RowFormat NativeWordFormat(const RowFormat& format);
// Turns every 16-bit sample of `bytes` over, big-endian to little and back.
void SwapWords(std::span<std::uint8_t> bytes);

// Copies 16-bit grey or RGB rows into NativeWordFormat's rows, a big-endian
// sample's bytes swapped on the way; rows may be converted in place (In the
// same as Out). Null for another format.
using WordCopyKernel = void (*)(const RowBlock& block);
WordCopyKernel WordCopyKernelFor(const RowFormat& format);

// Each channel's count of every raw sample 0..65535 of a 16-bit picture;
// a grey sample counts on all three.
struct WideCounts {
    std::array<std::vector<std::uint64_t>, kChannelCount> Channels;
    std::int32_t MaxValue = kMaxSample16;

    WideCounts();
    void Add(const WideCounts& other);
    // `rows` rows of `width` kGrey16 or kRgb48 pixels, `stride` bytes apart.
    void AddRows(const std::uint8_t* rows, std::int64_t stride, std::int32_t width,
                 std::int32_t rowCount, std::int32_t samples);
};

// The counts on the plot's 256 columns: raw sample v of channel c counts in
// column columns[c][v].
LevelHistogram FoldCounts(const WideCounts& counts, const NarrowTables& columns);
