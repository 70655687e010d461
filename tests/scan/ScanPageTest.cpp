// Scans from SANE's virtual test device: colour and grey, 8 and 16 bits,
// three-pass frames, a hand scanner's unknown height, cancels and failures,
// and the tables loaded beforehand.
#include "scan/ScanPage.h"
#include "scan/DeviceChoices.h"
#include "scan/DeviceTables.h"
#include "scan/SaneSession.h"
#include "scan/ScanJob.h"

#include "curve/ChannelCurve.h"
#include "scan/GammaOptions.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

namespace scan_page_test {

namespace {

constexpr const char* kTestDevice = "test:0";
constexpr const char* kLowDpi = "50";
constexpr const char* kPipeFillingDpi = "200";

using Settings = std::vector<std::pair<const char*, const char*>>;

class ScanPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(session_.Failure()) << session_.Failure().Text;
        DeviceOpen open = session_.Open(kTestDevice);
        ASSERT_FALSE(open.reason) << open.reason.Text;
        device_.emplace(std::move(*open.device));
    }

    void Apply(const Settings& settings) {
        for (const auto& [name, value] : settings) {
            const Reason reason = device_->Set(name, value);
            ASSERT_FALSE(reason) << name << "=" << value << ": " << reason.Text;
        }
    }

    ScanResult Scan(const Settings& settings) {
        Apply(settings);
        return ScanPage(*device_, never_);
    }

    SaneSession session_;
    std::optional<SaneDevice> device_;
    std::atomic<bool> never_{false};
};

bool SamePixels(const SampleImage& a, const SampleImage& b) {
    return a.layout == b.layout && a.bytes == b.bytes;
}

TEST_F(ScanPageTest, ColourAndGreyAtBothDepthsGiveTheFramesShape) {
    struct Case {
        const char* mode;
        const char* depth;
        int channels;
        int bits;
    };
    for (const Case c : {Case{"Color", "8", 3, 8}, Case{"Color", "16", 3, 16},
                         Case{"Gray", "8", 1, 8}, Case{"Gray", "16", 1, 16}}) {
        const ScanResult result = Scan({{"mode", c.mode},
                                        {"depth", c.depth},
                                        {"resolution", kLowDpi},
                                        {"test-picture", "Color pattern"}});
        ASSERT_FALSE(result.reason) << c.mode << c.depth << ": " << result.reason.Text;
        const SampleLayout& layout = result.image.layout;
        EXPECT_EQ(layout.channels, c.channels);
        EXPECT_EQ(layout.depth, c.bits);
        // 80 mm x 100 mm at 50 dpi.
        EXPECT_EQ(layout.width, 157);
        EXPECT_EQ(layout.height, 196);
        EXPECT_EQ(result.image.bytes.size(), layout.RowBytes() * 196U);
    }
}

TEST_F(ScanPageTest, ThreePassFramesWeaveIntoTheSingleFrameImage) {
    Apply({{"mode", "Color"}, {"resolution", kLowDpi}, {"test-picture", "Color pattern"}});
    for (const char* depth : {"8", "16"}) {
        const ScanResult single = Scan({{"depth", depth}, {"three-pass", "no"}});
        ASSERT_FALSE(single.reason) << single.reason.Text;
        for (const char* order : {"RGB", "BRG"}) {
            const ScanResult passes = Scan({{"three-pass", "yes"}, {"three-pass-order", order}});
            ASSERT_FALSE(passes.reason) << passes.reason.Text;
            EXPECT_TRUE(SamePixels(single.image, passes.image)) << depth << " bits, " << order;
        }
    }
}

TEST_F(ScanPageTest, AHandScannersUnknownHeightIsReadToTheEnd) {
    const ScanResult result =
        Scan({{"hand-scanner", "yes"}, {"resolution", kLowDpi}, {"mode", "Color"}});
    ASSERT_FALSE(result.reason) << result.reason.Text;
    EXPECT_EQ(result.image.layout.width, 216); // its fixed 11 cm
    EXPECT_GT(result.image.layout.height, 0);
    EXPECT_EQ(result.image.bytes.size(), result.image.layout.RowBytes() *
                                             static_cast<std::size_t>(result.image.layout.height));
}

