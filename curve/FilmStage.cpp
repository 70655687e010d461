// The film stage's one formula; the tables sample it.
#include "curve/FilmStage.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDensityBase = 10.0;

} // namespace

double FilmHighlights(const FilmStage& stage) {
    return std::pow(kDensityBase, stage.exponent * stage.density) - 1.0;
}

double FilmPositive(const FilmStage& stage, double transmission, double highlights) {
    const double t = std::max(transmission, kDarkestTransmission);
    return stage.scale * (std::pow(stage.base / t, stage.exponent) - 1.0) / highlights;
}

double FilmPositive(const FilmStage& stage, double transmission) {
    return FilmPositive(stage, transmission, FilmHighlights(stage));
}

bool IsValidStage(const FilmStage& s) {
    const auto within = [](double v, double lo, double hi) { return v >= lo && v <= hi; };
    return within(s.base, kMinTransmission, kMaxTransmission) &&
           within(s.exponent, kMinFilmExponent, kMaxFilmExponent) &&
           within(s.density, kMinFilmDensity, kMaxFilmDensity) &&
           within(s.scale, kMinFilmScale, kMaxFilmScale);
}
