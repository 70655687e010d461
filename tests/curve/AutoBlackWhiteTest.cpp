#include "curve/AutoBlackWhite.h"

#include <initializer_list>
#include <utility>

#include <gtest/gtest.h>

namespace auto_black_white_test {

namespace {

LevelCounts Counts(std::initializer_list<std::pair<int, std::uint64_t>> levels) {
    LevelCounts counts{};
    for (const auto& [level, count] : levels) {
        counts[level] += count;
    }
    return counts;
}

struct RuleCase {
    const char* name;
    LevelCounts counts;
    double clip;
    BlackWhitePositions expected;
};

// n = 10000 where not said otherwise, so c = 0.1 lets 10 pixels clip.
TEST(AutoBlackWhite, FollowsTheClipRuleAtBothEnds) {
    const RuleCase cases[] = {
        {"everything at one mid level", Counts({{128, 10000}}), 0.1, {100, 200}},
        {"everything at one high level", Counts({{230, 10000}}), 0.1, {100, 231}},
        {"everything at level 0", Counts({{0, 10000}}), 0.1, {0, 200}},
        {"everything at level 255", Counts({{255, 10000}}), 0.1, {100, 255}},
        {"empty tails: black stops at 10", Counts({{220, 9990}, {240, 10}}), 0.1, {100, 221}},
        {"tails within the clip", Counts({{3, 10}, {220, 9980}, {250, 10}}), 0.1, {100, 221}},
        {"tails one over the clip", Counts({{3, 11}, {220, 9978}, {250, 11}}), 0.1, {20, 251}},
        {"white never below 200", Counts({{3, 10}, {20, 9980}, {150, 10}}), 0.1, {100, 200}},
        {"shadow ramp", Counts({{0, 4}, {1, 4}, {2, 4}, {100, 9988}}), 0.1, {10, 200}},
        {"c = 0: first occupied level bounds both",
         Counts({{5, 1}, {100, 9998}, {210, 1}}),
         0.0,
         {40, 211}},
        {"c = 0 with level 0 used", Counts({{0, 1}, {255, 1}}), 0.0, {0, 255}},
        {"c = 100 clips everything", Counts({{128, 10000}}), 100.0, {100, 200}},
    };
    for (const RuleCase& c : cases) {
        EXPECT_EQ(AutoBlackWhite(c.counts, c.clip), c.expected) << c.name;
    }
}

TEST(AutoBlackWhite, ClipIsAShareOfAllPixels) {
    // 1 % of 1000 is 10: a tail of 10 clips, a tail of 11 does not.
    EXPECT_EQ(AutoBlackWhite(Counts({{0, 10}, {128, 980}, {255, 10}}), 1.0),
              (BlackWhitePositions{100, 200}));
    EXPECT_EQ(AutoBlackWhite(Counts({{0, 11}, {128, 978}, {255, 11}}), 1.0),
              (BlackWhitePositions{0, 255}));
}

TEST(AutoBlackWhite, CountsBeyondThirtyTwoBitsStayExact) {
    // A 16-bit scan of many frames: a tail of 2^32 pixels among 2^42.
    constexpr std::uint64_t kTail = std::uint64_t{1} << 32;
    constexpr std::uint64_t kAll = std::uint64_t{1} << 42;
    const LevelCounts counts = Counts({{7, kTail}, {128, kAll - 2 * kTail}, {240, kTail}});
    EXPECT_EQ(AutoBlackWhite(counts, 0.1), (BlackWhitePositions{100, 200}));
    EXPECT_EQ(AutoBlackWhite(counts, 0.01), (BlackWhitePositions{60, 241}));
}

TEST(AutoBlackWhite, KeepsAlphaAndGamma) {
    const ParamPositions before{30, 230, 150, 180};
    const ParamPositions after = WithAutoBlackWhite(before, Counts({{128, 100}}), 0.1);
    EXPECT_EQ(after, (ParamPositions{100, 200, 150, 180}));
}

} // namespace

}  // namespace auto_black_white_test
