// The texts of the three pixel-readout labels above the image area.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

inline constexpr std::array<const char*, 3> kReadoutPrefixes = {"R: ", "G: ", "B: "};

// Red, green and blue levels of one pixel: 0..255 for an 8-bit picture,
// 0..65535 (or its maxval) for a 16-bit one.
using PixelLevels = std::array<std::uint32_t, 3>;

// The channels of `colour` (0xFFRRGGBB), 0..255 each.
PixelLevels LevelsOfColour(std::uint32_t colour);

// Each prefix followed by its level in plain decimal, or the bare prefixes
// when there is no reading.
std::array<std::string, 3> LevelTexts(const std::optional<PixelLevels>& levels);

// The same for the channels of `colour` (0xFFRRGGBB).
std::array<std::string, 3> ReadoutTexts(std::optional<std::uint32_t> colour);
