// The scan area's arithmetic: device words <-> millimetres for beds counted
// in millimetres and in pixels, the steps and limits the device imposes,
// pixels and file size at a resolution.
#include "scan/BedGeometry.h"
#include "scan/ScanSize.h"

#include <gtest/gtest.h>

#include <cmath>

namespace bed_geometry_test {

namespace {

constexpr std::int32_t kOne = 65536; // 1.0 in 16.16 fixed point

OptionDescriptor Geometry(const char* name, OptionType type, OptionUnit unit, OptionRange range) {
    OptionDescriptor option;
    option.name = name;
    option.type = type;
    option.unit = unit;
    option.size = kOptionWordSize;
    option.constraint = range;
    return option;
}

OptionDescriptors Bed(OptionType type, OptionUnit unit, OptionRange x, OptionRange y) {
    return {Geometry(kTopLeftXOption, type, unit, x), Geometry(kTopLeftYOption, type, unit, y),
            Geometry(kBottomRightXOption, type, unit, x),
            Geometry(kBottomRightYOption, type, unit, y)};
}

// An A4 flatbed in fixed-point millimetres, 215.9 x 297.2 mm.
BedGeometry MmBed(std::int32_t quant = 0) {
    return *BedGeometryOf(
        Bed(OptionType::Fixed, OptionUnit::Millimetre, {0, 14149222, quant}, {0, 19477299, quant}), 0);
}

TEST(ScanArea, DeviceWordsAndMillimetresConvertBothWays) {
    const struct {
        const char* name;
        BedGeometry bed;
        double mm;
        std::int32_t word;
    } cases[] = {
        {"fixed mm: 10 mm", MmBed(), 10.0, 10 * kOne},
        {"fixed mm: the far edge", MmBed(), 215.9, 14149222},
        {"fixed mm beyond the bed: clamped", MmBed(), 500.0, 14149222},
        {"fixed mm below zero: clamped", MmBed(), -3.0, 0},
        {"fixed mm on 1 mm steps: rounded to the nearest", MmBed(kOne), 10.6, 11 * kOne},
        {"pixels at 600 dpi: 25.4 mm is 600",
         *BedGeometryOf(Bed(OptionType::Int, OptionUnit::Pixel, {0, 5100, 1}, {0, 7020, 1}), 600), 25.4,
         600},
        {"pixels with a range that starts at 10: 0 mm is its start",
         *BedGeometryOf(Bed(OptionType::Int, OptionUnit::Pixel, {10, 5100, 1}, {0, 7020, 1}), 600), 0.0,
         10},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WordOfMm(c.bed, c.bed.x, c.mm), c.word) << c.name;
        if (c.mm >= 0 && c.mm <= c.bed.WidthMm() && std::fmod(c.mm, 1.0) == 0) {
            EXPECT_NEAR(MmOfWord(c.bed, c.bed.x, c.word), c.mm, 1e-9) << c.name;
        }
    }
}

TEST(ScanArea, ABedNeedsFourRangedGeometryOptionsInMillimetresOrPixels) {
    EXPECT_TRUE(BedGeometryOf(Bed(OptionType::Fixed, OptionUnit::Millimetre, {0, kOne, 0}, {0, kOne, 0}), 0));
    EXPECT_FALSE(BedGeometryOf(Bed(OptionType::Fixed, OptionUnit::Percent, {0, kOne, 0}, {0, kOne, 0}), 0))
        << "percent";
    EXPECT_FALSE(BedGeometryOf(Bed(OptionType::Int, OptionUnit::Pixel, {0, 100, 1}, {0, 100, 1}), 0))
        << "pixels without a resolution";
    OptionDescriptors missing = Bed(OptionType::Fixed, OptionUnit::Millimetre, {0, kOne, 0}, {0, kOne, 0});
    missing.pop_back();
    EXPECT_FALSE(BedGeometryOf(missing, 0)) << "no br-y";
    OptionDescriptors inactive = Bed(OptionType::Fixed, OptionUnit::Millimetre, {0, kOne, 0}, {0, kOne, 0});
    inactive[0].active = false;
    EXPECT_FALSE(BedGeometryOf(inactive, 0)) << "inactive tl-x";
}

TEST(ScanArea, AConstrainedAreaIsOrderedInsideTheBedAndAtLeastOneStep) {
    const BedGeometry bed = MmBed(kOne);
    const struct {
        const char* name;
        BedArea asked;
        BedArea got;
    } cases[] = {
        {"inside, on steps", {10, 20, 110, 220}, {10, 20, 110, 220}},
        {"swapped edges", {110, 220, 10, 20}, {10, 20, 110, 220}},
        {"beyond the bed", {-5, -5, 400, 400}, {0, 0, 215, 297}},
        {"off the steps", {10.4, 20.6, 50.2, 60.5}, {10, 21, 50, 61}},
        {"empty: one step wide", {30, 40, 30, 40}, {30, 40, 31, 41}},
        {"empty at the far edge: one step back", {215, 297, 215, 297}, {214, 296, 215, 297}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Constrained(bed, c.asked), c.got) << c.name;
    }
}

TEST(ScanArea, OptionsCarryTheAreaInTheDevicesUnitAndReadBackExactly) {
    const BedGeometry mm = MmBed();
    const auto fixed = AreaOptions(mm, {12.5, 0, 100.25, 150});
    ASSERT_EQ(fixed.size(), 4u);
    EXPECT_EQ(fixed[0], (std::pair<std::string, std::string>{"tl-x", "12.5"}));
    EXPECT_EQ(fixed[1], (std::pair<std::string, std::string>{"tl-y", "0"}));
    EXPECT_EQ(fixed[2], (std::pair<std::string, std::string>{"br-x", "100.25"}));
    EXPECT_EQ(fixed[3], (std::pair<std::string, std::string>{"br-y", "150"}));
    const BedGeometry px =
        *BedGeometryOf(Bed(OptionType::Int, OptionUnit::Pixel, {0, 5100, 1}, {0, 7020, 1}), 600);
    const auto pixels = AreaOptions(px, {25.4, 50.8, 127, 254});
    EXPECT_EQ(pixels[0].second, "600");
    EXPECT_EQ(pixels[1].second, "1200");
    EXPECT_EQ(pixels[2].second, "3000");
    EXPECT_EQ(pixels[3].second, "6000");
}

TEST(ScanSize, PixelsAndBytesOfAnAreaAtAResolution) {
    const BedArea a4{0, 0, 210, 297};
    const struct {
        const char* name;
        BedArea area;
        int dpi, channels, depth;
        PixelSize pixels;
        std::uint64_t bytes;
    } cases[] = {
        {"A4 at 1200 dpi, 16-bit colour", a4, 1200, 3, 16, {9921, 14031}, 835'209'306},
        {"A4 at 300 dpi, 8-bit grey", a4, 300, 1, 8, {2480, 3508}, 8'699'840},
        {"one inch at 75 dpi, 8-bit colour", {10, 10, 35.4, 35.4}, 75, 3, 8, {75, 75}, 16'875},
        {"nothing", {5, 5, 5, 5}, 600, 3, 16, {0, 0}, 0},
    };
    for (const auto& c : cases) {
        const PixelSize pixels = PixelsAt(c.area, c.dpi);
        EXPECT_EQ(pixels, c.pixels) << c.name;
        EXPECT_EQ(EstimatedFileBytes(pixels, c.channels, c.depth), c.bytes) << c.name;
    }
}

} // namespace

}  // namespace bed_geometry_test
