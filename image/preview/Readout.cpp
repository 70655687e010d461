// Readout label texts: "R: 12" (or "R: 40000"), or "R: " alone when nothing
// is under the pointer.
#include "image/preview/Readout.h"

namespace {

constexpr std::array<int, 3> kChannelShifts = {16, 8, 0}; // red, green, blue in 0xFFRRGGBB
constexpr std::uint32_t kChannelMask = 0xFF;

} // namespace

PixelLevels LevelsOfColour(std::uint32_t colour) {
    PixelLevels levels{};
    for (std::size_t i = 0; i < levels.size(); ++i) {
        levels[i] = colour >> kChannelShifts[i] & kChannelMask;
    }
    return levels;
}

std::array<std::string, 3> LevelTexts(const std::optional<PixelLevels>& levels) {
    std::array<std::string, 3> texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        texts[i] = kReadoutPrefixes[i];
        if (levels) {
            texts[i] += std::to_string((*levels)[i]);
        }
    }
    return texts;
}

std::array<std::string, 3> ReadoutTexts(std::optional<std::uint32_t> colour) {
    return LevelTexts(colour ? std::optional(LevelsOfColour(*colour)) : std::nullopt);
}