TEST_F(ScanPageTest, BytesPastThePixelsOfALineAreDropped) {
    const ScanResult whole = Scan({{"resolution", kLowDpi}, {"test-picture", "Grid"}});
    const ScanResult lossy = Scan({{"ppl-loss", "7"}});
    ASSERT_FALSE(whole.reason);
    ASSERT_FALSE(lossy.reason) << lossy.reason.Text;
    EXPECT_EQ(lossy.image.layout.width, whole.image.layout.width - 7);
    EXPECT_EQ(lossy.image.Sample(3, 3, 0), whole.image.Sample(3, 3, 0));
}

// A page streamed at 300 dpi (several runs) with bytes past the pixels of
// each line: runs of whole rows, the shape promised, every row once.
TEST_F(ScanPageTest, AStreamedPageComesInRunsOfWholeRows) {
    Apply({{"resolution", "300"}, {"mode", "Color"}, {"depth", "16"}, {"ppl-loss", "3"}});
    SampleLayout shape;
    std::vector<std::size_t> runs;
    const Reason reason =
        ScanPage(*device_, never_, {}, [&](const SampleLayout& layout, const PageReader& read) {
            shape = layout;
            return read([&](std::span<std::uint8_t> rows) {
                runs.push_back(rows.size());
                return true;
            });
        });
    ASSERT_FALSE(reason) << reason.Text;
    EXPECT_EQ(shape.height, 1181); // 100 mm
    EXPECT_GT(runs.size(), 1U);
    std::size_t total = 0;
    for (const std::size_t run : runs) {
        EXPECT_EQ(run % shape.RowBytes(), 0U);
        total += run;
    }
    EXPECT_EQ(total, shape.RowBytes() * static_cast<std::size_t>(shape.height));
}

TEST_F(ScanPageTest, ASinkThatStopsEndsTheScanAndLeavesTheDeviceReady) {
    Apply({{"resolution", "300"}});
    int runs = 0;
    const Reason stopped =
        ScanPage(*device_, never_, {}, [&](const SampleLayout&, const PageReader& read) {
            return read([&](std::span<std::uint8_t>) {
                ++runs;
                return false;
            });
        });
    EXPECT_EQ(stopped.Code, ReasonCode::WriteFailed);
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(Scan({{"resolution", kLowDpi}}).reason);
}

TEST_F(ScanPageTest, ACancelMidScanStopsItAndLeavesTheDeviceReady) {
    Apply({{"resolution", kPipeFillingDpi}, {"read-limit", "yes"}, {"read-limit-size", "4096"}});
    std::atomic<bool> cancel{false};
    double last = 0;
    const ScanResult cancelled = ScanPage(*device_, cancel, [&](double fraction) {
        last = fraction;
        if (fraction > 0.3) {
            cancel = true;
        }
    });
    EXPECT_EQ(cancelled.reason.Code, ReasonCode::Cancelled);
    EXPECT_GT(last, 0.3);
    EXPECT_LT(last, 0.5);
    EXPECT_FALSE(Scan({{"resolution", kLowDpi}}).reason);
}

// The test backend refuses a second open of a device while the first is
// held, as a scanner in use by another front end is: the scan fails at its
// start with SANE's "Device busy", and goes through once the device is free.
TEST_F(ScanPageTest, ABusyDeviceFailsAtTheStartAndScansOnceItIsFree) {
    ScanSettings settings;
    settings.device = kTestDevice;
    settings.resolution = kLowDpi;
    const std::atomic<bool> never{false};
    const ScanOutcome busy = RunScanJob(session_, settings, never);
    EXPECT_EQ(busy.reason.Code, ReasonCode::DeviceError);
    EXPECT_EQ(busy.reason.Value, SANE_STATUS_DEVICE_BUSY);
    EXPECT_EQ(busy.reason.Text, sane_strstatus(SANE_STATUS_DEVICE_BUSY));
    EXPECT_EQ(busy.device, kTestDevice);
    EXPECT_EQ(busy.image.layout.width, 0);
    device_.reset(); // the other front end lets go
    const ScanOutcome scanned = RunScanJob(session_, settings, never);
    EXPECT_FALSE(scanned.reason) << scanned.reason.Text;
    EXPECT_GT(scanned.image.layout.width, 0);
}

