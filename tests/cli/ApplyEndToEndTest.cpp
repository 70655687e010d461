// tamrel-cli apply, run as a program: BMP and PNG output equal to the
// preview's rendering, upright for either row order; folders of inputs; and
// rejections that leave no output behind.
#include "image/formats/BmpReader.h"
#include "image/preview/RenderPreview.h"
#include "io/ParamFileWriter.h"
#include "tests/cli/CliRun.h"
#include "tests/image/BmpWriter.h"
#include "tests/image/ImageTestUtil.h"

#include <QImage>
#include <gtest/gtest.h>

namespace apply_end_to_end_test {

namespace {

using clitest::RunCli;
using clitest::TablesOf;
using imagetest::OwnedImage;

ParamPositionSet Positions() {
    ParamPositionSet positions{};
    positions[kRed] = {100, 200, 200, 150};
    positions[kGreen] = {50, 230, 150, 180};
    positions[kBlue] = {0, 255, 0, 250};
    return positions;
}

// What the window's preview shows for the file.
PreviewImage ExpectedPreview(const std::filesystem::path& input) {
    OwnedImage image;
    EXPECT_EQ(LoadBmpFile(&image.image, input), kBmpLoaded);
    auto preview = BuildPreview(image.image, TablesOf(Positions()));
    EXPECT_TRUE(preview);
    return std::move(*preview);
}

void ExpectBmpShows(const std::filesystem::path& output, const PreviewImage& expected) {
    const std::string bytes = ReadBytes(output);
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(bytes[14], 40) << "40-byte info header";
    EXPECT_EQ(bytes[28], 24) << "24 bits per pixel";
    OwnedImage written;
    ASSERT_EQ(LoadBmpFile(&written.image, output), kBmpLoaded);
    EXPECT_FALSE(written.image.TopDown);
    ASSERT_EQ(written.image.Width, expected.Width());
    ASSERT_EQ(written.image.Height, expected.Height());
    for (std::int32_t y = 0; y < expected.Height(); ++y) {
        for (std::int32_t x = 0; x < expected.Width(); ++x) {
            const std::uint8_t* p = written.image.Pixels + (y * expected.Width() + x) * 4;
            ASSERT_EQ(0xFF000000u | p[0] << 16 | p[1] << 8 | p[2], expected.At(x, y))
                << x << "," << y;
        }
    }
}

void ExpectPngShows(const std::filesystem::path& output, const PreviewImage& expected) {
    const QImage png =
        QImage(QString::fromStdString(output.string())).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(png.isNull());
    ASSERT_EQ(png.width(), expected.Width());
    ASSERT_EQ(png.height(), expected.Height());
    for (std::int32_t y = 0; y < expected.Height(); ++y) {
        for (std::int32_t x = 0; x < expected.Width(); ++x) {
            ASSERT_EQ(png.pixel(x, y), expected.At(x, y)) << x << "," << y;
        }
    }
}

class CliApply : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SaveParamFile(Params(), Positions()), WriteResult::Ok); }
    std::filesystem::path Params() const { return scratch_ / "p.tvp"; }
    std::filesystem::path Scan(const std::string& name, bmptest::Encoding encoding = {},
                               std::int32_t width = 13, std::int32_t height = 6) const {
        bmptest::WriteFile(scratch_ / name,
                           bmptest::EncodeBmp(bmptest::Gradient(width, height), encoding));
        return scratch_ / name;
    }
    clitest::CliResult Apply(std::vector<std::string> args) const {
        args.insert(args.begin(), {"apply", Params().string()});
        return RunCli(scratch_, args);
    }

    ScratchDir scratch_;
};

