// A strip's map shown as the window shows a linear scan: one pixel per
// cell, clear film light and the holder black, each channel on its own.
#include "measure/StripPicture.h"

#include <gtest/gtest.h>

namespace strip_picture_test {

TEST(StripPicture, ClearerCellsShowLighterEachChannelOnItsOwn) {
    StripMap map;
    map.columns = 3;
    map.rows = 1;
    map.cells = {{0, 0, 0}, {65535, 65535, 65535}, {1000, 8000, 30000}};
    const SampleImage picture = StripPicture(map);
    ASSERT_EQ(picture.layout.width, 3);
    ASSERT_EQ(picture.layout.height, 1);
    EXPECT_EQ(picture.Sample(0, 0, 0), 0);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(picture.Sample(1, 0, c), 255) << c;
    }
    EXPECT_LT(picture.Sample(2, 0, 0), picture.Sample(2, 0, 1));
    EXPECT_LT(picture.Sample(2, 0, 1), picture.Sample(2, 0, 2));
    EXPECT_TRUE(StripPicture(StripMap{}).bytes.empty());
}

} // namespace strip_picture_test
