// Films measured on negatives made from a known scene: the positive's
// colours against the scene's, and the picks that cannot be used.
#include "measure/FilmMeasure.h"
#include "tests/measure/SyntheticNegative.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace film_fit_test {

namespace {

using filmtest::CheckerScene;
using filmtest::Film;
using filmtest::LabSpace;
using filmtest::MakeNegative;
using filmtest::Negative;

FilmRequest Request(FilmMode mode, PixelRect base, std::vector<PixelRect> neutrals = {}) {
    FilmRequest request;
    request.mode = mode;
    request.base = base;
    request.neutrals = std::move(neutrals);
    return request;
}

struct Fidelity {
    double meanDeltaE = 0.0;
    double worstGreyAb = 0.0; // the largest |a*| or |b*| of the six greys
};

// Each patch's positive, times one gain for all channels (the user's
// exposure, set on the light grey), against the scene in CIEDE2000. The
// film's green contrast is the one the stage starts from, so the user's
// choice of contrast is the stage's own.
Fidelity FidelityOf(const FilmSettings& settings, const std::vector<ChannelValues>& scene,
                    const Film& film, const LabSpace& space) {
    std::vector<ChannelValues> positives;
    for (const ChannelValues& e : scene) {
        const ChannelValues t = filmtest::Transmission(film, e);
        ChannelValues p{};
        for (std::size_t c = 0; c < kChannelCount; ++c) {
            p[c] = FilmPositive(settings.stages[c], t[c]);
        }
        positives.push_back(p);
    }
    const auto sum = [](const ChannelValues& v) { return v[0] + v[1] + v[2]; };
    const double gain = sum(scene[filmtest::kLightGrey]) / sum(positives[filmtest::kLightGrey]);
    Fidelity f;
    for (std::size_t i = 0; i < filmtest::kCheckerLab.size(); ++i) {
        ChannelValues p = positives[i];
        for (double& v : p) {
            v *= gain;
        }
        const cmsCIELab got = space.Lab(p);
        const cmsCIELab want = space.Lab(scene[i]);
        f.meanDeltaE += cmsCIE2000DeltaE(&got, &want, 1, 1, 1) /
                        static_cast<double>(filmtest::kCheckerLab.size());
        if (i >= filmtest::kFirstGrey) {
            f.worstGreyAb = std::max({f.worstGreyAb, std::abs(got.a), std::abs(got.b)});
        }
    }
    return f;
}

struct BalanceCase {
    const char* name;
    std::size_t picks; // the light grey, then the dark grey
    double meanLimit;
    double greyLimit;
    // A warm highlight brighter than the white, as the sun on a wall: the
    // frame's own densities then no longer tell a neutral.
    bool warmHighlight = false;
};

constexpr ChannelValues kWarmHighlight = {1.5, 1.2, 0.6};

class Balance : public testing::TestWithParam<BalanceCase> {};

TEST_P(Balance, TheColourNegativesPositiveIsFaithfulToTheScene) {
    const BalanceCase& row = GetParam();
    const LabSpace space;
    std::vector<ChannelValues> scene = CheckerScene(space);
    if (row.warmHighlight) {
        scene.push_back(kWarmHighlight);
    }
    const Film film;
    const Negative negative = MakeNegative(scene, film);
    FilmRequest request = Request(FilmMode::ColourNegative, negative.Border());
    const std::size_t picked[] = {filmtest::kLightGrey, filmtest::kDarkGrey};
    for (std::size_t k = 0; k < row.picks; ++k) {
        request.neutrals.push_back(negative.Patch(picked[k]));
    }
    const FilmMeasurement measured = MeasureFilm(negative.Rows(), request);
    ASSERT_EQ(measured.problem.fault, FilmFault::None);
    EXPECT_EQ(measured.film.neutralCount, row.picks);
    const Fidelity f = FidelityOf(measured.film, scene, film, space);
    std::printf("%s: mean CIEDE2000 %.2f, greys' largest |a*|, |b*| %.2f\n", row.name, f.meanDeltaE,
                f.worstGreyAb);
    EXPECT_LE(f.meanDeltaE, row.meanLimit);
    EXPECT_LE(f.worstGreyAb, row.greyLimit);
}

INSTANTIATE_TEST_SUITE_P(
    Picks, Balance,
    testing::Values(BalanceCase{"TwoNeutralPicks", 2, 1.5, 2.0},
                    BalanceCase{"OneNeutralPick", 1, 3.0, 3.0},
                    BalanceCase{"BaseAlone", 0, 3.0, 3.0},
                    BalanceCase{"TwoPicksBesideAWarmHighlight", 2, 1.5, 2.0, true},
                    BalanceCase{"OnePickBesideAWarmHighlight", 1, 3.0, 5.0, true}),
    [](const auto& info) { return std::string(info.param.name); });

// The window's roll: the next frame, with no rectangle drawn on it, keeps
// the base and the picks the first one gave.
TEST(FilmFit, TheBaseAndPicksOfAnEarlierFrameBalanceTheNextOne) {
    const LabSpace space;
    std::vector<ChannelValues> scene = CheckerScene(space);
    const Film film;
    const Negative first = MakeNegative(scene, film);
    const FilmMeasurement earlier =
        MeasureFilm(first.Rows(),
                    Request(FilmMode::ColourNegative, first.Border(),
                            {first.Patch(filmtest::kLightGrey), first.Patch(filmtest::kDarkGrey)}));
    ASSERT_EQ(earlier.problem.fault, FilmFault::None);
    std::reverse(scene.begin(), scene.begin() + filmtest::kFirstGrey);
    FilmRequest request;
    request.knownBase = ChannelValues{};
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        (*request.knownBase)[c] = earlier.film.stages[c].base;
    }
    request.knownNeutrals = {earlier.film.neutrals[0], earlier.film.neutrals[1]};
    const FilmMeasurement next = MeasureFilm(MakeNegative(scene, film).Rows(), request);
    ASSERT_EQ(next.problem.fault, FilmFault::None);
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        EXPECT_EQ(next.film.stages[c].base, earlier.film.stages[c].base);
        EXPECT_EQ(next.film.stages[c].exponent, earlier.film.stages[c].exponent);
    }
    EXPECT_LE(FidelityOf(next.film, scene, film, space).meanDeltaE, 1.5);
}

