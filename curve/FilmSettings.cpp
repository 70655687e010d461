// A film's settings put into the store, rounded for the file, and the
// tables of its parts.
#include "curve/FilmSettings.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTopFilmLevel = 255.0;
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

void ApplyFilm(const FilmSettings& film, ChannelParamsSet& channels, GammaTableSet& tables) {
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        channels[c].Film = film.IsNegative() ? std::optional(film.stages[c]) : std::nullopt;
        ComputeChannelTable(channels[c], tables[c]);
    }
}

ChannelParamsSet CurvesAlone(ChannelParamsSet channels) {
    for (ChannelParams& channel : channels) {
        channel.Film.reset();
    }
    return channels;
}

GammaTableSet CurveTables(const ChannelParamsSet& channels) {
    const ChannelParamsSet curves = CurvesAlone(channels);
    GammaTableSet tables{};
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        ComputeChannelTable(curves[c], tables[c]);
    }
    return tables;
}

bool HasFilm(const ChannelParamsSet& channels) {
    return std::any_of(channels.begin(), channels.end(),
                       [](const ChannelParams& channel) { return channel.Film.has_value(); });
}

void ComputeFilmTable(const std::optional<FilmStage>& film, GammaTable& table) {
    for (std::size_t i = 0; i < kGammaTableSize; ++i) {
        const double level = static_cast<double>(i);
        const double positive =
            film ? kTopFilmLevel * FilmPositive(*film, level / kTopFilmLevel) : level;
        table[i] = static_cast<std::int16_t>(std::lround(std::clamp(positive, 0.0, kTopFilmLevel)));
    }
}

GammaTableSet FilmTables(const ChannelParamsSet& channels) {
    GammaTableSet tables{};
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        ComputeFilmTable(channels[c].Film, tables[c]);
    }
    return tables;
}
