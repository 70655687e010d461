// The scan area's arithmetic: device words <-> millimetres on the device's
// axes for beds counted in millimetres and in pixels, the steps and limits
// the device imposes, areas kept by earlier versions, and pixels and file
// size at a resolution as the device rounds them.
#include "scan/BedGeometry.h"
#include "scan/RoundingProbe.h"
#include "scan/ScanSize.h"

#include <gtest/gtest.h>

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

// Four geometry options, and a resolution of up to `dpi` where one is given.
OptionDescriptors Bed(OptionType type, OptionUnit unit, OptionRange x, OptionRange y, int dpi = 0) {
    OptionDescriptors options{
        Geometry(kTopLeftXOption, type, unit, x), Geometry(kTopLeftYOption, type, unit, y),
        Geometry(kBottomRightXOption, type, unit, x), Geometry(kBottomRightYOption, type, unit, y)};
    if (dpi > 0) {
        options.push_back(Geometry("resolution", OptionType::Int, OptionUnit::Dpi, {50, dpi, 0}));
    }
    return options;
}

BedGeometry Of(const OptionDescriptors& options) {
    const BedRead read = BedGeometryOf(options);
    EXPECT_FALSE(read.reason) << read.reason.Text;
    return read.bed;
}

// An A4 flatbed in fixed-point millimetres, 215.9 x 297.2 mm.
BedGeometry MmBed(std::int32_t quant = 0) {
    return Of(
        Bed(OptionType::Fixed, OptionUnit::Millimetre, {0, 14149222, quant}, {0, 19477299, quant}));
}

BedGeometry PixelBed(std::int32_t xMin = 0) {
    return Of(Bed(OptionType::Int, OptionUnit::Pixel, {xMin, 5100, 1}, {0, 7020, 1}, 600));
}

TEST(BedGeometry, DeviceWordsAndMillimetresConvertBothWays) {
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
        {"pixels at the highest 600 dpi: 25.4 mm is 600", PixelBed(), 25.4, 600},
        {"pixels from 10: the axis is the device's, 0 mm below its start", PixelBed(10), 0.0, 10},
        {"pixels from 10: 25.4 mm is still 600", PixelBed(10), 25.4, 600},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.bed.Word(c.bed.x, c.mm), c.word) << c.name;
    }
    EXPECT_DOUBLE_EQ(PixelBed(10).Mm(PixelBed(10).x, 600), 25.4);
    EXPECT_DOUBLE_EQ(PixelBed(10).Whole().left, 10 * 25.4 / 600) << "the bed starts at its range";
}

TEST(BedGeometry, ABedNeedsFourRangedGeometryOptionsInMillimetresOrPixels) {
    const auto fixed = [] {
        return Bed(OptionType::Fixed, OptionUnit::Millimetre, {0, kOne, 0}, {0, kOne, 0});
    };
    OptionDescriptors missing = fixed();
    missing.pop_back();
    OptionDescriptors inactive = fixed();
    inactive[0].active = false;
    const struct {
        const char* name;
        OptionDescriptors options;
        const char* reason; // empty: a bed
    } cases[] = {
        {"millimetres", fixed(), ""},
        {"percent", Bed(OptionType::Fixed, OptionUnit::Percent, {0, kOne, 0}, {0, kOne, 0}),
         "area: tl-x is in neither millimetres nor pixels"},
        {"pixels without a resolution",
         Bed(OptionType::Int, OptionUnit::Pixel, {0, 100, 1}, {0, 100, 1}),
         "area: tl-x counts pixels, but the device names no resolution"},
        {"no br-y", missing, "area: the device has no br-y option to set it"},
        {"inactive tl-x", inactive, "area: the device has no tl-x option to set it"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BedGeometryOf(c.options).reason.Text, c.reason) << c.name;
    }
}

