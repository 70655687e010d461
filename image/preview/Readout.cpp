// Readout label texts: "R: 12", or "R: " alone when nothing is under the pointer.
#include "image/preview/Readout.h"

namespace {

constexpr std::array<int, 3> kChannelShifts = {16, 8, 0}; // red, green, blue in 0xFFRRGGBB
constexpr std::uint32_t kChannelMask = 0xFF;

} // namespace

std::array<std::string, 3> ReadoutTexts(std::optional<std::uint32_t> colour) {
    std::array<std::string, 3> texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        texts[i] = kReadoutPrefixes[i];
        if (colour) {
            texts[i] += std::to_string(*colour >> kChannelShifts[i] & kChannelMask);
        }
    }
    return texts;
}
