// The grey axis found among densities: the neutrals' line whatever else a
// roll holds, so long as neutrals are there.
#include "measure/GreyAxis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace grey_axis_test {

namespace {

constexpr Vector3 kGamma = {0.55, 0.6, 0.66};

// The density of exposure log10((E + f) / f) = `level` in every channel,
// times a colour's log ratios per channel, plus grain.
Vector3 Density(double level, const Vector3& colour, double grain, std::mt19937& random) {
    std::normal_distribution<double> deviate(0.0, grain);
    Vector3 d{};
    for (std::size_t c = 0; c < 3; ++c) {
        d[c] = kGamma[c] * (level + colour[c]) + deviate(random);
    }
    return d;
}

struct AxisCase {
    const char* name;
    int neutrals;                 // points along the axis
    std::vector<Vector3> colours; // clusters off it, in log ratios per channel
    int perColour;
    bool dust; // opaque specks, dense in every channel
    double tolerance;
};

class GreyAxisOfARoll : public testing::TestWithParam<AxisCase> {};

TEST_P(GreyAxisOfARoll, TheNeutralsSetTheLine) {
    const AxisCase& row = GetParam();
    std::mt19937 random(3);
    std::uniform_real_distribution<double> level(0.2, 2.0);
    std::vector<Vector3> densities;
    for (int k = 0; k < row.neutrals; ++k) {
        densities.push_back(Density(level(random), {0, 0, 0}, 0.003, random));
    }
    for (const Vector3& colour : row.colours) {
        for (int k = 0; k < row.perColour; ++k) {
            densities.push_back(Density(level(random), colour, 0.003, random));
        }
    }
    for (int k = 0; row.dust && k < row.neutrals / 4; ++k) {
        densities.push_back({5.0, 5.0, 5.0});
    }
    const std::optional<Vector3> axis = FitGreyAxis(densities);
    ASSERT_TRUE(axis);
    const double norm = std::hypot(kGamma[0], kGamma[1], kGamma[2]);
    for (std::size_t c = 0; c < 3; ++c) {
        EXPECT_NEAR((*axis)[c], kGamma[c] / norm, row.tolerance) << "channel " << c;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rolls, GreyAxisOfARoll,
    testing::Values(AxisCase{"NeutralsAlone", 2000, {}, 0, false, 1e-4},
                    AxisCase{"NeutralsAmongMoreColour",
                             1500,
                             {{0.0, 0.25, -0.2}, {0.3, 0.0, -0.35}, {-0.2, 0.0, 0.3}},
                             1500,
                             false,
                             2e-3},
                    AxisCase{"DustBeyondTheFilmsRange", 2000, {}, 0, true, 1e-4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GreyAxis, DensitiesNearTheBaseAloneGiveNoLine) {
    const std::vector<Vector3> nearBase(500, Vector3{0.02, 0.03, 0.01});
    EXPECT_FALSE(FitGreyAxis(nearBase));
    EXPECT_FALSE(FitGreyAxis({}));
}

} // namespace

} // namespace grey_axis_test