TEST(FilmFit, ABlackAndWhiteNegativeGivesOneStageWhosePositiveFollowsTheSceneLight) {
    const LabSpace space;
    std::vector<ChannelValues> scene;
    for (const ChannelValues& rgb : CheckerScene(space)) {
        const double light = (rgb[0] + rgb[1] + rgb[2]) / 3.0;
        scene.push_back({light, light, light});
    }
    Film film;
    film.base = {0.8, 0.8, 0.8};
    film.gamma = {0.6, 0.6, 0.6};
    const Negative negative = MakeNegative(scene, film);
    const FilmMeasurement measured =
        MeasureFilm(negative.Rows(), Request(FilmMode::BlackAndWhite, negative.Border()));
    ASSERT_EQ(measured.problem.fault, FilmFault::None);
    EXPECT_EQ(measured.film.mode, FilmMode::BlackAndWhite);
    EXPECT_EQ(measured.film.stages[kRed], measured.film.stages[kGreen]);
    EXPECT_EQ(measured.film.stages[kBlue], measured.film.stages[kGreen]);
    const double white = scene[filmtest::kFirstGrey][0];
    const auto positive = [&](std::size_t i) {
        return FilmPositive(measured.film.stages[0], filmtest::Transmission(film, scene[i])[0]);
    };
    for (std::size_t i = 0; i < scene.size(); ++i) {
        const double p = positive(i) / positive(filmtest::kFirstGrey);
        EXPECT_NEAR(p, scene[i][0] / white, 0.01) << "patch " << i;
    }
}

