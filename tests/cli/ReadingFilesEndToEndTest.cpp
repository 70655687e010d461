// tamrel-cli apply on files as other programs make them: photos that
// exiftool and ImageMagick mark as turned come out upright and unmarked, a
// JPEG without its end marker is read with one warning line, and each kind
// a reader refuses says what it is and what to do.
#include "image/formats/FormatTable.h"
#include "tests/cli/CliRun.h"
#include "tests/image/ReadSamples.h"
#include "tests/image/ScanFiles.h"
#include "tests/support/OtherProgram.h"

#include <gtest/gtest.h>

#include <string>

namespace reading_files_end_to_end_test {

namespace {

using clitest::RunCli;

constexpr std::int32_t kW = 7;
constexpr std::int32_t kH = 5;

class CliReading : public testing::Test {
protected:
    void SetUp() override {
        for (const char* program : {"cjpeg", "exiftool", "convert"}) {
            if (!othertest::HasProgram(program)) {
                GTEST_SKIP() << program << " is absent";
            }
        }
        const auto pnm =
            scantest::EncodePnm(kW, kH, 3, 255, [](std::int32_t x, std::int32_t y, int c) {
                return static_cast<std::uint16_t>((x * 31 + y * 7 + c * 90) % 256);
            });
        WriteBytes(dir_ / "picture.ppm", std::string(pnm.begin(), pnm.end()));
    }

    std::string In(const std::string& name) const { return (dir_ / name).string(); }
    std::string Quoted(const std::string& name) const { return "'" + In(name) + "'"; }
    void Make(const std::string& line) const {
        const othertest::ProgramRun run = othertest::RunProgram(line);
        ASSERT_EQ(run.status, 0) << line << "\n" << run.out;
    }
    std::vector<std::uint16_t> Samples(const std::string& name, RowLayout& layout) const {
        const std::string bytes = ReadBytes(In(name));
        const std::optional<ImageFormat> format = FormatOfName(name);
        return scantest::ReadSamples(*format, {bytes.begin(), bytes.end()}, layout);
    }
    // What exiftool says of the file's orientation: nothing, or a number.
    std::string OrientationTag(const std::string& name) const {
        return othertest::RunProgram("exiftool -n -s3 -Orientation " + Quoted(name)).out;
    }

