// A film before it is measured, and a film rounded to the decimals of the
// file: round(v * 10^d) / 10^d.
#include "curve/FilmSettings.h"

#include <cmath>

namespace {

constexpr double kDecimalBase = 10.0;

double Rounded(double value, int decimals) {
    const double unit = std::pow(kDecimalBase, decimals);
    return std::round(value * unit) / unit;
}

} // namespace

FilmSettings UnmeasuredFilm(FilmMode mode) {
    FilmSettings film;
    film.mode = mode;
    for (FilmStage& stage : film.stages) {
        stage = {kMaxTransmission, kNegativeExponent, kUnmeasuredDensity, 1.0};
    }
    return RoundedForFile(film);
}

FilmSettings RoundedForFile(FilmSettings film) {
    for (FilmStage& stage : film.stages) {
        stage.base = Rounded(stage.base, kTransmissionDecimals);
        stage.exponent = Rounded(stage.exponent, kFactorDecimals);
        stage.density = Rounded(stage.density, kFactorDecimals);
        stage.scale = Rounded(stage.scale, kFactorDecimals);
    }
    for (ChannelValues& pick : film.neutrals) {
        for (double& t : pick) {
            t = Rounded(t, kTransmissionDecimals);
        }
    }
    return film;
}