// A specular glint of 0.4 % of the frame, three times the white patch's
// light: the densest 0.1 % is the glint, the densest 1 % the white patch.
// The highlight is the glint, so that it is not lifted past the top.
TEST(FilmFit, TheDensestTenthOfAPercentIsTheHighlightNotTheDensestPercent) {
    const LabSpace space;
    const Film film;
    Negative negative = MakeNegative(CheckerScene(space), film);
    const ChannelValues glint = filmtest::Transmission(film, {3.0, 3.0, 3.0});
    const PixelRect at = negative.Patch(filmtest::kDarkGrey);
    constexpr int kGlintSide = 5; // 25 of 6800 pixels
    for (int y = at.top; y < at.top + kGlintSide; ++y) {
        for (int x = at.left; x < at.left + kGlintSide; ++x) {
            for (std::size_t c = 0; c < kChannelCount; ++c) {
                negative.samples[(std::size_t(y) * negative.width + x) * 3 + c] =
                    static_cast<std::uint16_t>(std::lround(glint[c] * 65535.0));
            }
        }
    }
    const FilmMeasurement measured =
        MeasureFilm(negative.Rows(), Request(FilmMode::ColourNegative, negative.Border()));
    ASSERT_EQ(measured.problem.fault, FilmFault::None);
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        const FilmStage& stage = measured.film.stages[c];
        EXPECT_NEAR(stage.density, std::log10(stage.base / glint[c]), 0.01) << "channel " << c;
        EXPECT_NEAR(FilmPositive(stage, glint[c]), 1.0, 0.02) << "channel " << c;
    }
}

struct FaultCase {
    const char* name;
    FilmFault fault;
    std::size_t which;
};

class Faults : public testing::TestWithParam<FaultCase> {};

// The base and the picks for each fault, on the ColorChecker negative.
FilmRequest RequestFor(const FaultCase& row, const Negative& n) {
    const PixelRect light = n.Patch(filmtest::kLightGrey);
    const PixelRect dark = n.Patch(filmtest::kDarkGrey);
    switch (row.fault) {
    case FilmFault::RectangleOffImage:
        return Request(FilmMode::ColourNegative, n.Border(), {light, {n.width - 4, 0, 5, 5}});
    case FilmFault::BaseNotClearest:
        return Request(FilmMode::ColourNegative, n.Patch(filmtest::kFirstGrey));
    case FilmFault::NeutralLikeBase:
        return Request(FilmMode::ColourNegative, n.Border(), {light, {0, 0, 8, 3}});
    case FilmFault::NeutralsAlike:
        return Request(FilmMode::ColourNegative, n.Border(), {dark, dark});
    case FilmFault::None:
        break;
    }
    return {};
}

TEST_P(Faults, APickThatCannotBeUsedIsNamedAndGivesNoFilm) {
    const FaultCase& row = GetParam();
    const LabSpace space;
    const Negative negative = MakeNegative(CheckerScene(space), Film());
    const FilmMeasurement measured = MeasureFilm(negative.Rows(), RequestFor(row, negative));
    EXPECT_EQ(measured.problem.fault, row.fault);
    EXPECT_EQ(measured.problem.which, row.which);
    if (row.fault == FilmFault::BaseNotClearest) {
        EXPECT_GT(measured.problem.share, kMaxClearerShare);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Picks, Faults,
    testing::Values(FaultCase{"RectangleOffTheImage", FilmFault::RectangleOffImage, 2},
                    FaultCase{"BaseDarkerThanMostOfTheFrame", FilmFault::BaseNotClearest, 0},
                    FaultCase{"NeutralAsClearAsTheBase", FilmFault::NeutralLikeBase, 2},
                    FaultCase{"TwoNeutralsOfOneDensity", FilmFault::NeutralsAlike, 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

} // namespace film_fit_test