TEST_F(ScanPageTest, DeviceFailuresAreReasonsInSanesWords) {
    for (const SANE_Status status :
         {SANE_STATUS_JAMMED, SANE_STATUS_IO_ERROR, SANE_STATUS_NO_DOCS, SANE_STATUS_CANCELLED}) {
        const std::string name =
            std::string("SANE_STATUS_") + (status == SANE_STATUS_JAMMED     ? "JAMMED"
                                           : status == SANE_STATUS_IO_ERROR ? "IO_ERROR"
                                           : status == SANE_STATUS_NO_DOCS  ? "NO_DOCS"
                                                                            : "CANCELLED");
        // With select-fd the scan waits on the backend's descriptor before
        // each read, the way a slow device is read.
        const ScanResult result = Scan({{"resolution", kPipeFillingDpi},
                                        {"select-fd", "yes"},
                                        {"read-return-value", name.c_str()}});
        EXPECT_EQ(result.reason.Code, ReasonCode::DeviceError) << name;
        EXPECT_EQ(result.reason.Value, status);
        EXPECT_EQ(result.reason.Text, sane_strstatus(status));
    }
}

TEST_F(ScanPageTest, OptionsThatComeIntoBeingAfterASetCanBeSet) {
    // three-pass is inactive in grey and comes alive with colour.
    Apply({{"mode", "Gray"}});
    EXPECT_TRUE(device_->Set("three-pass", "yes"));
    Apply({{"mode", "Color"}, {"three-pass", "yes"}});
    EXPECT_EQ(device_->Words("three-pass"), std::vector<std::int32_t>{1});
}

TEST_F(ScanPageTest, BadNamesAndValuesNameTheOption) {
    const Reason unknown = device_->Set("no-such-option", "1");
    EXPECT_EQ(unknown.Code, ReasonCode::Unsupported);
    EXPECT_NE(unknown.Text.find("no-such-option"), std::string::npos);
    const Reason outside = device_->Set("resolution", "5000");
    EXPECT_NE(outside.Text.find("resolution"), std::string::npos);
    EXPECT_TRUE(device_->Set("source", "Transparency"));
}

TEST_F(ScanPageTest, CurveTablesGoIntoTheDeviceAtItsSize) {
    ParamPositions green;
    green.gamma += 40;
    const ChannelParamsSet channels = {kDefaultChannelParams, MakeChannelParams(green),
                                       kDefaultChannelParams};
    const TablesLoad load = LoadCurveTables(*device_, channels);
    ASSERT_FALSE(load.reason) << load.reason.Text;
    EXPECT_EQ(load.loaded, TablesLoaded::InDevice);
    std::vector<std::uint16_t> plain(256);
    ComputeChannelCurve(kDefaultChannelParams, plain, 255);
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        std::vector<std::uint16_t> expected(256);
        ComputeChannelCurve(channels[c], expected, 255);
        EXPECT_EQ(c == kGreen, expected != plain);
        EXPECT_EQ(device_->Words(kChannelTableOptions[c]),
                  std::vector<std::int32_t>(expected.begin(), expected.end()));
    }
}

TEST_F(ScanPageTest, ALinearScanLoadsIdentityTablesWhereThereIsNoSwitch) {
    ASSERT_FALSE(LoadLinear(*device_));
    EXPECT_EQ(device_->Words("red-gamma-table"), IdentityTable({256, 255}));
    const auto intensity = device_->Words("gamma-table");
    ASSERT_TRUE(intensity);
    ASSERT_EQ(intensity->size(), 4096U);
    EXPECT_EQ(intensity->front(), 0);
    EXPECT_EQ(intensity->back(), 255);
    EXPECT_EQ((*intensity)[2048], 128); // 2048 * 255 / 4095 = 127.53
}

TEST_F(ScanPageTest, TheDialogIsOfferedTheDevicesOwnChoices) {
    const DeviceChoices choices = ChoicesOf(*device_);
    // Its resolution is a range of 1..1200 dpi: the usual steps within it and
    // its ends, but not 1 dpi while finer ones are offered.
    EXPECT_EQ(choices.resolutions, (std::vector<int>{75, 100, 150, 200, 300, 600, 1200}));
    EXPECT_EQ(choices.modes, (std::vector<std::string>{"Color", "Gray"}));
    // 1-bit line art is not offered.
    EXPECT_EQ(choices.depths, (std::vector<int>{8, 16}));
}

TEST(IdentityTable, IsProportionalAtEverySize) {
    EXPECT_EQ(IdentityTable({2, 1}), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(IdentityTable({4, 6}), (std::vector<std::int32_t>{0, 2, 4, 6}));
    const auto wide = IdentityTable({65536, 65535});
    for (std::size_t i = 0; i < wide.size(); i += 4099) {
        EXPECT_EQ(wide[i], static_cast<std::int32_t>(i));
    }
}

} // namespace

}  // namespace scan_page_test