    ScratchDir dir_;
};

// The same picture turned by a tag (orientation 6, 90 degrees clockwise)
// and turned in its pixels by ImageMagick: apply gives the same output of
// each, 5 x 7, with no orientation tag.
TEST_F(CliReading, TurnedPhotosComeOutUprightWithoutAnOrientationTag) {
    Make("cjpeg -quality 95 -outfile " + Quoted("base.jpg") + " " + Quoted("picture.ppm"));
    Make("exiftool -q -n -Orientation=6 -o " + Quoted("turned.jpg") + " " + Quoted("base.jpg"));
    Make("convert " + Quoted("picture.ppm") + " -orient RightTop " + Quoted("turned.tif"));
    Make("convert " + Quoted("picture.ppm") + " -rotate 90 " + Quoted("rotated.ppm"));
    const std::string defaults = "--defaults";
    for (const auto& [in, out] :
         std::vector<std::pair<std::string, std::string>>{{"base.jpg", "base.png"},
                                                          {"turned.jpg", "turned.png"},
                                                          {"turned.tif", "turned-tif.tif"},
                                                          {"turned.tif", "turned-tif.jpg"},
                                                          {"rotated.ppm", "rotated.tif"}}) {
        const auto result = RunCli(dir_, {"apply", defaults, In(in), In(out)});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        EXPECT_TRUE(OrientationTag(out).empty() || OrientationTag(out) == "1\n") << out;
    }
    Make("convert " + Quoted("base.png") + " -rotate 90 " + Quoted("base-rotated.png"));
    RowLayout turned;
    RowLayout rotated;
    EXPECT_EQ(Samples("turned.png", turned), Samples("base-rotated.png", rotated));
    EXPECT_EQ(turned.Width, kH);
    EXPECT_EQ(turned.Height, kW);
    EXPECT_EQ(Samples("turned-tif.tif", turned), Samples("rotated.tif", rotated));
    EXPECT_EQ(turned.Width, kH);
}

TEST_F(CliReading, AJpegWithoutItsEndMarkerIsReadWithOneWarningLine) {
    Make("cjpeg -progressive -outfile " + Quoted("whole.jpg") + " " + Quoted("picture.ppm"));
    std::string bytes = ReadBytes(In("whole.jpg"));
    bytes.resize(bytes.size() - 2); // FF D9
    WriteBytes(In("cut.jpg"), bytes);
    const std::string warning =
        "tamrel-cli: " + In("cut.jpg") +
        ": warning: the JPEG file ends without its end marker; the picture was read whole\n";
    const auto whole = RunCli(dir_, {"apply", "--defaults", In("whole.jpg"), In("whole.png")});
    ASSERT_EQ(whole.status, 0) << whole.err;
    const auto cut = RunCli(dir_, {"apply", "--defaults", In("cut.jpg"), In("cut.png")});
    ASSERT_EQ(cut.status, 0) << cut.err;
    EXPECT_EQ(cut.err, warning);
    EXPECT_EQ(ReadBytes(In("cut.png")), ReadBytes(In("whole.png")));
    // Into a document, among the pages' lines of the resolution they were given.
    const auto pages =
        RunCli(dir_, {"apply", "--defaults", In("whole.jpg"), In("cut.jpg"), In("both.pdf")});
    ASSERT_EQ(pages.status, 0) << pages.err;
    const std::size_t at = pages.err.find(warning);
    EXPECT_NE(at, std::string::npos) << pages.err;
    EXPECT_EQ(pages.err.find(warning, at + 1), std::string::npos) << pages.err;
    EXPECT_EQ(pages.err.find("whole.jpg: warning"), std::string::npos) << pages.err;
}

// Lossless JPEG (SOF3) as far as libjpeg-turbo 2 reads one: to its frame.
const std::string kLossless("\xFF\xD8\xFF\xC3\x00\x0B\x08\x00\x10\x00\x10\x01\x01\x11\x00\xFF\xD9",
                            17);

TEST_F(CliReading, EachRefusedKindSaysWhatItIsAndWhatToDo) {
    struct Case {
        const char* file;
        std::string make; // an ImageMagick or cjpeg line; empty: the bytes below
        std::string bytes;
        std::string words;
    };
    const std::string picture = Quoted("picture.ppm");
    const Case cases[] = {
        {"cmyk.jpg", "convert " + picture + " -colorspace CMYK " + Quoted("cmyk.jpg"), "",
         "CMYK JPEGs cannot be read: convert the file to RGB"},
        {"arithmetic.jpg", "cjpeg -arithmetic -outfile " + Quoted("arithmetic.jpg") + " " + picture,
         "",
         "arithmetic-coded JPEGs cannot be read: convert the file to a Huffman-coded JPEG "
         "(jpegtran), PNG or TIFF"},
        {"lossless.jpg", "", kLossless,
         "lossless JPEGs cannot be read: convert the file to PNG or TIFF"},
        {"cmyk.tif", "convert " + picture + " -colorspace CMYK " + Quoted("cmyk.tif"), "",
         "CMYK TIFFs cannot be read: convert the file to RGB"},
        {"float.tif",
         "convert " + picture + " -define quantum:format=floating-point -depth 32 -compress zip " +
             Quoted("float.tif"),
         "", "TIFFs of floating-point samples cannot be read: convert the file to 16-bit integers"},
        {"palette.tif", "convert " + picture + " -type Palette " + Quoted("palette.tif"), "",
         "palette TIFFs cannot be read: convert the file to RGB"},
        {"plain.pnm", "", "P3\n1 1\n255\n0 0 0\n",
         "PNM P3 files cannot be read (only binary P5 and P6): convert the file to binary PNM, PNG "
         "or TIFF"},
    };
    for (const Case& c : cases) {
        if (c.make.empty()) {
            WriteBytes(In(c.file), c.bytes);
        } else {
            Make(c.make);
        }
        const auto result = RunCli(dir_, {"apply", "--defaults", In(c.file), In("out.png")});
        EXPECT_EQ(result.status, 1) << c.file;
        EXPECT_EQ(result.err, "tamrel-cli: " + In(c.file) + ": " + c.words + "\n");
    }
    EXPECT_FALSE(std::filesystem::exists(In("out.png")));
}

} // namespace

} // namespace reading_files_end_to_end_test
