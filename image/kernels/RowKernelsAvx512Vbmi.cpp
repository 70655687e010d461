// 24-bit rows (B, G, R or R, G, B) through the tables 64 stored bytes at a
// time, each looked up in its channel's 256-entry table with two-register
// byte permutes (AVX-512 VBMI), used only where the processor reports them.
// The samples keep their order.
#include "image/kernels/RowKernels.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

#include <array>

#define TAMREL_WIDE __attribute__((target("avx512f,avx512bw,avx512vbmi"), always_inline)) inline

namespace {

constexpr std::int64_t kVectorBytes = 64;
// A 256-entry table fills four registers; one permute reaches two of them
// (128 entries, the index's low 7 bits) and the index's top bit picks the pair.
constexpr std::size_t kRegistersPerTable = 4;
constexpr int kPhases = 3; // channels repeat every 3 bytes
constexpr std::size_t kStoredChannels = 3;
using StoredChannels = std::array<int, kStoredChannels>;
// The tables in stored order.
constexpr StoredChannels kBgrChannels = {kBlue, kGreen, kRed};
constexpr StoredChannels kRgbChannels = {kRed, kGreen, kBlue};

// Lanes of a vector that hold channel `channel` when its first byte is
// channel `phase`.
constexpr std::uint64_t LanesOf(int phase, std::size_t channel) {
    std::uint64_t lanes = 0;
    for (int lane = 0; lane < kVectorBytes; ++lane) {
        if (static_cast<std::size_t>((phase + lane) % kPhases) == channel) {
            lanes |= std::uint64_t{1} << lane;
        }
    }
    return lanes;
}

constexpr std::uint64_t kLanes[kPhases][kStoredChannels] = {
    {LanesOf(0, 0), LanesOf(0, 1), LanesOf(0, 2)},
    {LanesOf(1, 0), LanesOf(1, 1), LanesOf(1, 2)},
    {LanesOf(2, 0), LanesOf(2, 1), LanesOf(2, 2)},
};

struct WideTables {
    __m512i part[kStoredChannels][kRegistersPerTable];
};

TAMREL_WIDE void LoadTables(const ToneMap& map, const StoredChannels& stored, WideTables& tables) {
    for (std::size_t c = 0; c < kStoredChannels; ++c) {
        const Levels& levels = map.Level[static_cast<std::size_t>(stored[c])];
        for (std::size_t r = 0; r < kRegistersPerTable; ++r) {
            tables.part[c][r] = _mm512_loadu_si512(levels.data() + r * kVectorBytes);
        }
    }
}

// Every lane looked up in channel 0's table, then the lanes of channels 1
// and 2 replaced by their own tables' entries.
TAMREL_WIDE __m512i MapVector(__m512i bytes, const WideTables& t, int phase) {
    const auto* p = t.part;
    __m512i low = _mm512_permutex2var_epi8(p[0][0], bytes, p[0][1]);
    __m512i high = _mm512_permutex2var_epi8(p[0][2], bytes, p[0][3]);
    for (std::size_t c = 1; c < kStoredChannels; ++c) {
        const __mmask64 lanes = kLanes[phase][c];
        low = _mm512_mask_mov_epi8(low, lanes, _mm512_permutex2var_epi8(p[c][0], bytes, p[c][1]));
        high = _mm512_mask_mov_epi8(high, lanes, _mm512_permutex2var_epi8(p[c][2], bytes, p[c][3]));
    }
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(bytes), low, high);
}

// A row starts with channel 0; the tail shorter than a vector is loaded and
// stored under a mask, so no byte outside the row is touched.
TAMREL_WIDE void MapRow(const std::uint8_t* in, std::uint8_t* out, std::int64_t rowBytes,
                        const WideTables& tables) {
    std::int64_t i = 0;
    int phase = 0;
    for (; i + kVectorBytes <= rowBytes; i += kVectorBytes) {
        const __m512i bytes = _mm512_loadu_si512(in + i);
        _mm512_storeu_si512(out + i, MapVector(bytes, tables, phase));
        phase = (phase + kVectorBytes) % kPhases;
    }
    if (i < rowBytes) {
        const __mmask64 tail = (std::uint64_t{1} << (rowBytes - i)) - 1;
        const __m512i bytes = _mm512_maskz_loadu_epi8(tail, in + i);
        _mm512_mask_storeu_epi8(out + i, tail, MapVector(bytes, tables, phase));
    }
}

TAMREL_WIDE void MapRows(const RowBlock& block, const ToneMap& map, const StoredChannels& stored) {
    WideTables tables;
    LoadTables(map, stored, tables);
    const std::int64_t rowBytes = std::int64_t{block.Width} * kStoredChannels;
    for (std::int32_t k = 0; k < block.Rows; ++k) {
        MapRow(block.In + k * block.InStride, block.Out + k * block.OutStride, rowBytes, tables);
    }
}

} // namespace

bool HasAvx512Vbmi() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512vbmi");
}

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void
MapBgrRowsAvx512Vbmi(const RowBlock& block, const ToneMap& map) {
    MapRows(block, map, kBgrChannels);
}

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void
MapRgbRowsAvx512Vbmi(const RowBlock& block, const ToneMap& map) {
    MapRows(block, map, kRgbChannels);
}

#else

bool HasAvx512Vbmi() {
    return false;
}

void MapBgrRowsAvx512Vbmi(const RowBlock& block, const ToneMap& map) {
    BgrKernel(kBgr24, false)(block, map);
}

void MapRgbRowsAvx512Vbmi(const RowBlock& block, const ToneMap& map) {
    RgbKernel(kRgb24, false)(block, map);
}

#endif
