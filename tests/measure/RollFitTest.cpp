// A roll's film fitted to simulated strips: without a pick the chart frame
// comes out neutral and faithful to its scene, picks on any frame balance
// the whole roll, each frame is exposed on its own, a black-and-white roll
// is grey, and picks that cannot be used are named.
#include "measure/RollFit.h"
#include "measure/FilmMeasure.h"
#include "tests/measure/ChartReadBack.h"
#include "tests/measure/SyntheticStrip.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace roll_fit_test {

namespace {

using striptest::Gauge;
using striptest::Scene;
using striptest::StripPlan;
using striptest::SyntheticStrip;

constexpr std::size_t kChartFrame = 1; // in MixedFrames()

struct Roll {
    std::vector<StripSample> samples;
    RollFit fit;
};

// Each strip mapped (with the picks' rectangles counted), its frames
// found and sampled, and the roll fitted; `base` and `neutrals` are
// rectangles of strip 0 (a neutral's, of strip `neutralStrip`).
Roll FitStrips(const std::vector<const SyntheticStrip*>& strips, FilmMode mode,
               std::optional<PixelRect> base = {}, std::vector<PixelRect> neutrals = {},
               std::size_t neutralStrip = 0) {
    Roll roll;
    RollPicks picks;
    for (std::size_t s = 0; s < strips.size(); ++s) {
        std::vector<PixelRect> regions;
        if (s == 0 && base) {
            regions.push_back(*base);
        }
        if (s == neutralStrip) {
            regions.insert(regions.end(), neutrals.begin(), neutrals.end());
        }
        const Outcome<StripMap> map = MapStrip(*strips[s], regions);
        EXPECT_TRUE(map);
        roll.samples.push_back(SampleStrip(*map, FindFrames(*map)));
        for (std::size_t r = 0; r < regions.size(); ++r) {
            const ChannelValues medians = MediansOf(map->regions[r], mode);
            if (s == 0 && base && r == 0) {
                picks.base = medians;
            } else {
                picks.neutrals.push_back(medians);
            }
        }
    }
    roll.fit = FitRoll(mode, roll.samples, picks);
    return roll;
}

// Each patch of frame k through `film`'s stage and the start-up curve, at
// 16 bits, as `roll` writes it.
std::vector<ChannelValues> ChartOutputs(const SyntheticStrip& strip, std::size_t k,
                                        const FilmSettings& film) {
    std::array<std::vector<std::uint16_t>, kChannelCount> curves;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        ChannelParams channel = kDefaultChannelParams;
        channel.Film = film.stages[c];
        curves[c].resize(65536);
        ComputeChannelCurve(channel, curves[c], 65535);
    }
    std::vector<ChannelValues> outputs;
    for (std::size_t i = 0; i < filmtest::kCheckerLab.size(); ++i) {
        const ChannelValues t = striptest::MedianOf(strip, strip.Patch(k, i));
        ChannelValues out{};
        for (std::size_t c = 0; c < kChannelCount; ++c) {
            out[c] = curves[c][std::size_t(std::lround(t[c] * 65535))] / 65535.0;
        }
        outputs.push_back(out);
    }
    return outputs;
}

striptest::Fidelity ChartFidelity(const SyntheticStrip& strip, std::size_t k,
                                  const FilmSettings& film) {
    return striptest::FidelityOf(ChartOutputs(strip, k, film), strip.CheckerLight());
}

// The film's own inverse: e_c = 1 / gamma_c and one exposure in every
// channel (e_c D_c = 3: nothing of the chart clips), which the
// simulation's noise and 16-bit levels alone limit.
FilmSettings ExactInverse(const SyntheticStrip& strip) {
    FilmSettings film = UnmeasuredFilm(FilmMode::ColourNegative);
    const filmtest::Film& f = strip.Plan().film;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        film.stages[c] = {f.base[c], 1.0 / f.gamma[c], 3.0 * f.gamma[c], 1.0};
    }
    return film;
}

StripPlan Across() {
    return {};
}

