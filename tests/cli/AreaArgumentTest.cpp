// The text of --area: four plain decimals of millimetres, the width and
// height above 0; anything else is refused, naming the field at fault.
#include "cli/AreaArgument.h"

#include <gtest/gtest.h>

#include <string>

namespace area_argument_test {

namespace {

TEST(AreaArgument, FourPlainDecimalsAreTheAreaAndAllElseNamesTheFieldAtFault) {
    const std::string huge = "1" + std::string(400, '0'); // past a double's range
    const std::string big = "1" + std::string(308, '0');  // 1e308: twice that is past it
    const struct {
        std::string text;
        std::optional<ScanArea> area;
        const char* error; // the start of the message when there is no area
    } cases[] = {
        {"10,20.5,100,50.25", ScanArea::OfSize(10, 20.5, 100, 50.25), ""},
        {"0,0,0.001,216", ScanArea::OfSize(0, 0, 0.001, 216), ""},
        {"007,.5,5.,1", ScanArea::OfSize(7, 0.5, 5, 1), ""},
        {"", std::nullopt, "takes LEFT,TOP,WIDTH,HEIGHT"},
        {",,,", std::nullopt, "LEFT takes"},
        {"1,2,3", std::nullopt, "takes LEFT,TOP,WIDTH,HEIGHT"},
        {"1,2,3,4,", std::nullopt, "takes LEFT,TOP,WIDTH,HEIGHT"},
        {"-1,0,10,10", std::nullopt, "LEFT takes a plain number of millimetres, 0 or more, not -1"},
        {"0,-1,10,10", std::nullopt, "TOP takes"},
        {"+1,0,10,10", std::nullopt, "LEFT takes"},
        {"1e1,0,10,10", std::nullopt, "LEFT takes"},
        {"inf,0,10,10", std::nullopt, "LEFT takes"},
        {"1..5,0,10,10", std::nullopt, "LEFT takes"},
        {".,0,10,10", std::nullopt, "LEFT takes"},
        {"0,0,10,10 ", std::nullopt, "HEIGHT takes"},
        {"0,0,0.000,10", std::nullopt,
         "WIDTH takes a plain number of millimetres above 0, not 0.000"},
        {"0,0,10,0", std::nullopt, "HEIGHT takes"},
        {huge + ",0,10,10", std::nullopt, "LEFT takes"},
        {big + ",0," + big + ",10", std::nullopt, "LEFT + WIDTH"}, // past a double's range
        {"0," + big + ",10,50.25", std::nullopt, "TOP + HEIGHT"},  // lost beside the top
    };
    for (const auto& c : cases) {
        const AreaParse parsed = ParseAreaArgument(c.text);
        EXPECT_EQ(parsed.area, c.area) << "\"" << c.text << "\"";
        EXPECT_EQ(parsed.error.rfind(c.error, 0), 0u) << "\"" << c.text << "\": " << parsed.error;
    }
}

} // namespace

} // namespace area_argument_test
