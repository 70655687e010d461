// A film's parts as tables: the curve with every stage taken out, and the
// stage's positive p(t) sampled at t = i / 255.
#include "curve/FilmTables.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr std::int32_t kTopFilmLevel = 255;

} // namespace

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

std::int32_t PositiveLevel(const std::optional<FilmStage>& film, std::int32_t level,
                           std::int32_t top) {
    if (!film) {
        return level;
    }
    const double scale = top;
    const double positive = scale * FilmPositive(*film, level / scale);
    return static_cast<std::int32_t>(std::lround(std::clamp(positive, 0.0, scale)));
}

void ComputeFilmTable(const std::optional<FilmStage>& film, GammaTable& table) {
    for (std::size_t i = 0; i < kGammaTableSize; ++i) {
        table[i] = static_cast<std::int16_t>(
            PositiveLevel(film, static_cast<std::int32_t>(i), kTopFilmLevel));
    }
}

GammaTableSet FilmTables(const ChannelParamsSet& channels) {
    GammaTableSet tables{};
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        ComputeFilmTable(channels[c].Film, tables[c]);
    }
    return tables;
}