StripPlan AlongThe120() {
    StripPlan plan;
    plan.gauge = Gauge::Square120;
    plan.alongRows = true;
    plan.pixelsPerMm = 4.0;
    plan.frames = {{Scene::Sunset, 0.6},
                   {Scene::Checker, 1.3},
                   {Scene::Portrait, 0.9},
                   {Scene::Landscape, 1.8}};
    return plan;
}

// A film whose layers differ more, with a deeper mask.
StripPlan SteepBlue() {
    StripPlan plan;
    plan.film.base = {0.65, 0.38, 0.2};
    plan.film.gamma = {0.5, 0.62, 0.75};
    return plan;
}

struct BalanceCase {
    const char* name;
    StripPlan plan;
    std::size_t picks; // the chart's light and dark greys
    double meanLimit;
    double greyLimit;
    friend void PrintTo(const BalanceCase& c, std::ostream* os) { *os << c.name; }
};

class RollBalance : public testing::TestWithParam<BalanceCase> {};

TEST_P(RollBalance, TheChartFrameIsNeutralAndFaithfulToItsScene) {
    const BalanceCase& row = GetParam();
    const SyntheticStrip strip(row.plan);
    const std::size_t chart = row.plan.gauge == Gauge::Film35 ? kChartFrame : 1;
    std::vector<PixelRect> neutrals;
    for (const std::size_t patch : {filmtest::kLightGrey, filmtest::kDarkGrey}) {
        if (neutrals.size() < row.picks) {
            neutrals.push_back(strip.Patch(chart, patch));
        }
    }
    const Roll roll = FitStrips({&strip}, FilmMode::ColourNegative, {}, neutrals);
    ASSERT_EQ(roll.fit.problem.fault, FilmFault::None);
    ASSERT_EQ(roll.fit.frames[0].size(), row.plan.frames.size());
    const striptest::Fidelity f = ChartFidelity(strip, chart, roll.fit.frames[0][chart]);
    const striptest::Fidelity exact = ChartFidelity(strip, chart, ExactInverse(strip));
    std::printf("%s: mean CIEDE2000 %.2f, greys' |a*|, |b*| %.2f (exact inverse %.2f, %.2f)\n",
                row.name, f.meanDeltaE, f.worstGreyAb, exact.meanDeltaE, exact.worstGreyAb);
    EXPECT_LE(f.meanDeltaE, row.meanLimit);
    EXPECT_LE(f.worstGreyAb, row.greyLimit);
    EXPECT_LE(exact.meanDeltaE, 0.1);
    EXPECT_LE(exact.worstGreyAb, 0.2);
}

INSTANTIATE_TEST_SUITE_P(
    Picks, RollBalance,
    testing::Values(BalanceCase{"NoPick", Across(), 0, 1.0, 1.5},
                    BalanceCase{"NoPickOn120AlongTheScan", AlongThe120(), 0, 1.0, 1.5},
                    BalanceCase{"NoPickOnASteeperFilm", SteepBlue(), 0, 1.0, 1.5},
                    BalanceCase{"OneNeutralPick", Across(), 1, 1.0, 1.0},
                    BalanceCase{"TwoNeutralPicks", Across(), 2, 0.5, 0.5}),
    [](const auto& info) { return std::string(info.param.name); });

// The balance is the roll's: a neutral picked on one strip balances the
// frames of the other the same way.
TEST(RollFitTest, APickOnOneStripBalancesEveryStrip) {
    StripPlan first = Across();
    StripPlan second = Across();
    second.alongRows = true;
    second.frames = {{Scene::Checker, 1.9}, {Scene::Snow, 0.6}};
    const SyntheticStrip a(first), b(second);
    const Roll roll = FitStrips(
        {&a, &b}, FilmMode::ColourNegative, {},
        {a.Patch(kChartFrame, filmtest::kLightGrey), a.Patch(kChartFrame, filmtest::kDarkGrey)});
    ASSERT_EQ(roll.fit.problem.fault, FilmFault::None);
    ASSERT_EQ(roll.fit.frames.size(), 2u);
    const striptest::Fidelity f = ChartFidelity(b, 0, roll.fit.frames[1][0]);
    EXPECT_LE(f.worstGreyAb, 0.5);
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        EXPECT_EQ(roll.fit.frames[1][0].stages[c].exponent, roll.fit.roll.stages[c].exponent);
        EXPECT_EQ(roll.fit.frames[1][0].stages[c].scale, roll.fit.roll.stages[c].scale);
    }
}

