// The film stage composed with the curve: tables that fall from the top at
// the frame's densest highlights to 0 at the base, the same at every size,
// and tables untouched where there is no film.
#include "curve/ChannelCurve.h"
#include "curve/ChannelStore.h"
#include "curve/FilmTables.h"
#include "curve/ToneCurve.h"
#include "tests/curve/TableShapePrint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace film_stage_test {

namespace {

constexpr FilmStage kOrangeBlue{0.27, 1.5152, 1.21, 0.93};

class FilmCurves : public testing::TestWithParam<TableShape> {};

// The base gives 0, any denser film more, the densest highlights (density
// D, scaled) the top; the table never rises on the way, whatever the curve.
TEST_P(FilmCurves, FallFromTheHighlightsToZeroAtTheBase) {
    const TableShape shape = GetParam();
    for (const ParamPositions& positions :
         {ParamPositions{}, ParamPositions{50, 230, 0, 150}, ParamPositions{100, 200, 200, 250}}) {
        std::vector<std::uint16_t> table(shape.entries);
        ASSERT_TRUE(
            ComputeChannelCurve(MakeChannelParams(positions, kOrangeBlue), table, shape.maxLevel));
        const double last = static_cast<double>(shape.entries - 1);
        // The first entry at or above transmission t.
        const auto entryAt = [&](double t) {
            return table[static_cast<std::size_t>(std::ceil(t * last))];
        };
        const std::string shown = testing::PrintToString(shape);
        EXPECT_TRUE(std::is_sorted(table.rbegin(), table.rend())) << shown;
        EXPECT_EQ(entryAt(kOrangeBlue.base), 0) << shown;
        EXPECT_EQ(table.back(), 0) << shown; // film clearer than the base
        EXPECT_EQ(table.front(), shape.maxLevel) << shown;
        // 0.93 of the way up the positive: the curve's level there. A table
        // of few entries has none near it (why 8-bit tables warn).
        if (positions.white == 255 && positions.black == 0 && shape.entries >= 4096) {
            const std::uint16_t highlight =
                entryAt(kOrangeBlue.base * std::pow(10.0, -kOrangeBlue.density));
            EXPECT_NEAR(highlight / double(shape.maxLevel), 0.96, 0.02) << shown;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, FilmCurves,
                         testing::Values(TableShape{256, 255}, TableShape{4096, 4095},
                                         TableShape{65536, 65535}, TableShape{1024, 255}));

// Each entry is its own transmission's positive through the curve, rounded
// half up, whichever way the table is worked out: the clamped ends alike.
TEST(FilmStage, EveryEntryIsItsPositiveThroughTheCurve) {
    constexpr TableShape kShape{65536, 65535};
    const double last = static_cast<double>(kShape.entries - 1);
    for (const FilmStage& stage :
         {kOrangeBlue, FilmStage{0.72, 1.8, 1.1, 1.0}, FilmStage{1.0, 0.05, 6.0, 100.0}}) {
        const ChannelParams channel = MakeChannelParams(ParamPositions{20, 240, 150, 180}, stage);
        std::vector<std::uint16_t> table(kShape.entries);
        ASSERT_TRUE(ComputeChannelCurve(channel, table, kShape.maxLevel));
        const ToneCurve curve(channel.White, 1.0 / channel.Gamma, channel.Alpha, channel.Black,
                              kShape.maxLevel);
        for (std::size_t j = 0; j < kShape.entries; ++j) {
            const double p = std::clamp(FilmPositive(stage, double(j) / last), 0.0, 1.0);
            const double raw = curve(255.0 * p) + kRoundingBias;
            const auto want = raw <= 0.0               ? std::uint16_t{0}
                              : raw >= kShape.maxLevel ? std::uint16_t(kShape.maxLevel)
                                                       : static_cast<std::uint16_t>(raw);
            ASSERT_EQ(table[j], want) << "entry " << j << " of a stage with base " << stage.base;
        }
    }
}

TEST(FilmStage, APositiveFilmLeavesEveryTableAsItWas) {
    ChannelParamsSet channels{kDefaultChannelParams, kDefaultChannelParams, kDefaultChannelParams};
    GammaTableSet before{};
    ApplyFilm(UnmeasuredFilm(FilmMode::ColourNegative), channels, before);
    ApplyFilm(FilmSettings{}, channels, before);
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        EXPECT_FALSE(channels[c].Film.has_value());
        GammaTable plain{};
        ComputeGammaTable(255.0, plain, 0.5, 1.099, 0.0);
        EXPECT_EQ(before[c], plain);
    }
    const GammaTableSet alone = FilmTables(channels);
    for (std::size_t level = 0; level < kGammaTableSize; ++level) {
        EXPECT_EQ(alone[kRed][level], static_cast<std::int16_t>(level));
    }
}

} // namespace

} // namespace film_stage_test
