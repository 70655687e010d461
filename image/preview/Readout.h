// The texts of the three pixel-readout labels above the image area.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

inline constexpr std::array<const char*, 3> kReadoutPrefixes = {"R: ", "G: ", "B: "};

// Each prefix followed by its channel of `colour` (0xFFRRGGBB) in plain decimal
// (0..255), or the bare prefixes when there is no reading.
std::array<std::string, 3> ReadoutTexts(std::optional<std::uint32_t> colour);
