// What the virtual test device offers a scan dialog, read through libsane:
// its sources, its bed in millimetres, the area it holds, its preview scan.
#include "scan/DeviceOffer.h"
#include "scan/ScanSize.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

namespace device_offer_test {

namespace {

constexpr const char* kTestDevice = "test:0";

TEST(DeviceOffer, TheTestDeviceOffersSourcesABedInMillimetresAndAPreview) {
    const SaneSession session;
    const OfferRead read = ReadOffer(session, kTestDevice, "");
    ASSERT_FALSE(read.reason) << read.reason.Text;
    const DeviceOffer& offer = read.offer;
    ASSERT_GE(offer.sources.size(), 2u);
    EXPECT_EQ(offer.source, offer.sources.front());
    ASSERT_TRUE(offer.bed.has_value());
    EXPECT_EQ(offer.bed->unit, OptionUnit::Millimetre);
    EXPECT_GT(offer.bed->WidthMm(), 0);
    ASSERT_TRUE(offer.area.has_value());
    EXPECT_LE(offer.area->right, offer.bed->WidthMm());
    EXPECT_GE(offer.previewDpi, kLowestPreviewDpi);
    EXPECT_FALSE(offer.colourMode.empty());
}

TEST(DeviceOffer, AnotherSourceIsSelectedBeforeTheOptionsAreRead) {
    const SaneSession session;
    const OfferRead first = ReadOffer(session, kTestDevice, "");
    ASSERT_FALSE(first.reason) << first.reason.Text;
    const std::string feeder = first.offer.sources.back();
    const OfferRead read = ReadOffer(session, kTestDevice, feeder);
    ASSERT_FALSE(read.reason) << read.reason.Text;
    EXPECT_EQ(read.offer.source, feeder);
    const OfferRead bad = ReadOffer(session, kTestDevice, "Nowhere");
    EXPECT_TRUE(bad.reason);
}

// The preview takes the whole bed at the preview resolution: its pixels are
// the bed's millimetres at that resolution.
TEST(DeviceOffer, ThePreviewScansTheWholeBedAtThePreviewResolution) {
    const SaneSession session;
    const OfferRead read = ReadOffer(session, kTestDevice, "");
    ASSERT_FALSE(read.reason) << read.reason.Text;
    const std::atomic<bool> cancel{false};
    const ScanSettings settings = PreviewSettings(kTestDevice, read.offer);
    // The source goes first, and what a change of source may reset after it.
    ASSERT_GE(settings.options.size(), 4u);
    EXPECT_EQ(settings.options[0].first, kSourceOption);
    EXPECT_EQ(settings.options[1],
              (std::pair<std::string, std::string>{kModeOption, *settings.mode}));
    EXPECT_EQ(settings.options[3].first, kResolutionOption);
    const ScanOutcome outcome = RunScanJob(session, settings, cancel);
    ASSERT_FALSE(outcome.reason) << outcome.reason.Text;
    const PixelSize expected = PixelsAt(WholeBed(*read.offer.bed), read.offer.previewDpi);
    EXPECT_NEAR(outcome.image.layout.width, expected.width, 1);
    EXPECT_NEAR(outcome.image.layout.height, expected.height, 1);
    EXPECT_EQ(outcome.image.layout.channels, kRgbChannels);
    EXPECT_EQ(outcome.image.layout.depth, kByteDepth);
}

TEST(DeviceOffer, ThePreviewResolutionIsTheLowestOfAtLeast50Dpi) {
    OptionDescriptor list;
    list.type = OptionType::Int;
    const struct {
        const char* name;
        OptionType type;
        OptionConstraint constraint;
        int dpi;
    } cases[] = {
        {"list", OptionType::Int, OptionWordList{600, 25, 75, 150}, 75},
        {"list all below 50", OptionType::Int, OptionWordList{10, 25}, 25},
        {"range from 1", OptionType::Fixed, OptionRange{1 << 16, 1200 << 16, 1 << 16}, 50},
        {"range from 100", OptionType::Int, OptionRange{100, 1200, 1}, 100},
        {"range on 75 dpi steps", OptionType::Int, OptionRange{75, 1200, 75}, 75},
        {"range on 40 dpi steps from 0", OptionType::Int, OptionRange{0, 1200, 40}, 80},
    };
    for (const auto& c : cases) {
        list.type = c.type;
        list.constraint = c.constraint;
        EXPECT_EQ(PreviewDpiOf(list), c.dpi) << c.name;
    }
    EXPECT_EQ(PreviewDpiOf(std::nullopt), 0);
}

} // namespace

}  // namespace device_offer_test
