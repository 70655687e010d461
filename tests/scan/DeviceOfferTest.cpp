// What the virtual test device offers a scan dialog, read through libsane:
// its sources, its bed in millimetres, the area it holds, its preview scan.
#include "scan/DeviceOffer.h"
#include "scan/ScanSize.h"
#include "tests/scan/SettableDevice.h"

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
    EXPECT_GT(offer.bed->Whole().Width(), 0);
    ASSERT_TRUE(offer.area.has_value());
    EXPECT_LE(offer.area->right, offer.bed->Whole().right);
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
    const PixelSize expected =
        PixelsAt(read.offer.bed->Whole(), read.offer.previewDpi, read.offer.rounding);
    EXPECT_EQ(outcome.image.layout.width, expected.width);
    EXPECT_EQ(outcome.image.layout.height, expected.height);
    EXPECT_EQ(outcome.image.layout.channels, kRgbChannels);
    EXPECT_EQ(outcome.image.layout.depth, kByteDepth);
}

// The size the dialog shows before a scan is the one the device announces
// for that area and resolution; learning it leaves the device's area as it was.
TEST(DeviceOffer, ThePixelsPredictedAreThoseTheDeviceAnnounces) {
    const SaneSession session;
    const OfferRead read = ReadOffer(session, kTestDevice, "");
    ASSERT_FALSE(read.reason) << read.reason.Text;
    EXPECT_EQ(read.offer.rounding, PixelRoundings{}) << "the test device cuts part pixels off";
    // The test backend keeps its options from one open to the next.
    EXPECT_EQ(ReadOffer(session, kTestDevice, "").offer.area, read.offer.area);
    const struct {
        ScanArea area;
        int dpi;
    } cases[] = {
        {ScanArea::OfSize(0, 0, 80, 80), 300},
        {{10, 10, 91, 93}, 300},
        {{3, 7, 16, 8}, 75},
        {{0, 0, 200, 200}, 1200},
        {{13, 0, 27, 1}, 37},
    };
    for (const auto& c : cases) {
        DeviceOpen open = session.Open(kTestDevice);
        ASSERT_FALSE(open.reason) << open.reason.Text;
        ASSERT_FALSE(open.device->Set(kResolutionOption, std::to_string(c.dpi)));
        ASSERT_FALSE(SetScanArea(*open.device, c.area));
        SANE_Parameters announced{};
        ASSERT_EQ(sane_get_parameters(open.device->Handle(), &announced), SANE_STATUS_GOOD);
        const PixelSize predicted =
            PixelsAt(Constrained(*read.offer.bed, c.area), c.dpi, read.offer.rounding);
        EXPECT_EQ(predicted.width, announced.pixels_per_line) << c.area.right << " @" << c.dpi;
        EXPECT_EQ(predicted.height, announced.lines) << c.area.bottom << " @" << c.dpi;
    }
    DeviceOpen open = session.Open(kTestDevice);
    ASSERT_FALSE(open.reason) << open.reason.Text;
    EXPECT_FALSE(SetScanArea(*open.device, *read.offer.area)); // as the other tests found it
}

TEST(DeviceOffer, ResolutionsUnder25DpiAreOfferedOnlyWithoutFinerOnes) {
    const struct {
        const char* name;
        OptionConstraint constraint;
        std::vector<int> offered;
    } cases[] = {
        {"a list with finer ones", OptionWordList{10, 24, 25, 300}, {25, 300}},
        {"a list of coarse ones only", OptionWordList{10, 20}, {10, 20}},
        {"a range from 1", OptionRange{1, 160, 1}, {75, 100, 150, 160}},
        {"a range below 25", OptionRange{5, 20, 1}, {5, 20}},
    };
    for (const auto& c : cases) {
        OptionDescriptor resolution = scantest::NumberOption(kResolutionOption, OptionType::Int,
                                                             OptionUnit::Dpi, OptionRange{});
        resolution.constraint = c.constraint;
        scantest::SettableDevice device({resolution});
        EXPECT_EQ(ChoicesOf(device).resolutions, c.offered) << c.name;
    }
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

} // namespace device_offer_test
