// Files that say their rows are turned: JPEGs whose EXIF orientation
// exiftool wrote over libjpeg-turbo's cjpeg output, TIFFs whose Orientation
// tag ImageMagick wrote, read upright for all eight orientations, mirrored
// rows streamed where the reader allows it; EXIF blocks and their
// resolution, which stands where JFIF gives none.
#include "image/formats/ExifData.h"
#include "image/formats/FormatTable.h"
#include "tests/image/ReadSamples.h"
#include "tests/image/ScanFiles.h"
#include "tests/io/ScratchDir.h"
#include "tests/support/OtherProgram.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace orientation_test {

namespace {

constexpr std::int32_t kW = 7; // odd sides, not square: every turn shows
constexpr std::int32_t kH = 5;

std::uint16_t Sample(std::int32_t x, std::int32_t y, int c) {
    return static_cast<std::uint16_t>((x * 31 + y * 7 + c * 90) % 256);
}

struct Picture {
    RowLayout layout;
    std::vector<std::uint16_t> samples;
    std::uint16_t At(std::int32_t x, std::int32_t y, int c) const {
        return samples[std::size_t((y * layout.Width + x) * layout.Format.Samples + c)];
    }
};

Picture Read(ImageFormat format, const std::filesystem::path& path) {
    const std::string bytes = ReadBytes(path);
    Picture p;
    p.samples = scantest::ReadSamples(format, {bytes.begin(), bytes.end()}, p.layout);
    return p;
}

// The stored pixel that upright (x, y) shows, as EXIF defines each orientation.
std::array<std::int32_t, 2> StoredOf(int orientation, std::int32_t x, std::int32_t y) {
    switch (orientation) {
    case 2:
        return {kW - 1 - x, y};
    case 3:
        return {kW - 1 - x, kH - 1 - y};
    case 4:
        return {x, kH - 1 - y};
    case 5:
        return {y, x};
    case 6:
        return {y, kH - 1 - x};
    case 7:
        return {kW - 1 - y, kH - 1 - x};
    case 8:
        return {kW - 1 - y, x};
    default:
        return {x, y};
    }
}

void ExpectUpright(const Picture& stored, const Picture& upright, int orientation) {
    const bool turned = orientation >= 5;
    ASSERT_EQ(upright.layout.Width, turned ? kH : kW);
    ASSERT_EQ(upright.layout.Height, turned ? kW : kH);
    for (std::int32_t y = 0; y < upright.layout.Height; ++y) {
        for (std::int32_t x = 0; x < upright.layout.Width; ++x) {
            const auto [sx, sy] = StoredOf(orientation, x, y);
            for (int c = 0; c < 3; ++c) {
                ASSERT_EQ(upright.At(x, y, c), stored.At(sx, sy, c))
                    << "orientation " << orientation << " at " << x << "," << y;
            }
        }
    }
}

bool RunOther(const std::string& line) {
    const othertest::ProgramRun run = othertest::RunProgram(line);
    EXPECT_EQ(run.status, 0) << line << "\n" << run.out;
    return run.status == 0;
}

// ImageMagick's names of the eight orientations, in their order.
constexpr const char* kOrientNames[] = {"TopLeft", "TopRight", "BottomRight", "BottomLeft",
                                        "LeftTop", "RightTop", "RightBottom", "LeftBottom"};

class Orientations : public testing::Test {
protected:
    void SetUp() override {
        for (const char* program : {"cjpeg", "exiftool", "convert"}) {
            if (!othertest::HasProgram(program)) {
                GTEST_SKIP() << program << " is absent";
            }
        }
        const auto pnm = scantest::EncodePnm(kW, kH, 3, 255, Sample);
        WriteBytes(dir_ / "picture.ppm", std::string(pnm.begin(), pnm.end()));
    }
    std::filesystem::path In(const std::string& name) const { return dir_ / name; }
    std::string Quoted(const std::string& name) const { return "'" + In(name).string() + "'"; }

