// Seeing a whole photo in the real program: 「全体を表示」 (F) fits an image
// larger than the area, the readout then reads the image's own pixel under
// the pointer (not the averaged one shown), Ctrl+wheel zooms about the
// pointer and 1 returns to 1:1; mixed with a scan taken in, saved, and
// another file opened, in a user's order.
#include "curve/ChannelParams.h"
#include "tests/app/ScanSteps.h"
#include "tests/image/BmpWriter.h"

#include <gtest/gtest.h>

namespace zoom_end_to_end_test {

namespace {

using namespace apptest;

// 1000 x 1000: dark green on the left, purple on the right, and between
// them pixels alternating 0 and 255 (shown zoomed out as mid grey). At 1:1
// the area (about 460 pixels wide, centred) shows only the alternating part.
constexpr std::int32_t kSide = 1000;
constexpr std::int32_t kLeftEdge = 150;
constexpr std::int32_t kRightEdge = 850;
constexpr std::uint32_t kLeftColour = 0x0AC81E;  // 10, 200, 30
constexpr std::uint32_t kRightColour = 0xC80A5A; // 200, 10, 90

std::filesystem::path WriteRegions(const ScratchDir& scratch) {
    bmptest::Picture p{kSide, kSide, {}};
    p.pixels.resize(std::size_t{kSide} * kSide);
    for (std::int32_t y = 0; y < kSide; ++y) {
        for (std::int32_t x = 0; x < kSide; ++x) {
            const std::uint32_t alternate = (x + y) % 2 ? 0xFFFFFF : 0;
            p.pixels[static_cast<std::size_t>(y) * kSide + x] =
                x < kLeftEdge ? kLeftColour : (x >= kRightEdge ? kRightColour : alternate);
        }
    }
    const auto path = scratch / "regions.bmp";
    bmptest::WriteFile(path, bmptest::EncodeBmp(p));
    return path;
}

std::string ReadAt(int x, int y) {
    return "; move IDC_IMAGE " + std::to_string(x) + " " + std::to_string(y) +
           "; print IDC_PIXEL_R; print IDC_PIXEL_G; print IDC_PIXEL_B";
}

std::string Rgb(const std::string& out, std::size_t nth) {
    const auto r = Printed(out, "IDC_PIXEL_R");
    const auto g = Printed(out, "IDC_PIXEL_G");
    const auto b = Printed(out, "IDC_PIXEL_B");
    if (nth >= r.size() || nth >= g.size() || nth >= b.size()) {
        return "(not read)";
    }
    return r[nth] + " " + g[nth] + " " + b[nth];
}

bool Alternating(const std::string& rgb) {
    return rgb == "R: 0 G: 0 B: 0" || rgb == "R: 255 G: 255 B: 255";
}

// The readout at the area's left and right edges and its middle: at 1:1 all
// alternating pixels; fitted, the two sides' colours and an alternating
// pixel (the image's own level, before the tables); after a wheel notch in
// about the right side, still the right side; back at 1:1, alternating.
TEST(TamrelZoom, FittedTheReadoutReadsTheImagesOwnPixelUnderThePointerAtAnyZoom) {
    const ScratchDir scratch;
    RunSetup setup;
    setup.script = OpenImageSteps(WriteRegions(scratch)) + "; key \\" + ReadAt(15, 250) +
                   "; key F; wait 200" + ReadAt(15, 250) + ReadAt(440, 250) + ReadAt(229, 250) +
                   "; wheel IDC_IMAGE 440 250 1 Ctrl; wait 200" + ReadAt(440, 250) +
                   "; key 1; wait 200" + ReadAt(15, 250) + "; key Escape";
    const auto result = RunTamrel(scratch, setup);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(Alternating(Rgb(result.out, 0))) << Rgb(result.out, 0) << "\n" << result.out;
    EXPECT_EQ(Rgb(result.out, 1), "R: 10 G: 200 B: 30") << result.out;
    EXPECT_EQ(Rgb(result.out, 2), "R: 200 G: 10 B: 90") << result.out;
    EXPECT_TRUE(Alternating(Rgb(result.out, 3))) << Rgb(result.out, 3);
    EXPECT_EQ(Rgb(result.out, 4), "R: 200 G: 10 B: 90") << "zoomed in about the right side";
    EXPECT_TRUE(Alternating(Rgb(result.out, 5))) << Rgb(result.out, 5);
}

// Open, zoom to fit, take a scan in (it starts at 1:1 and reads as the
// scan), fit it too, save it, open another file: that file reads at once.
TEST(TamrelZoom, AUsersMixedOrderOfOpenFitScanAndOpenReadsEachPicture) {
    const ScratchDir scratch;
    bmptest::Picture grey{800, 700, {}};
    grey.pixels.assign(std::size_t{800} * 700, 0x404040);
    const auto greyPath = scratch / "grey.bmp";
    bmptest::WriteFile(greyPath, bmptest::EncodeBmp(grey));
    const std::string script =
        OpenImageSteps(WriteRegions(scratch)) + "; key F; wait 200; " + kAcquireSteps + "; key \\" +
        ReadAt(229, 250) + "; key F; wait 200" + ReadAt(229, 250) + "; key \\" +
        "; key Shift+F10; key V; wait 500; type " + (scratch / "scan.pnm").string() +
        "; key Return; wait 500; " + OpenImageSteps(greyPath) + ReadAt(229, 250) + "; key Escape";
    const auto result =
        RunTamrel(scratch, WithTestDevice(scratch, "test-picture \"Solid black\"\n", script));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Rgb(result.out, 0), "R: 0 G: 0 B: 0") << "the scan at 1:1\n" << result.out;
    EXPECT_EQ(Rgb(result.out, 1), "R: 0 G: 0 B: 0") << "the scan fitted";
    GammaTable table{};
    ComputeChannelTable(kDefaultChannelParams, table);
    const std::string level = std::to_string(table[0x40]);
    EXPECT_EQ(Rgb(result.out, 2), "R: " + level + " G: " + level + " B: " + level) << result.out;
    EXPECT_TRUE(std::filesystem::exists(scratch / "scan.pnm"));
}

} // namespace

} // namespace zoom_end_to_end_test
