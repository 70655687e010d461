// CIELAB and CIEDE2000 as calibration and the verdict compute them: the
// same as LittleCMS's over colours of every kind, Sharma, Wu and Dalal's published
// pair, its three terms summing in squares to its square, and the variants
// the guidelines use (S_L = 1; the lightness term left out).
#include "measure/Colour.h"

#include <gtest/gtest.h>
#include <lcms2.h>

#include <cmath>
#include <random>

namespace colour_difference_test {

namespace {

double Lcms(const LabColour& a, const LabColour& b) {
    const cmsCIELab x{a.L, a.a, a.b};
    const cmsCIELab y{b.L, b.a, b.b};
    return cmsCIE2000DeltaE(&x, &y, 1.0, 1.0, 1.0);
}

// The S_L of CIEDE2000 at mean lightness L.
double LightnessWeight(double L) {
    const double d2 = (L - 50) * (L - 50);
    return 1 + 0.015 * d2 / std::sqrt(20 + d2);
}

TEST(DeltaE2000, AgreesWithLittleCms) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> lightness(0, 100), chroma(-120, 120), near(-4, 4);
    for (int i = 0; i < 20000; ++i) {
        LabColour a{lightness(random), chroma(random), chroma(random)};
        if (i % 5 == 0) {
            a.a = a.b = 0; // a grey: no hue
        }
        const LabColour b =
            i % 2 ? LabColour{lightness(random), chroma(random), chroma(random)}
                  : LabColour{a.L + near(random), a.a + near(random), a.b + near(random)};
        ASSERT_NEAR(DeltaE2000(a, b), Lcms(a, b), 1e-9) << a.L << " " << a.a << " " << a.b;
    }
}

TEST(Lab, AgreesWithLittleCmsInShadowsAndLights) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> share(0.0, 1.2);
    for (int i = 0; i < 20000; ++i) {
        const double scale = i % 3 == 0 ? 0.01 : 1.0; // deep shadows, below the curve's knee
        const XyzColour xyz{share(random) * scale, share(random) * scale, share(random) * scale};
        const cmsCIEXYZ in{xyz.X, xyz.Y, xyz.Z};
        cmsCIELab lcms{};
        cmsXYZ2Lab(cmsD50_XYZ(), &lcms, &in);
        const LabColour ours = LabOf(xyz);
        ASSERT_NEAR(ours.L, lcms.L, 1e-9);
        ASSERT_NEAR(ours.a, lcms.a, 1e-9);
        ASSERT_NEAR(ours.b, lcms.b, 1e-9);
    }
}

TEST(DeltaE2000, GivesThePublishedDifference) {
    // The first pair of Sharma, Wu and Dalal's test data (2005).
    EXPECT_NEAR(DeltaE2000({50.0, 2.6772, -79.7751}, {50.0, 0.0, -82.7485}), 2.0425, 5e-5);
}

TEST(DeltaE2000, TermsSumInSquaresToItsSquare) {
    const LabColour reference{62.0, 18.5, -33.0};
    const LabColour sample{60.5, 22.0, -29.0};
    const auto t = DeltaE2000Terms(reference, sample);
    EXPECT_NEAR(std::sqrt(t[0] * t[0] + t[1] * t[1] + t[2] * t[2]), Lcms(reference, sample), 1e-12);
    EXPECT_NEAR(t[0], -1.5 / LightnessWeight(61.25), 1e-12);
    const auto none = DeltaE2000Terms(reference, reference);
    EXPECT_EQ(none, (std::array<double, 3>{0, 0, 0}));
}

struct LightnessCase {
    const char* name;
    LabColour a;
    LabColour b;
    LightnessTerm term;
    double expected;
};

const LightnessCase kLightnessTerms[] = {
    {"WeightedGreys", {90, 0, 0}, {92, 0, 0}, LightnessTerm::Weighted, 2 / LightnessWeight(91)},
    {"UnitWeightGreys", {90, 0, 0}, {92, 0, 0}, LightnessTerm::Unweighted, 2.0},
    {"LeftOutGreys", {90, 0, 0}, {92, 0, 0}, LightnessTerm::LeftOut, 0.0},
    {"UnitWeightAtMidGrey", {49, 0, 0}, {51, 0, 0}, LightnessTerm::Unweighted, 2.0},
    {"WeightedAtMidGreyIsUnit", {49, 0, 0}, {51, 0, 0}, LightnessTerm::Weighted, 2.0},
};

TEST(DeltaE2000, LightnessTermAsTheGuidelinesWeighIt) {
    for (const LightnessCase& c : kLightnessTerms) {
        EXPECT_NEAR(DeltaE2000(c.a, c.b, c.term), c.expected, 1e-12) << c.name;
    }
    // Left out, only chroma and hue count: a tinted grey against a neutral one.
    const LabColour tinted{70, 3, 4};
    EXPECT_NEAR(DeltaE2000({70, 0, 0}, tinted, LightnessTerm::LeftOut),
                DeltaE2000({70, 0, 0}, tinted), 1e-12);
    EXPECT_NEAR(DeltaE2000({60, 0, 0}, tinted, LightnessTerm::LeftOut),
                DeltaE2000({70, 0, 0}, tinted, LightnessTerm::LeftOut), 1e-12);
}

} // namespace

} // namespace colour_difference_test
