// ICC profiles through LittleCMS: checked before anything is written, and
// rewritten for an image whose channels went through tables, so that a
// colour-managed viewer shows the output as the same light as the input.
#pragma once

#include "image/Outcome.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// Each channel's table (red, green, blue) as output over input, both 0..1:
// entry i of N is the output for the input i / (N - 1). At least 2 entries.
using ChannelTables = std::array<std::vector<double>, 3>;

// The levels a sample of 8 or 16 bits takes.
inline constexpr std::size_t kLevels8 = 256;
inline constexpr std::size_t kLevels16 = 65536;

// None when LittleCMS opens the profile and it describes RGB or grey
// images; DamagedData ("ICC profile: " and LittleCMS's words) or
// Unsupported (another colour space) otherwise.
Reason CheckProfile(std::span<const std::uint8_t> profile);

// The profile of an RGB image whose samples are the input's unchanged: an
// RGB profile byte for byte; a grey one becomes an RGB profile with its
// tone curve on all three channels and the grey one's description. Empty
// in, empty out.
Outcome<std::vector<std::uint8_t>> ProfileForRgb(std::span<const std::uint8_t> input);

// The profile of the image after the tables, made from the input's: the same
// colorants and white point, each channel's tone curve composed with the
// inverse of that channel's table (matrix/TRC profiles), or the inverse
// tables put in front of each device-to-PCS pipeline and the tables after
// each PCS-to-device one (LUT-based profiles). Where a table is flat, the
// inverse takes the end of the flat part next to the rest of the curve. A
// grey profile becomes RGB as for ProfileForRgb. Its description is the
// input's with " with Tamrel tables" after it. Empty in, empty out. Its
// curves hold 4096 entries, or one per level where the output's samples
// take fewer (`levels`: 256 for 8 bits).
Outcome<std::vector<std::uint8_t>> ProfileAfterTables(std::span<const std::uint8_t> input,
                                                      const ChannelTables& tables,
                                                      std::size_t levels = kLevels16);

// The profile of a grey image after the tables (the three equal, so its
// samples stay grey): a grey profile with its tone curve composed with the
// inverse of the green table, described as ProfileAfterTables describes
// its profiles. Empty in, or a profile of another colour space (which
// cannot describe grey samples), empty out.
Outcome<std::vector<std::uint8_t>> GreyProfileAfterTables(std::span<const std::uint8_t> input,
                                                          const ChannelTables& tables,
                                                          std::size_t levels = kLevels16);

// The profile fitted to rows of `channels` samples a pixel: for colour rows
// a grey profile made RGB (ProfileForRgb) and any other as it is; for grey
// rows a grey profile as it is, and none for another, which cannot describe
// grey samples. Empty in, empty out.
Outcome<std::vector<std::uint8_t>> ProfileForChannels(std::span<const std::uint8_t> profile,
                                                      std::int32_t channels);

// True when the profile describes images of `channels` samples a pixel:
// an RGB profile for 3, a grey one for 1 (the header's colour space field).
bool ProfileFits(std::span<const std::uint8_t> profile, std::int32_t channels);

// The inverse of a non-decreasing table (a decreasing step counts as flat),
// sampled at `points` outputs 0..1, with the flat parts' rule above.
std::vector<double> InverseTable(const std::vector<double>& table, std::size_t points);