    ScratchDir dir_;
};

TEST_F(Orientations, EveryExifOrientationOfAJpegReadsUpright) {
    ASSERT_TRUE(
        RunOther("cjpeg -quality 95 -outfile " + Quoted("base.jpg") + " " + Quoted("picture.ppm")));
    const Picture stored = Read(ImageFormat::Jpeg, In("base.jpg"));
    for (int o = 1; o <= 8; ++o) {
        const std::string name = "turned" + std::to_string(o) + ".jpg";
        ASSERT_TRUE(RunOther("exiftool -q -n -Orientation=" + std::to_string(o) + " -o " +
                             Quoted(name) + " " + Quoted("base.jpg")));
        ExpectUpright(stored, Read(ImageFormat::Jpeg, In(name)), o);
    }
}

// Uncompressed strips may be read in any order (turned upside down as they
// stream); Deflate strips come once, in order (held whole for 3 and 4).
TEST_F(Orientations, EveryOrientationTagOfATiffReadsUpright) {
    const Picture stored = Read(ImageFormat::Pnm, In("picture.ppm"));
    for (const char* compress : {"None", "Zip"}) {
        for (int o = 1; o <= 8; ++o) {
            SCOPED_TRACE(compress);
            const std::string name = std::string(compress) + std::to_string(o) + ".tif";
            ASSERT_TRUE(RunOther("convert " + Quoted("picture.ppm") + " -compress " + compress +
                                 " -orient " + kOrientNames[o - 1] + " " + Quoted(name)));
            ExpectUpright(stored, Read(ImageFormat::Tiff, In(name)), o);
        }
    }
}

// What the turned view holds beside the reader: nothing for rows that are
// mirrored or turned as they pass, the whole picture for the rest.
TEST_F(Orientations, RowsStreamWhereTheReaderAllowsAndAreHeldWhereItDoesNot) {
    struct Case {
        const char* name;
        const char* command; // after "convert picture.ppm"
        bool held;
    };
    const Case cases[] = {
        {"mirrored TIFF, deflated", "-compress Zip -orient TopRight", false},
        {"upside-down TIFF, uncompressed", "-compress None -orient BottomRight", false},
        {"upside-down TIFF, deflated", "-compress Zip -orient BottomLeft", true},
        {"turned TIFF, uncompressed", "-compress None -orient RightTop", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(RunOther("convert " + Quoted("picture.ppm") + " " + c.command + " " +
                             Quoted("case.tif")));
        const std::string bytes = ReadBytes(In("case.tif"));
        const std::vector<std::uint8_t> file(bytes.begin(), bytes.end());
        const MemorySource source(file);
        const auto rows = OpenRows(ImageFormat::Tiff, source);
        ASSERT_TRUE(rows);
        EXPECT_EQ((*rows)->HeldBytes() >= std::int64_t{kW} * kH * 3, c.held);
        EXPECT_EQ((*rows)->Orientation(), kUpright);
    }
}

TEST_F(Orientations, AnExifResolutionStandsWhereJfifGivesNone) {
    ASSERT_TRUE(RunOther("cjpeg -outfile " + Quoted("base.jpg") + " " + Quoted("picture.ppm")));
    struct Case {
        const char* name;
        std::string tags;
        std::optional<Resolution> read;
    };
    const Case cases[] = {
        {"JFIF's aspect ratio alone", "", std::nullopt},
        {"EXIF in inches", "-EXIF:XResolution=150 -EXIF:YResolution=300 -EXIF:ResolutionUnit=2",
         Resolution{150, 300}},
        {"EXIF in centimetres",
         "-EXIF:XResolution=100 -EXIF:YResolution=100 -EXIF:ResolutionUnit=3",
         Resolution{254, 254}},
        {"EXIF turned with the picture",
         "-EXIF:XResolution=150 -EXIF:YResolution=300 -EXIF:ResolutionUnit=2 -Orientation=6",
         Resolution{300, 150}},
        {"JFIF's own density first",
         "-EXIF:XResolution=150 -EXIF:YResolution=150 -EXIF:ResolutionUnit=2 "
         "-JFIF:ResolutionUnit=1 -JFIF:XResolution=200 -JFIF:YResolution=200",
         Resolution{200, 200}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = "res" + std::to_string(n++) + ".jpg";
        ASSERT_TRUE(RunOther("exiftool -q -n " + c.tags + " -o " + Quoted(name) + " " +
                             Quoted("base.jpg")));
        const std::string bytes = ReadBytes(In(name));
        const std::vector<std::uint8_t> file(bytes.begin(), bytes.end());
        const MemorySource source(file);
        const auto rows = OpenRows(ImageFormat::Jpeg, source);
        ASSERT_TRUE(rows);
        EXPECT_EQ((*rows)->Meta().resolution, c.read);
    }
}

// "Exif\0\0" and a TIFF structure of one directory with the given entries.
std::vector<std::uint8_t> ExifBlock(bool big, std::vector<std::array<std::uint32_t, 4>> entries,
                                    std::vector<std::uint32_t> after = {}) {
    std::vector<std::uint8_t> b = {'E', 'x', 'i', 'f', 0, 0};
    const auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            const int shift = 8 * (big ? bytes - 1 - i : i);
            b.push_back(static_cast<std::uint8_t>(v >> shift));
        }
    };
    b.push_back(big ? 'M' : 'I');
    b.push_back(big ? 'M' : 'I');
    put(42, 2);
    put(8, 4);
    put(static_cast<std::uint32_t>(entries.size()), 2);
    for (const auto& [tag, type, count, value] : entries) {
        put(tag, 2);
        put(type, 2);
        put(count, 4);
        put(value, type == 3 ? 2 : 4);
        if (type == 3) {
            put(0, 2);
        }
    }
    put(0, 4); // no next directory
    for (const std::uint32_t v : after) {
        put(v, 4);
    }
    return b;
}

// Where the values after a directory of `entries` start: the 8-byte head,
// the count, the entries and the next directory's offset.
constexpr std::uint32_t AfterOf(std::uint32_t entries) {
    return 8 + 2 + entries * 12 + 4;
}

TEST(ExifBlocks, GiveTheirOrientationAndResolutionOrNothing) {
    constexpr std::uint32_t kAfter = AfterOf(2);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> block;
        std::int32_t orientation;
        std::optional<Resolution> resolution;
    };
    const Case cases[] = {
        {"little-endian orientation", ExifBlock(false, {{274, 3, 1, 6}}), 6, std::nullopt},
        {"big-endian orientation", ExifBlock(true, {{274, 3, 1, 8}}), 8, std::nullopt},
        {"an orientation past 8", ExifBlock(false, {{274, 3, 1, 9}}), kUpright, std::nullopt},
        {"an orientation of another type", ExifBlock(false, {{274, 4, 1, 6}}), kUpright,
         std::nullopt},
        {"a resolution in inches by default",
         ExifBlock(true, {{282, 5, 1, kAfter}, {283, 5, 1, kAfter}}, {600, 2}), kUpright,
         Resolution{300, 300}},
        {"a resolution past the block's end",
         ExifBlock(true, {{282, 5, 1, 4000}, {283, 5, 1, kAfter}}, {600, 2}), kUpright,
         std::nullopt},
        {"a resolution of no unit",
         ExifBlock(true, {{282, 5, 1, AfterOf(3)}, {283, 5, 1, AfterOf(3)}, {296, 3, 1, 1}},
                   {600, 2}),
         kUpright, std::nullopt},
        {"a zero denominator",
         ExifBlock(false, {{282, 5, 1, kAfter}, {283, 5, 1, kAfter}}, {600, 0}), kUpright,
         std::nullopt},
        {"a directory past the end",
         {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 0xFF, 0, 0, 0},
         kUpright,
         std::nullopt},
        {"XMP, not EXIF", {'h', 't', 't', 'p', ':', '/', '/'}, kUpright, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ExifFacts facts = ReadExif(c.block);
        EXPECT_EQ(facts.orientation, c.orientation);
        EXPECT_EQ(facts.resolution, c.resolution);
    }
    // The block cut short anywhere reads without reading past its end (the
    // sanitizers watch), and gives the resolution only when its values are in.
    const std::vector<std::uint8_t> whole = ExifBlock(
        true, {{274, 3, 1, 6}, {282, 5, 1, AfterOf(3)}, {283, 5, 1, AfterOf(3)}}, {600, 2});
    for (std::size_t size = 0; size <= whole.size(); ++size) {
        const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + std::ptrdiff_t(size));
        const ExifFacts facts = ReadExif(cut);
        EXPECT_EQ(facts.resolution.has_value(), size == whole.size()) << size;
    }
    EXPECT_EQ(ReadExif(whole).orientation, 6);
}

} // namespace

} // namespace orientation_test
