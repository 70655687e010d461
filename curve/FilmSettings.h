// A film as the window, the tool and the parameter file keep it: which kind
// it is, each channel's stage, and the neutral picks its balance came from,
// at the decimals a parameter file keeps of them.
#pragma once

#include "curve/ChannelParams.h"
#include "curve/FilmStage.h"

#include <array>
#include <cstddef>
#include <optional>

enum class FilmMode { Positive, ColourNegative, BlackAndWhite };

inline constexpr std::size_t kMaxNeutralPicks = 2;
// One value per channel: red, green, blue.
using ChannelValues = std::array<double, kChannelCount>;

// The inverse of a typical negative film's contrast (gamma about 0.6): the
// green exponent every balance starts from.
inline constexpr double kNegativeExponent = 1.0 / 0.6;
// The density range a stage spans before a frame has been measured.
inline constexpr double kUnmeasuredDensity = 2.0;

struct FilmSettings {
    FilmMode mode = FilmMode::Positive;
    std::array<FilmStage, kChannelCount> stages{};
    // The neutral picks' median transmissions, in the order they were made.
    std::size_t neutralCount = 0;
    std::array<ChannelValues, kMaxNeutralPicks> neutrals{};

    bool IsNegative() const { return mode != FilmMode::Positive; }
    // The stage in front of `channel`'s curve: none for a positive.
    std::optional<FilmStage> StageOf(std::size_t channel) const {
        return IsNegative() ? std::optional(stages[channel]) : std::nullopt;
    }
    friend bool operator==(const FilmSettings&, const FilmSettings&) = default;
};

// A negative of `mode` before anything is measured: clear base, the typical
// exponent, the typical range, no balance.
FilmSettings UnmeasuredFilm(FilmMode mode);

// The decimals a parameter file keeps of each value: transmissions (base
// and picks) and the factors (exponent, density, scale). Measured films are
// rounded to them, so that a saved film loads back to the same tables.
inline constexpr int kTransmissionDecimals = 6;
inline constexpr int kFactorDecimals = 4;
FilmSettings RoundedForFile(FilmSettings film);
