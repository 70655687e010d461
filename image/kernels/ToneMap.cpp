// Level = table entry & 0xFF; pixel = 0xFF << 24 | R << 16 | G << 8 | B.
#include "image/kernels/ToneMap.h"

namespace {

constexpr std::uint32_t kLevelMask = 0xFF;
constexpr std::uint32_t kOpaqueBits = 0xFF000000u;
constexpr std::array<int, kChannelCount> kShift = {16, 8, 0}; // red, green, blue

} // namespace

ToneMap::ToneMap(const GammaTableSet& tables) {
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        for (std::size_t i = 0; i < kLevels; ++i) {
            const std::uint32_t level = static_cast<std::uint32_t>(tables[c][i]) & kLevelMask;
            Level[c][i] = static_cast<std::uint8_t>(level);
            Shifted[c][i] = level << kShift[c] | (c == kRed ? kOpaqueBits : 0);
        }
    }
}

ToneMap::ToneMap(const GammaTableSet& tables, const Palette& colours) : ToneMap(tables) {
    for (std::size_t i = 0; i < kPaletteEntries; ++i) {
        Indexed[i] = Pixel(colours[i][kRed], colours[i][kGreen], colours[i][kBlue]);
    }
}
