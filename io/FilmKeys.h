// The film's keys of a parameter file, written after the twelve positions
// in this order: the kind of film, each channel's base, exponent, density
// and scale, then the number of neutral picks and each pick's transmissions.
#pragma once

#include "curve/FilmSettings.h"

#include <array>
#include <cstddef>

enum class FilmField { Mode, Base, Exponent, Density, Scale, NeutralCount, Neutral };

struct FilmKey {
    const char* name;
    FilmField field;
    Channel channel;  // stage values and picks
    std::size_t pick; // picks: 0 for the first
};

inline constexpr std::size_t kFilmKeyCount = 20;

inline constexpr std::array<FilmKey, kFilmKeyCount> kFilmKeys = {{
    {"Film", FilmField::Mode, kRed, 0},
    {"FilmBaseR", FilmField::Base, kRed, 0},
    {"FilmBaseG", FilmField::Base, kGreen, 0},
    {"FilmBaseB", FilmField::Base, kBlue, 0},
    {"FilmExponentR", FilmField::Exponent, kRed, 0},
    {"FilmExponentG", FilmField::Exponent, kGreen, 0},
    {"FilmExponentB", FilmField::Exponent, kBlue, 0},
    {"FilmDensityR", FilmField::Density, kRed, 0},
    {"FilmDensityG", FilmField::Density, kGreen, 0},
    {"FilmDensityB", FilmField::Density, kBlue, 0},
    {"FilmScaleR", FilmField::Scale, kRed, 0},
    {"FilmScaleG", FilmField::Scale, kGreen, 0},
    {"FilmScaleB", FilmField::Scale, kBlue, 0},
    {"FilmNeutrals", FilmField::NeutralCount, kRed, 0},
    {"FilmNeutral1R", FilmField::Neutral, kRed, 0},
    {"FilmNeutral1G", FilmField::Neutral, kGreen, 0},
    {"FilmNeutral1B", FilmField::Neutral, kBlue, 0},
    {"FilmNeutral2R", FilmField::Neutral, kRed, 1},
    {"FilmNeutral2G", FilmField::Neutral, kGreen, 1},
    {"FilmNeutral2B", FilmField::Neutral, kBlue, 1},
}};

// The words of the kind of film; a positive writes no film lines at all.
struct FilmModeWord {
    const char* word;
    FilmMode mode;
};
inline constexpr std::array<FilmModeWord, 3> kFilmModeWords = {{
    {"Positive", FilmMode::Positive},
    {"ColourNegative", FilmMode::ColourNegative},
    {"BlackAndWhiteNegative", FilmMode::BlackAndWhite},
}};
