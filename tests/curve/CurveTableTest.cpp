// The curve at any table size and output range: the window's table at 256
// entries of 0..255, a plain evaluation of the curve elsewhere, and tables
// that rise from 0 at Black to the top at White without a drop.
#include "curve/CurveTable.h"
#include "curve/ChannelCurve.h"
#include "tests/curve/TableShapePrint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <vector>

namespace curve_table_test {

namespace {

// Slider positions spread over every range, ends included.
std::vector<ParamPositions> PositionGrid() {
    std::vector<ParamPositions> grid;
    for (int black : {0, 14, 50, 100}) {
        for (int white : {200, 230, 255}) {
            for (int alpha : {0, 1, 50, 99, 200}) {
                for (int gamma : {150, 180, 200, 222, 250}) {
                    grid.push_back({black, white, alpha, gamma});
                }
            }
        }
    }
    return grid;
}

std::vector<std::uint16_t> CurveOf(const ParamPositions& positions, TableShape shape) {
    std::vector<std::uint16_t> table(shape.entries);
    EXPECT_TRUE(ComputeChannelCurve(MakeChannelParams(positions), table, shape.maxLevel));
    return table;
}

// The curve on the normalised input written straight from its definition: a
// line through the origin up to where it touches (1 - k) L^p + k, found by
// bisection on the touching condition V(L) = L V'(L), the power law above.
class PlainCurve {
public:
    explicit PlainCurve(const ChannelParams& c)
        : p_(1.0 / c.Gamma), k_(std::pow(0.45 * c.Gamma, 2) * (1.0 - c.Alpha)) {
        double lo = 0.0;
        double hi = 1.0;
        for (int i = 0; i < 200; ++i) {
            const double mid = (lo + hi) / 2;
            (Power(mid) - mid * p_ * (1.0 - k_) * std::pow(mid, p_ - 1.0) < 0 ? lo : hi) = mid;
        }
        touch_ = hi;
    }
    double operator()(double l) const { return l < touch_ ? l * Power(touch_) / touch_ : Power(l); }

private:
    double Power(double l) const { return (1.0 - k_) * std::pow(l, p_) + k_; }
    double p_;
    double k_;
    double touch_ = 0.0;
};

TEST(CurveTable, At256EntriesOf255ItIsTheWindowsTable) {
    for (int black = 0; black <= 100; black += 3) {
        for (int white = 200; white <= 255; white += 5) {
            for (int alpha = 0; alpha <= 200; alpha += 10) {
                for (int gamma = 150; gamma <= 250; gamma += 10) {
                    const ParamPositions positions{black, white, alpha, gamma};
                    GammaTable window{};
                    ComputeChannelTable(MakeChannelParams(positions), window);
                    const std::vector<std::uint16_t> curve = CurveOf(positions, kWindowShape);
                    ASSERT_TRUE(std::equal(window.begin(), window.end(), curve.begin()))
                        << black << " " << white << " " << alpha << " " << gamma;
                }
            }
        }
    }
}

class OtherShapes : public testing::TestWithParam<TableShape> {};

TEST_P(OtherShapes, FollowThePlainCurveRoundedHalfUp) {
    const TableShape shape = GetParam();
    for (const ParamPositions& positions : PositionGrid()) {
        const ChannelParams c = MakeChannelParams(positions);
        const PlainCurve curve(c);
        const std::vector<std::uint16_t> table = CurveOf(positions, shape);
        for (std::size_t j = 0; j < shape.entries; ++j) {
            const double x = j * 255.0 / (shape.entries - 1);
            const double l = (x - c.Black) / (c.White - c.Black);
            const double raw = l <= 0 ? 0.0 : shape.maxLevel * curve(l) + 0.5;
            const double level = std::clamp(std::floor(raw), 0.0, double(shape.maxLevel));
            // Where the raw value sits on a rounding edge, either side is right.
            const bool onEdge = std::abs(raw - std::round(raw)) < 1e-6;
            ASSERT_TRUE(table[j] == level || (onEdge && std::abs(table[j] - level) <= 1))
                << "entry " << j << " is " << table[j] << ", not " << level << " for "
                << positions.black << " " << positions.white << " " << positions.alpha << " "
                << positions.gamma;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, OtherShapes,
                         testing::Values(TableShape{2, 1}, TableShape{255, 255},
                                         TableShape{257, 255}, TableShape{256, 65535},
                                         TableShape{1024, 1023}, TableShape{4096, 255},
                                         TableShape{65536, 65535}),
                         [](const auto& info) {
                             return std::to_string(info.param.entries) + "of" +
                                    std::to_string(info.param.maxLevel);
                         });

TEST(CurveTable, SixteenBitTablesRiseFromZeroAtBlackToTheTopAtWhiteWithoutADrop) {
    constexpr TableShape kShape{65536, 65535};
    for (const ParamPositions& positions : PositionGrid()) {
        const ChannelParams c = MakeChannelParams(positions);
        const std::vector<std::uint16_t> table = CurveOf(positions, kShape);
        for (std::size_t j = 0; j < table.size(); ++j) {
            const double x = j * 255.0 / (kShape.entries - 1);
            if (x <= c.Black) {
                ASSERT_EQ(table[j], 0) << "entry " << j;
            }
            if (x >= c.White) {
                ASSERT_EQ(table[j], kShape.maxLevel) << "entry " << j;
            }
            if (j > 0) {
                ASSERT_GE(table[j], table[j - 1])
                    << "entry " << j << " for " << positions.black << " " << positions.white << " "
                    << positions.alpha << " " << positions.gamma;
            }
        }
    }
}

TEST(CurveTable, ShapesOutsideTheLimitsWriteNothing) {
    struct Case {
        std::size_t entries;
        int maxLevel;
    };
    for (const Case c : {Case{0, 255}, Case{1, 255}, Case{65537, 65535}, Case{256, 0},
                         Case{256, -1}, Case{256, 65536}}) {
        std::vector<std::uint16_t> table(c.entries, 7);
        EXPECT_FALSE(ComputeCurveTable(255.0, table, c.maxLevel, 0.5, 1.099, 0.0))
            << c.entries << " of " << c.maxLevel;
        EXPECT_EQ(std::count(table.begin(), table.end(), 7), static_cast<long>(c.entries));
    }
}

} // namespace

}  // namespace curve_table_test
