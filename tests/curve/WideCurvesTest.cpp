// The 65536-entry curves: each channel's own table whatever the channels
// beside it (alike ones share a table, unlike ones are made side by side),
// and the positive alone keeping every level of a channel without film.
#include "curve/WideCurves.h"
#include "curve/ChannelCurve.h"
#include "curve/FilmTables.h"

#include <gtest/gtest.h>

#include <string>

namespace wide_curves_test {

namespace {

constexpr FilmStage kOrange{0.27, 1.5152, 1.21, 0.93};
constexpr FilmStage kBlue{0.11, 1.2, 1.4, 1.05};

WideCurve OwnCurve(const ChannelParams& channel) {
    WideCurve curve(kWideCurveEntries);
    EXPECT_TRUE(ComputeChannelCurve(channel, curve, kWideCurveTop));
    return curve;
}

struct ChannelMix {
    std::string name;
    ChannelParamsSet channels;
};

ChannelParams Channel(ParamPositions positions, std::optional<FilmStage> film = std::nullopt) {
    return MakeChannelParams(positions, film);
}

const ChannelParams kPlain = Channel({});
const ChannelParams kDark = Channel({50, 230, 0, 150});
const ChannelParams kOrangeFilm = Channel({}, kOrange);
const ChannelParams kBlueFilm = Channel({}, kBlue);

// Alike channels in every place, so that a table copied from the wrong
// neighbour or left unmade shows.
const ChannelMix kMixes[] = {
    {"all alike", {kPlain, kPlain, kPlain}},
    {"all unlike", {kPlain, kDark, kOrangeFilm}},
    {"first two alike", {kDark, kDark, kPlain}},
    {"last two alike", {kPlain, kDark, kDark}},
    {"outer two alike", {kDark, kPlain, kDark}},
    {"films alike then not", {kOrangeFilm, kOrangeFilm, kBlueFilm}},
    {"same curve, one film", {kPlain, kPlain, kOrangeFilm}},
};

TEST(WideCurves, EachChannelIsItsOwnTableWhateverItsNeighbours) {
    for (const ChannelMix& mix : kMixes) {
        const WideCurveSet whole = WholeCurves(mix.channels);
        for (std::size_t c = 0; c < kChannelCount; ++c) {
            EXPECT_EQ(whole[c], OwnCurve(mix.channels[c])) << mix.name << ", channel " << c;
        }
    }
}

TEST(WideCurves, ThePositiveAloneIsTheStageAtEveryLevelAndEveryLevelWithout) {
    const ChannelParamsSet channels{kDark, kOrangeFilm, kBlueFilm};
    const WideCurveSet film = FilmCurves(channels);
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        ASSERT_EQ(film[c].size(), kWideCurveEntries);
    }
    for (std::int32_t level : {0, 1, 1000, 17695, 32768, 65534, 65535}) {
        const auto j = static_cast<std::size_t>(level);
        EXPECT_EQ(film[0][j], level) << "no stage: the level itself";
        EXPECT_EQ(film[1][j], PositiveLevel(kOrange, level, kWideCurveTop)) << level;
        EXPECT_EQ(film[2][j], PositiveLevel(kBlue, level, kWideCurveTop)) << level;
    }
    // The base is 0; denser film (a lower transmission) is more.
    EXPECT_EQ(film[1][static_cast<std::size_t>(kOrange.base * kWideCurveTop + 1)], 0);
    EXPECT_GT(film[1][1000], film[1][10000]);
}

} // namespace

} // namespace wide_curves_test
