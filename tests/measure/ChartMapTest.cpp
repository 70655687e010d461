// The projective map of a chart's four corners: the grid's corners land on
// the corners given, and chart points come back from the scan where they
// were, inside the grid and beyond it (where the IT8 grey scale lies),
// whether the chart lies square, turned or in perspective. The map fitted
// to many points by least squares is the same map, and none is fitted to
// points in a line.
#include "measure/ChartMap.h"
#include "measure/ProjectiveFit.h"

#include <gtest/gtest.h>

#include <ostream>

namespace chart_map_test {

namespace {

struct MapCase {
    const char* name;
    ChartCorners corners;
};

// Cases print as their names.
void PrintTo(const MapCase& c, std::ostream* out) {
    *out << c.name;
}

const MapCase kCases[] = {
    {"Square", {{{10, 20}, {230, 20}, {230, 140}, {10, 140}}}},
    {"Turned", {{{30, 10}, {250, 40}, {232, 160}, {12, 130}}}},
    {"Perspective", {{{12, 8}, {240, 30}, {220, 150}, {20, 128}}}},
    {"UpsideDown", {{{230, 140}, {10, 140}, {10, 20}, {230, 20}}}},
};

class ChartMapTest : public testing::TestWithParam<MapCase> {};

TEST_P(ChartMapTest, CornersLandAndPointsComeBack) {
    const MapCase& c = GetParam();
    const std::optional<ChartMap> map = ChartMap::Make(c.corners, 22, 12);
    ASSERT_TRUE(map);
    const ImagePoint grid[] = {{0, 0}, {22, 0}, {22, 12}, {0, 12}};
    for (std::size_t i = 0; i < 4; ++i) {
        const ImagePoint at = map->ToImage(grid[i].x, grid[i].y);
        EXPECT_NEAR(at.x, c.corners[i].x, 1e-9);
        EXPECT_NEAR(at.y, c.corners[i].y, 1e-9);
    }
    for (const ImagePoint p :
         {ImagePoint{3.5, 4.25}, ImagePoint{21.9, 0.1}, ImagePoint{-1.04, 14.9}}) {
        const ImagePoint back = map->ToChart(map->ToImage(p.x, p.y));
        EXPECT_NEAR(back.x, p.x, 1e-9);
        EXPECT_NEAR(back.y, p.y, 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(Corners, ChartMapTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The lattice points of a 22 x 12 grid taken through each case's map, with
// the noise of a region's centre (a tenth of a pixel, alternating), give
// the map back within that noise anywhere on the chart.
TEST_P(ChartMapTest, TheMapFittedToManyPointsIsTheMap) {
    const ChartMap map = *ChartMap::Make(GetParam().corners, 22, 12);
    std::vector<PointPair> pairs;
    for (int row = 0; row < 12; ++row) {
        for (int column = 0; column < 22; ++column) {
            const ImagePoint at = map.ToImage(column + 0.5, row + 0.5);
            const double noise = (row + column) % 2 ? 0.1 : -0.1;
            pairs.push_back({{double(column), double(row)}, {at.x + noise, at.y - noise}});
        }
    }
    const std::optional<Matrix3> fitted = FitProjective(pairs);
    ASSERT_TRUE(fitted);
    for (const ImagePoint p :
         {ImagePoint{-0.5, -0.5}, ImagePoint{21.5, 11.5}, ImagePoint{-1.5, 14}}) {
        const ImagePoint want = map.ToImage(p.x + 0.5, p.y + 0.5);
        const ImagePoint got = Project(*fitted, p);
        EXPECT_NEAR(got.x, want.x, 0.1);
        EXPECT_NEAR(got.y, want.y, 0.1);
    }
}

TEST(ProjectiveFit, NoMapFromPointsInALineOrTooFew) {
    std::vector<PointPair> line;
    for (int i = 0; i < 10; ++i) {
        line.push_back({{double(i), 0}, {3.0 * i, 7.0 + i}});
    }
    EXPECT_FALSE(FitProjective(line));
    const std::vector<PointPair> three = {{{0, 0}, {0, 0}}, {{1, 0}, {5, 0}}, {{0, 1}, {0, 5}}};
    EXPECT_FALSE(FitProjective(three));
}

} // namespace

} // namespace chart_map_test
