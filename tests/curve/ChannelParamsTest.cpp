#include "curve/ChannelParams.h"

#include "tests/support/CommaLocale.h"

#include <cstdio>

#include <gtest/gtest.h>

namespace channel_params_test {

namespace {

TEST(ChannelParams, DefaultsMapToBitIdenticalValues) {
    const ChannelParams c = kDefaultChannelParams;
    EXPECT_EQ(c.BlackPos, 0);
    EXPECT_EQ(c.WhitePos, 255);
    EXPECT_EQ(c.AlphaPos, 99);
    EXPECT_EQ(c.GammaPos, 200);
    // Exact comparisons on purpose: the defaults must be the very constants.
    EXPECT_EQ(c.Black, 0.0);
    EXPECT_EQ(c.White, 255.0);
    EXPECT_EQ(c.Alpha, 1.099);
    EXPECT_EQ(c.Gamma, 2.0);
}

TEST(ChannelParams, MappingDividesFirstThenAddsTheOffset) {
    for (int pos = 0; pos <= 200; ++pos) {
        EXPECT_EQ(PositionToValue(Param::Alpha, pos), pos / 1000.0 + 1) << pos;
    }
    EXPECT_EQ(PositionToValue(Param::Black, 37), 3.7);
    EXPECT_EQ(PositionToValue(Param::White, 213), 213.0);
    EXPECT_EQ(PositionToValue(Param::Gamma, 222), 2.22);
}

struct TextCase {
    Param param;
    int pos;
    const char* text;
};

TEST(ChannelParams, ValueTextsCarryTheirFormatAndLeadingBlank) {
    const TextCase cases[] = {
        {Param::Black, 0, " 0.0"},    {Param::Black, 100, " 10.0"},  {Param::Black, 37, " 3.7"},
        {Param::White, 255, " 255"},  {Param::White, 200, " 200"},   {Param::Alpha, 99, " 1.099"},
        {Param::Alpha, 0, " 1.000"},  {Param::Alpha, 200, " 1.200"}, {Param::Gamma, 200, " 2.00"},
        {Param::Gamma, 150, " 1.50"}, {Param::Gamma, 250, " 2.50"},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(FormatValue(c.param, PositionToValue(c.param, c.pos)), c.text)
            << SpecOf(c.param).name << " at " << c.pos;
    }
}

TEST(ChannelParams, ValueTextsKeepTheDecimalPointUnderADecimalCommaLocale) {
    const CommaLocale comma;
    ASSERT_TRUE(comma.Active()) << "de_DE.UTF-8 is missing; scripts/setup.sh makes it";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5") << "the locale must really write commas for this test to mean much";
    EXPECT_EQ(FormatValue(Param::Alpha, PositionToValue(Param::Alpha, 99)), " 1.099");
    EXPECT_EQ(FormatValue(Param::Gamma, PositionToValue(Param::Gamma, 200)), " 2.00");
    EXPECT_EQ(FormatValue(Param::Black, PositionToValue(Param::Black, 10)), " 1.0");
}

TEST(ChannelParams, AlphaAtZeroIsExactlyOne) {
    EXPECT_EQ(PositionToValue(Param::Alpha, 0), 1.0);
}

TEST(ChannelParams, RangesAreInclusive) {
    EXPECT_TRUE(IsInRange(Param::White, 200));
    EXPECT_TRUE(IsInRange(Param::White, 255));
    EXPECT_FALSE(IsInRange(Param::White, 199));
    EXPECT_FALSE(IsInRange(Param::Gamma, 251));
    EXPECT_TRUE(IsInRange(Param::Black, 0));
    EXPECT_FALSE(IsInRange(Param::Black, -1));
    EXPECT_FALSE(IsInRange(Param::Alpha, 201));
}

TEST(ChannelParams, Black37GivesItsValueAndToe) {
    const ChannelParams c = MakeChannelParams({37, 255, 99, 200});
    EXPECT_EQ(c.Black, 3.7);
    GammaTable t{};
    ComputeChannelTable(c, t);
    const int expected[] = {0, 0, 0, 0, 1, 5, 8, 12, 16, 20};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(t[i], expected[i]) << i;
    }
}

TEST(ChannelParams, ResetRestoresEveryChannelAndTableWhateverTheyHeld) {
    ChannelParamsSet channels = {MakeChannelParams({100, 200, 0, 150}),
                                 MakeChannelParams({50, 230, 150, 180}),
                                 MakeChannelParams({3, 201, 200, 250})};
    GammaTableSet tables{};
    for (auto& t : tables) {
        t.fill(99);
    }
    ResetToDefaults(channels, tables);

    GammaTable expected{};
    ComputeChannelTable(kDefaultChannelParams, expected);
    for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
        EXPECT_EQ(PositionsOf(channels[ch]), ParamPositions{}) << ch;
        EXPECT_EQ(channels[ch].Black, 0.0);
        EXPECT_EQ(channels[ch].White, 255.0);
        EXPECT_EQ(channels[ch].Alpha, 1.099);
        EXPECT_EQ(channels[ch].Gamma, 2.0);
        EXPECT_EQ(tables[ch], expected) << ch;
    }
}

TEST(ChannelParams, PositionsIndexByParameter) {
    ParamPositions pos{1, 2, 3, 4};
    EXPECT_EQ(pos[Param::Black], 1);
    EXPECT_EQ(pos[Param::White], 2);
    EXPECT_EQ(pos[Param::Alpha], 3);
    EXPECT_EQ(pos[Param::Gamma], 4);
    pos[Param::Gamma] = 9;
    EXPECT_EQ(pos.gamma, 9);
    EXPECT_EQ(ValueOf(MakeChannelParams({10, 255, 99, 200}), Param::Black), 1.0);
}

} // namespace

}  // namespace channel_params_test
