// The text of --area: four plain decimals of millimetres, the width and
// height above 0; anything else is refused whole.
#include "cli/AreaArgument.h"

#include <gtest/gtest.h>

#include <string>

namespace area_argument_test {

namespace {

TEST(AreaArgument, FourPlainDecimalsAreTheAreaAndAllElseIsRefused) {
    const std::string huge = "1" + std::string(400, '0'); // past a double's range
    const std::string big = "1" + std::string(308, '0');  // 1e308: twice that is past it
    const struct {
        std::string text;
        std::optional<ScanArea> area;
    } cases[] = {
        {"10,20.5,100,50.25", ScanArea::OfSize(10, 20.5, 100, 50.25)},
        {"0,0,0.001,216", ScanArea::OfSize(0, 0, 0.001, 216)},
        {"007,.5,5.,1", ScanArea::OfSize(7, 0.5, 5, 1)},
        {"", std::nullopt},
        {",,,", std::nullopt},
        {"1,2,3", std::nullopt},
        {"1,2,3,4,", std::nullopt},
        {"-1,0,10,10", std::nullopt},
        {"+1,0,10,10", std::nullopt},
        {"1e1,0,10,10", std::nullopt},
        {"inf,0,10,10", std::nullopt},
        {"1..5,0,10,10", std::nullopt},
        {".,0,10,10", std::nullopt},
        {"0,0,10,10 ", std::nullopt},
        {"0,0,0.000,10", std::nullopt},
        {"0,0,10,0", std::nullopt},
        {huge + ",0,10,10", std::nullopt},
        {big + ",0," + big + ",10", std::nullopt}, // the right edge past a double's range
        {"0," + big + ",10,50.25", std::nullopt},  // the height lost beside the top
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseAreaArgument(c.text), c.area) << "\"" << c.text << "\"";
    }
}

} // namespace

}  // namespace area_argument_test
