// The projective map of a chart's four corners: the grid's corners land on
// the corners given, and chart points come back from the scan where they
// were, inside the grid and beyond it (where the IT8 grey scale lies),
// whether the chart lies square, turned or in perspective.
#include "measure/ChartMap.h"

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

} // namespace

} // namespace chart_map_test
