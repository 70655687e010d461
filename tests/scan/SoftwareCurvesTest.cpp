// Curves applied to scanned rows where the device takes no tables.
#include "scan/SoftwareCurves.h"

#include <gtest/gtest.h>

#include <cstring>

namespace software_curves_test {

namespace {

ChannelParamsSet DistinctChannels() {
    ParamPositions red;
    red.gamma += 40;
    ParamPositions blue;
    blue.black += 20;
    return {MakeChannelParams(red), kDefaultChannelParams, MakeChannelParams(blue)};
}

// 8-bit samples get exactly the window's tables: the same result as apply.
TEST(SoftwareCurves, EightBitColourGoesThroughEachChannelsWindowTable) {
    const ChannelParamsSet channels = DistinctChannels();
    SampleImage image{{256, 1, kRgbChannels, kByteDepth}, {}};
    for (int level = 0; level < 256; ++level) {
        for (int c = 0; c < 3; ++c) {
            image.bytes.push_back(static_cast<std::uint8_t>(level));
        }
    }
    RowCurves(channels, image.layout).Map(image.bytes);
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        GammaTable table{};
        ComputeChannelTable(channels[c], table);
        for (int level = 0; level < 256; ++level) {
            ASSERT_EQ(image.Sample(level, 0, static_cast<int>(c)), table[level])
                << c << " " << level;
        }
    }
}

// 16-bit samples keep their precision: the ends stay at 0 and 65535 under the
// start-up curve, and the curve rises.
TEST(SoftwareCurves, SixteenBitGreyFollowsTheGreenCurveAtFullPrecision) {
    ChannelParamsSet channels = DistinctChannels();
    SampleImage image{{3, 1, kGreyChannels, kWordDepth}, std::vector<std::uint8_t>(6)};
    const std::uint16_t levels[] = {0, 32768, 65535};
    std::memcpy(image.bytes.data(), levels, sizeof levels);
    SampleImage shifted = image;
    RowCurves(channels, image.layout).Map(image.bytes);
    EXPECT_EQ(image.Sample(0, 0, 0), 0);
    EXPECT_EQ(image.Sample(2, 0, 0), 65535);
    channels[kGreen] = channels[kBlue];
    RowCurves(channels, shifted.layout).Map(shifted.bytes);
    EXPECT_GT(image.Sample(1, 0, 0), shifted.Sample(1, 0, 0));
}

} // namespace

}  // namespace software_curves_test