TEST_F(CliApply, OutputShowsWhatThePreviewShowsForEveryInputKind) {
    struct Case {
        const char* name;
        std::uint16_t bitCount;
        bool topDown;
        const char* output;
    };
    const Case cases[] = {
        {"24-bit bottom-up to BMP", 24, false, "out.bmp"},
        {"24-bit top-down to BMP, upright", 24, true, "out.bmp"},
        {"32-bit to BMP", 32, false, "out.BMP"},
        {"24-bit top-down to PNG, upright", 24, true, "out.png"},
        {"32-bit to PNG", 32, true, "out.PNG"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bmptest::Encoding encoding;
        encoding.bitCount = c.bitCount;
        encoding.topDown = c.topDown;
        const auto input = Scan("in.bmp", encoding);
        const auto result = Apply({input.string(), (scratch_ / c.output).string()});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        const PreviewImage expected = ExpectedPreview(input);
        if (std::string(c.output).ends_with("bmp") || std::string(c.output).ends_with("BMP")) {
            ExpectBmpShows(scratch_ / c.output, expected);
        } else {
            ExpectPngShows(scratch_ / c.output, expected);
        }
        std::filesystem::remove(scratch_ / c.output);
        EXPECT_EQ(scratch_.Entries(), (std::set<std::string>{"in.bmp", "p.tvp"}));
    }
}

TEST_F(CliApply, AFolderOfInputsKeepsEachName) {
    bmptest::Encoding topDown;
    topDown.topDown = true;
    const auto a = Scan("a.bmp");
    const auto b = Scan("b.bmp", topDown, 3, 9);
    std::filesystem::create_directory(scratch_ / "out");
    const auto result = Apply({"-o", (scratch_ / "out").string(), a.string(), b.string()});
    ASSERT_EQ(result.status, 0) << result.err;
    ExpectBmpShows(scratch_ / "out" / "a.bmp", ExpectedPreview(a));
    ExpectBmpShows(scratch_ / "out" / "b.bmp", ExpectedPreview(b));

    const auto png = Apply({"--png", "-o", (scratch_ / "out").string(), a.string(), b.string()});
    ASSERT_EQ(png.status, 0) << png.err;
    ExpectPngShows(scratch_ / "out" / "b.png", ExpectedPreview(b));
    EXPECT_EQ(EntriesOf(scratch_ / "out"),
              (std::set<std::string>{"a.bmp", "b.bmp", "a.png", "b.png"}));
}

TEST_F(CliApply, RejectionsNameTheFileAndLeaveNoOutput) {
    const auto good = Scan("good.bmp");
    WriteBytes(scratch_ / "bad.bmp", "BM but nothing like a bitmap header");
    const auto withField = [](std::size_t field, std::uint32_t value) {
        const auto bytes = bmptest::With(bmptest::EncodeBmp(bmptest::Gradient(3, 2)), field, value);
        return std::string(bytes.begin(), bytes.end());
    };
    WriteBytes(scratch_ / "v5.bmp", withField(bmptest::kInfoSizeField, 124));
    WriteBytes(scratch_ / "16bit.bmp", withField(bmptest::kBitCountField, 16));
    WriteBytes(scratch_ / "noheight.bmp", [] {
        const auto bytes = bmptest::EncodeBmp(bmptest::Picture{4, 0, {}});
        return std::string(bytes.begin(), bytes.end()) + "xx"; // 56 bytes, no rows
    }());
    struct Case {
        const char* name;
        std::string input;
        std::string output;
        std::string failingFile;
        std::string reason;
    };
    const Case cases[] = {
        {"cut short", "bad.bmp", "out.bmp", "bad.bmp",
         "the file ends before the data its header promises"},
        {"124-byte info header", "v5.bmp", "out.bmp", "v5.bmp",
         "BMP info header of 124 bytes not supported (only 40): save the image as a 24-bit BMP, "
         "PNG or TIFF"},
        {"16 bits per pixel", "16bit.bmp", "out.png", "16bit.bmp",
         "16 bits per pixel not supported (only 8, 24 and 32): save the image as a 24-bit BMP, "
         "PNG or TIFF"},
        {"missing input", "none.bmp", "out.png", "none.bmp",
         "cannot open: No such file or directory"},
        {"image without rows", "noheight.bmp", "out.bmp", "noheight.bmp",
         "the image has no pixels"},
        {"missing output folder", "good.bmp", "no/out.bmp", "no/out.bmp",
         "cannot open for writing"},
        {"PNG into a missing folder", "good.bmp", "no/out.png", "no/out.png",
         "cannot open for writing"},
        {"output is the input", "good.bmp", "good.bmp", "good.bmp", "would replace its own input"},
    };
    const std::string goodBytes = ReadBytes(good);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto before = scratch_.Entries();
        const auto result = Apply({(scratch_ / c.input).string(), (scratch_ / c.output).string()});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err,
                  "tamrel-cli: " + (scratch_ / c.failingFile).string() + ": " + c.reason + "\n");
        EXPECT_EQ(scratch_.Entries(), before);
        EXPECT_EQ(ReadBytes(good), goodBytes);
    }
}

TEST_F(CliApply, AWriteThatFailsPartWayLeavesNoPartialFile) {
    const auto input = Scan("in.bmp", {}, 200, 100); // a 60 054-byte output
    for (const char* output : {"out.bmp", "out.png"}) {
        SCOPED_TRACE(output);
        const auto result =
            RunCli(scratch_, {"apply", "--defaults", input.string(), (scratch_ / output).string()},
                   {"", 4096});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err,
                  "tamrel-cli: " + (scratch_ / output).string() + ": beyond the file-size limit\n");
        EXPECT_EQ(scratch_.Entries(), (std::set<std::string>{"in.bmp", "p.tvp"}));
    }
}

TEST_F(CliApply, OneFailedInputDoesNotStopTheOthers) {
    const auto a = Scan("a.bmp");
    WriteBytes(scratch_ / "b.bmp", "not a bitmap");
    const auto c = Scan("c.bmp");
    std::filesystem::create_directory(scratch_ / "out");
    const auto result = Apply(
        {"-o", (scratch_ / "out").string(), a.string(), (scratch_ / "b.bmp").string(), c.string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "tamrel-cli: " + (scratch_ / "b.bmp").string() + ": not a BMP file\n");
    EXPECT_EQ(EntriesOf(scratch_ / "out"), (std::set<std::string>{"a.bmp", "c.bmp"}));
}

} // namespace

} // namespace apply_end_to_end_test