TEST(BedGeometry, AConstrainedAreaIsOrderedInsideTheBedAndAtLeastOneStep) {
    const BedGeometry bed = MmBed(kOne);
    const struct {
        const char* name;
        ScanArea asked;
        ScanArea got;
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

// The dialog and the tool set the same words for the same area.
TEST(BedGeometry, AreasBecomeTheDevicesWordsAndReadBackExactly) {
    const struct {
        const char* name;
        BedGeometry bed;
        ScanArea area;
        std::array<std::int32_t, 4> words;
    } cases[] = {
        {"fixed millimetres",
         MmBed(),
         {12.5, 0, 100.25, 150},
         {12 * kOne + kOne / 2, 0, 100 * kOne + kOne / 4, 150 * kOne}},
        {"pixels at 600 dpi", PixelBed(), {25.4, 50.8, 127, 254}, {600, 1200, 3000, 6000}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AreaWords(c.bed, c.area), c.words) << c.name;
        EXPECT_EQ(AreaOfWords(c.bed, c.words), c.area) << c.name;
    }
}

// Earlier versions kept the dialog's area from the bed's corner; read once,
// it means the same part of the bed.
TEST(BedGeometry, AnAreaKeptFromTheBedsCornerMeansTheSamePlace) {
    const BedGeometry bed =
        Of(Bed(OptionType::Int, OptionUnit::Millimetre, {3, 219, 1}, {2, 300, 1}));
    EXPECT_EQ(AreaFromBedCorner(bed, {0, 0, 10, 20}), (ScanArea{3, 2, 13, 22}));
    EXPECT_EQ(AreaFromBedCorner(MmBed(), {1, 2, 3, 4}), (ScanArea{1, 2, 3, 4}));
    EXPECT_EQ(AreaFromBedCorner(bed, bed.Whole()).right, 219 + 3) << "no clamping here";
}

TEST(ScanSize, PixelsAndBytesOfAnAreaAtAResolutionAsTheDeviceRoundsThem) {
    const ScanArea a4{0, 0, 210, 297};
    constexpr PixelRoundings kDown{};
    constexpr PixelRoundings kNearest{PixelRounding::Nearest, PixelRounding::Nearest};
    constexpr PixelRoundings kUp{PixelRounding::Up, PixelRounding::Up};
    const struct {
        const char* name;
        ScanArea area;
        int dpi;
        PixelRoundings rounding;
        int channels, depth;
        PixelSize pixels;
        std::uint64_t bytes;
    } cases[] = {
        {"A4 at 1200 dpi, 16-bit colour", a4, 1200, kDown, 3, 16, {9921, 14031}, 835'209'306},
        {"A4 at 300 dpi, 8-bit grey, down", a4, 300, kDown, 1, 8, {2480, 3507}, 8'697'360},
        {"A4 at 300 dpi, nearest", a4, 300, kNearest, 1, 8, {2480, 3508}, 8'699'840},
        {"80 mm at 300 dpi (944.88): down", {0, 0, 80, 80}, 300, kDown, 1, 8, {944, 944}, 891'136},
        {"80 mm at 300 dpi: up", {0, 0, 80, 80}, 300, kUp, 1, 8, {945, 945}, 893'025},
        {"one inch at 75 dpi, each way", {10, 10, 35.4, 35.4}, 75, kUp, 3, 8, {75, 75}, 16'875},
        {"one inch at 75 dpi, down", {10, 10, 35.4, 35.4}, 75, kDown, 3, 8, {75, 75}, 16'875},
        {"nothing", {5, 5, 5, 5}, 600, kUp, 3, 16, {0, 0}, 0},
    };
    for (const auto& c : cases) {
        const PixelSize pixels = PixelsAt(c.area, c.dpi, c.rounding);
        EXPECT_EQ(pixels, c.pixels) << c.name;
        EXPECT_EQ(EstimatedFileBytes(pixels, c.channels, c.depth), c.bytes) << c.name;
    }
}

TEST(RoundingProbe, TwoProbesTellTheDevicesRoundingApart) {
    const struct {
        const char* name;
        std::int64_t high, low; // announced for 944.8 and 118.2
        PixelRounding rounding;
    } cases[] = {
        {"cut", 944, 118, PixelRounding::Down},
        {"nearest", 945, 118, PixelRounding::Nearest},
        {"up", 945, 119, PixelRounding::Up},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RoundingOf(944.8, c.high, 118.2, c.low), c.rounding) << c.name;
    }
}

} // namespace

} // namespace bed_geometry_test