// Each frame's exposure is its own: one scene at a quarter and at twice
// the light gives the same positive.
TEST(RollFitTest, EachFrameIsExposedOnItsOwn) {
    StripPlan plan = Across();
    plan.frames = {{Scene::Checker, 0.25}, {Scene::Landscape, 1.0}, {Scene::Checker, 2.0}};
    const SyntheticStrip strip(plan);
    const Roll roll = FitStrips({&strip}, FilmMode::ColourNegative);
    ASSERT_EQ(roll.fit.frames[0].size(), 3u);
    EXPECT_GT(roll.fit.frames[0][2].stages[kGreen].density,
              roll.fit.frames[0][0].stages[kGreen].density + 0.3);
    const std::vector<ChannelValues> dim = ChartOutputs(strip, 0, roll.fit.frames[0][0]);
    const std::vector<ChannelValues> bright = ChartOutputs(strip, 2, roll.fit.frames[0][2]);
    for (std::size_t i = filmtest::kFirstGrey; i < dim.size(); ++i) {
        for (std::size_t c = 0; c < kChannelCount; ++c) {
            EXPECT_NEAR(dim[i][c], bright[i][c], 0.01) << "patch " << i << " channel " << c;
        }
    }
}

TEST(RollFitTest, ABlackAndWhiteRollHasOneStageForAllThreeChannels) {
    StripPlan plan = Across();
    plan.blackAndWhite = true;
    plan.film.base = {0.8, 0.79, 0.81};
    const SyntheticStrip strip(plan);
    const Roll roll = FitStrips({&strip}, FilmMode::BlackAndWhite);
    ASSERT_EQ(roll.fit.problem.fault, FilmFault::None);
    ASSERT_EQ(roll.fit.frames[0].size(), plan.frames.size());
    for (const FilmSettings& frame : roll.fit.frames[0]) {
        EXPECT_EQ(frame.mode, FilmMode::BlackAndWhite);
        EXPECT_EQ(frame.stages[kRed], frame.stages[kGreen]);
        EXPECT_EQ(frame.stages[kBlue], frame.stages[kGreen]);
    }
}

struct FaultCase {
    const char* name;
    FilmFault fault;
    std::size_t which;
};

class RollFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(RollFaults, APickThatCannotBeUsedIsNamed) {
    const FaultCase& row = GetParam();
    const SyntheticStrip strip(Across());
    const PixelRect light = strip.Patch(kChartFrame, filmtest::kLightGrey);
    Roll roll;
    switch (row.fault) {
    case FilmFault::BaseNotClearest:
        roll = FitStrips({&strip}, FilmMode::ColourNegative, strip.Patch(kChartFrame, 5));
        EXPECT_GT(roll.fit.problem.share, kMaxClearerShare);
        break;
    case FilmFault::NeutralLikeBase:
        roll = FitStrips({&strip}, FilmMode::ColourNegative, {}, {light, strip.Gap(0)});
        break;
    default:
        roll = FitStrips({&strip}, FilmMode::ColourNegative, {}, {light, light});
        break;
    }
    EXPECT_EQ(roll.fit.problem.fault, row.fault);
    EXPECT_EQ(roll.fit.problem.which, row.which);
}

INSTANTIATE_TEST_SUITE_P(
    Picks, RollFaults,
    testing::Values(FaultCase{"BaseOnAFrame", FilmFault::BaseNotClearest, 0},
                    FaultCase{"NeutralOnTheBase", FilmFault::NeutralLikeBase, 2},
                    FaultCase{"TwoNeutralsOfOneDensity", FilmFault::NeutralsAlike, 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

} // namespace roll_fit_test
