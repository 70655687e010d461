// The tool's BMP apply against the window's preview of the same file (the
// reader's image through RenderPreview, plainly encoded): the same bytes for
// every depth, row order, padding, run size, thread count and kernel; the
// reader's refusals with their reasons; and safe failure, whichever read or
// write fails.
#include "image/formats/BmpReader.h"
#include "tests/image/ApplyBmp.h"
#include "tests/image/BmpWriter.h"
#include "tests/image/GivingOutSource.h"
#include "tests/image/ImageTestUtil.h"
#include "tests/image/PreviewBmp.h"
#include "tests/image/RecordingOutput.h"
#include "tests/io/ScratchDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/resource.h>

namespace apply_to_bmp_test {

namespace {

using applytest::ApplyToBmp;
using applytest::ApplyToBmpFile;

namespace fs = std::filesystem;
using imagetest::OwnedImage;

GammaTableSet Distinct() {
    GammaTableSet tables{};
    for (int i = 0; i < 256; ++i) {
        tables[0][i] = static_cast<std::int16_t>(255 - i);
        tables[1][i] = static_cast<std::int16_t>(i / 2 + 256); // only the low byte counts
        tables[2][i] = static_cast<std::int16_t>((i * 7) & 0xFF);
    }
    return tables;
}

std::vector<std::uint32_t> FullPalette() {
    std::vector<std::uint32_t> palette;
    for (std::uint32_t i = 0; i < 256; ++i) {
        palette.push_back((i * 5 & 0xFF) << 16 | (255 - i) << 8 | (i * 3 & 0xFF));
    }
    return palette;
}

bmptest::Encoding EncodingOf(std::uint16_t bitCount, bool topDown) {
    bmptest::Encoding encoding;
    encoding.bitCount = bitCount;
    encoding.topDown = topDown;
    encoding.padByte = 0xA5;    // must not reach the output's padding
    encoding.fourthByte = 0x5A; // must not reach the output at all
    if (bitCount == 8) {
        encoding.palette = FullPalette();
    }
    return encoding;
}

// An 8-bit picture holds colour-table indices, the others colours.
bmptest::Picture PictureFor(std::uint16_t bitCount, std::int32_t width, std::int32_t height) {
    bmptest::Picture picture = bmptest::Gradient(width, height, static_cast<std::uint32_t>(width));
    if (bitCount == 8) {
        for (std::uint32_t& pixel : picture.pixels) {
            pixel = (pixel ^ pixel >> 8 ^ pixel >> 16) & 0xFF;
        }
    }
    return picture;
}

// Runs of `runBytes`, on `workers` threads however small the image.
PipelineOptions Split(std::int64_t runBytes, int workers, bool wide) {
    PipelineOptions options;
    options.RunBytes = runBytes;
    options.Workers = workers;
    options.MinPixelsToSplit = 0;
    options.Wide = wide;
    return options;
}

Replacement Into(bmptest::RecordingOutput& output) {
    return std::ref(output);
}

class ApplyToBmpTest : public testing::Test {
protected:
    // The decoded image's preview as a 24-bit file.
    static std::string ExpectedOutput(const std::vector<std::uint8_t>& bmp) {
        const bmptest::ExpectedApply expected = bmptest::ExpectedApplyOf(bmp, Distinct());
        EXPECT_EQ(expected.code, ReasonCode::None);
        return std::string(expected.bytes.begin(), expected.bytes.end());
    }

    std::string AppliedOutput(const std::vector<std::uint8_t>& bmp,
                              const PipelineOptions& options) {
        bmptest::WriteFile(scratch_ / "in.bmp", bmp);
        EXPECT_EQ(
            ApplyToBmpFile(scratch_ / "in.bmp", scratch_ / "applied.bmp", Distinct(), options),
            Reason());
        return ReadBytes(scratch_ / "applied.bmp");
    }

    ScratchDir scratch_;
};

// The first differing byte, so a failure says where instead of dumping files.
std::string FirstDifference(const std::string& a, const std::string& b) {
    const auto [ia, ib] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    if (ia == a.end() && ib == b.end()) {
        return "none";
    }
    return "at byte " + std::to_string(ia - a.begin()) + " of " + std::to_string(a.size()) + " / " +
           std::to_string(b.size());
}

// 2835 and 3780 per metre are 72 and 96 dpi: the output keeps them exactly.
TEST_F(ApplyToBmpTest, TheInputsResolutionIsCarriedToTheOutput) {
    std::vector<std::uint8_t> bmp = bmptest::EncodeBmp(bmptest::Gradient(5, 3));
    bmp = bmptest::With(bmp, bmptest::kXPelsPerMetreField, 2835);
    bmp = bmptest::With(bmp, bmptest::kYPelsPerMetreField, 3780);
    const std::string applied = AppliedOutput(bmp, {});
    EXPECT_EQ(FirstDifference(applied, ExpectedOutput(bmp)), "none");
    ASSERT_GE(applied.size(), bmptest::kColoursUsedField);
    const auto field = [&](std::size_t at) {
        std::uint32_t value = 0;
        std::memcpy(&value, applied.data() + at, sizeof value);
        return value;
    };
    EXPECT_EQ(field(bmptest::kXPelsPerMetreField), 2835u);
    EXPECT_EQ(field(bmptest::kYPelsPerMetreField), 3780u);

    // The fields are signed: a negative one says nothing, and none is written.
    bmp = bmptest::With(bmp, bmptest::kXPelsPerMetreField, 0xFFFFFFFFu);
    const std::string unknown = AppliedOutput(bmp, {});
    EXPECT_EQ(FirstDifference(unknown, ExpectedOutput(bmp)), "none");
    EXPECT_EQ(unknown.substr(bmptest::kXPelsPerMetreField, 8), std::string(8, '\0'));
}

TEST_F(ApplyToBmpTest, WritesThePreviewsBytesForEveryDepthRowOrderAndPadding) {
    // Widths 1..4 give every padding; 67 pixels of 3 bytes make three 64-byte
    // vectors and a 9-byte tail. Runs of one row, of a few rows and of the
    // whole image, on one thread and on two.
    struct Runs {
        std::int64_t runBytes;
        int workers;
    };
    const Runs splits[] = {{1, 2}, {700, 2}, {700, 1}, {kRunBytes, 2}};
    for (const std::uint16_t bitCount : {8, 24, 32}) {
        for (const bool topDown : {false, true}) {
            for (const std::int32_t width : {1, 2, 3, 4, 67}) {
                const auto bmp = bmptest::EncodeBmp(PictureFor(bitCount, width, 9),
                                                    EncodingOf(bitCount, topDown));
                const std::string expected = ExpectedOutput(bmp);
                for (const Runs& split : splits) {
                    for (const bool wide : {false, true}) {
                        SCOPED_TRACE(testing::Message()
                                     << bitCount << "-bit " << (topDown ? "top-down" : "bottom-up")
                                     << ", width " << width << ", runs of " << split.runBytes
                                     << " bytes, " << split.workers << " workers"
                                     << (wide ? ", wide" : ""));
                        const std::string got =
                            AppliedOutput(bmp, Split(split.runBytes, split.workers, wide));
                        EXPECT_EQ(FirstDifference(got, expected), "none");
                    }
                }
            }
        }
    }
}

TEST_F(ApplyToBmpTest, ReadsRowsWhereverTheHeaderPutsThem) {
    // A gap between the colour table and the pixels; and a file that ends
    // right after the last row's pixels, its padding missing, as the reader
    // allows.
    for (const std::uint16_t bitCount : {8, 24, 32}) {
        SCOPED_TRACE(testing::Message() << bitCount << "-bit");
        bmptest::Encoding encoding = EncodingOf(bitCount, false);
        encoding.gap = 13;
        auto bmp = bmptest::EncodeBmp(PictureFor(bitCount, 5, 4), encoding);
        EXPECT_EQ(FirstDifference(AppliedOutput(bmp, {}), ExpectedOutput(bmp)), "none");

        bmp = bmptest::EncodeBmp(PictureFor(bitCount, 5, 4), EncodingOf(bitCount, true));
        const std::size_t padding = bmptest::StrideOf(5, bitCount) - 5 * bitCount / 8;
        if (padding == 0) {
            continue; // 32-bit rows have none
        }
        bmp.resize(bmp.size() - padding);
        EXPECT_EQ(FirstDifference(AppliedOutput(bmp, Split(1, 2, true)), ExpectedOutput(bmp)),
                  "none");
    }
}

TEST_F(ApplyToBmpTest, RefusesWhatTheReaderRefusesWithItsReasonAndWritesNothing) {
    const auto good = bmptest::EncodeBmp(bmptest::Gradient(3, 2));
    auto shortRows = good;
    shortRows.resize(good.size() - 4); // into the last row's pixels
    auto noTable = bmptest::EncodeBmp(bmptest::Gradient(3, 2), EncodingOf(8, false));
    noTable.resize(54 + 512); // an 8-bit file needs its whole colour table
    const std::vector<std::uint8_t> head(good.begin(), good.begin() + 54);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        Reason expected;
    };
    const Case cases[] = {
        {"wrong signature", bmptest::With(good, bmptest::kSignatureField, 'B' | 'N' << 8),
         ReasonCode::NotThisFormat},
        {"one byte", {0x42}, ReasonCode::NotThisFormat},
        {"the head only", head, ReasonCode::Truncated},
        {"124-byte info header",
         bmptest::With(good, bmptest::kInfoSizeField, 124),
         {ReasonCode::BmpInfoHeaderSize, 124}},
        {"compressed",
         bmptest::With(good, bmptest::kCompressionField, 1),
         {ReasonCode::BmpCompression, 1}},
        {"16 bits per pixel",
         bmptest::With(good, bmptest::kBitCountField, 16),
         {ReasonCode::BmpBitDepth, 16}},
        {"negative width", bmptest::With(good, bmptest::kWidthField, 0xFFFFFFFF),
         ReasonCode::BadHeader},
        {"rows of 2^31 bits", bmptest::With(good, bmptest::kWidthField, 0x5555556),
         ReasonCode::BadHeader},
        {"rows past the end", shortRows, ReasonCode::Truncated},
        {"colour table cut", noTable, ReasonCode::Truncated},
        {"no columns",
         bmptest::With(good, bmptest::kWidthField, 0),
         {ReasonCode::Unsupported, 0, std::string(kNoPixels)}},
        {"no rows",
         bmptest::With(good, bmptest::kHeightField, 0),
         {ReasonCode::Unsupported, 0, std::string(kNoPixels)}},
    };
    WriteBytes(scratch_ / "out.bmp", "the old output");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(bmptest::ExpectedApplyOf(c.bytes, Distinct()).code, c.expected.Code);
        bmptest::WriteFile(scratch_ / "in.bmp", c.bytes);
        EXPECT_EQ(ApplyToBmpFile(scratch_ / "in.bmp", scratch_ / "out.bmp", Distinct()),
                  c.expected);
        EXPECT_EQ(ReadBytes(scratch_ / "out.bmp"), "the old output");
        EXPECT_EQ(scratch_.Entries(), (std::set<std::string>{"in.bmp", "out.bmp"}));
        bmptest::RecordingOutput memory;
        EXPECT_EQ(ApplyToBmp(MemorySource(c.bytes), Into(memory), Distinct()), c.expected);
        EXPECT_EQ(memory.Asked(), 0) << "a refused input never asks for the output";
    }
    EXPECT_EQ(ApplyToBmpFile(scratch_ / "none.bmp", scratch_ / "out.bmp", Distinct()),
              Reason(ReasonCode::CannotOpen, ENOENT));
}

TEST_F(ApplyToBmpTest, AnImageTooLargeForA24BitFileIsRefusedBeforeAnyRowIsRead) {
    // 65536 x 21846 colour-table indices: 1.4 GB in, over 4 GiB out. The rows
    // are a hole in the file, never read.
    bmptest::Header header;
    header.bitCount = 8;
    header.width = 65536;
    header.height = 21846;
    header.pixelDataOffset = 54 + 1024;
    auto bytes = bmptest::HeadBytes(header);
    bytes.resize(54 + 1024);
    bmptest::WriteFile(scratch_ / "huge.bmp", bytes);
    fs::resize_file(scratch_ / "huge.bmp", 54 + 1024 + std::uint64_t{65536} * 21846);
    EXPECT_EQ(ApplyToBmpFile(scratch_ / "huge.bmp", scratch_ / "out.bmp", Distinct()),
              Reason(ReasonCode::TooLarge, 54 + std::int64_t{65536 * 3} * 21846, "a BMP file"));
    EXPECT_EQ(scratch_.Entries(), std::set<std::string>{"huge.bmp"});
}

TEST_F(ApplyToBmpTest, AWriteThatFailsInEitherWorkerLeavesNoFileAndTheOldOneIntact) {
    bmptest::WriteFile(scratch_ / "in.bmp", bmptest::EncodeBmp(bmptest::Gradient(64, 64)));
    WriteBytes(scratch_ / "out.bmp", "the old output");
    for (const std::int64_t runBytes : {std::int64_t{192}, std::int64_t{4096}}) {
        SCOPED_TRACE(runBytes);
        const int result = RunInChild([&] {
            IgnoreFileSizeSignal();
            constexpr rlim_t kLimit = 4096; // the file needs 12342 bytes
            const rlimit limit{kLimit, kLimit};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
                return -1;
            }
            return static_cast<int>(ApplyToBmpFile(scratch_ / "in.bmp", scratch_ / "out.bmp",
                                                   Distinct(), Split(runBytes, 2, true))
                                        .Code);
        });
        EXPECT_EQ(result, static_cast<int>(ReasonCode::FileSizeLimit));
        EXPECT_EQ(ReadBytes(scratch_ / "out.bmp"), "the old output");
        EXPECT_EQ(scratch_.Entries(), (std::set<std::string>{"in.bmp", "out.bmp"}));
    }
}

TEST_F(ApplyToBmpTest, AFailureAtAnyReadOrWriteIsReportedAndKeepsNothing) {
    // 8-bit, so the colour table is read too; runs of two rows (of 24
    // output bytes) on two threads. The reads: head, colour table, then one
    // per run.
    const auto bmp = bmptest::EncodeBmp(PictureFor(8, 7, 9), EncodingOf(8, true));
    const PipelineOptions options = Split(2 * 24, 2, true);
    bmptest::GivingOutSource counting(bmp, bmptest::kNeverFails, false);
    bmptest::RecordingOutput good;
    ASSERT_EQ(ApplyToBmp(counting, Into(good), Distinct(), options), Reason());
    ASSERT_TRUE(good.Tiled());
    for (std::int64_t failAt = 1; failAt <= counting.Calls(); ++failAt) {
        for (const bool shortRead : {false, true}) {
            SCOPED_TRACE(testing::Message() << "read " << failAt << (shortRead ? " short" : ""));
            bmptest::GivingOutSource failing(bmp, failAt, shortRead);
            bmptest::RecordingOutput memory;
            EXPECT_EQ(ApplyToBmp(failing, Into(memory), Distinct(), options).Code,
                      shortRead ? ReasonCode::Truncated : ReasonCode::ReadFailed);
            EXPECT_TRUE(memory.Bytes().empty());
            EXPECT_EQ(memory.Asked(), failAt <= 2 ? 0 : 1);
        }
    }
    for (std::int64_t failAt = 1; failAt <= good.Writes(); ++failAt) {
        SCOPED_TRACE(testing::Message() << "write " << failAt);
        bmptest::RecordingOutput memory(failAt);
        EXPECT_EQ(ApplyToBmp(MemorySource(bmp), Into(memory), Distinct(), options),
                  Reason(ReasonCode::DiskFull));
        EXPECT_TRUE(memory.Bytes().empty());
    }
}

// Read back by the reader, the file shows the rendered preview pixel for
// pixel, whatever the encoder of the expected bytes may think.
TEST_F(ApplyToBmpTest, WrittenFilesReadBackAsTheRenderedImage) {
    for (const std::int32_t width : {1, 2, 3, 4, 5, 9}) {
        for (const bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << width << " wide" << (topDown ? ", top-down" : ", bottom-up"));
            const auto bmp = bmptest::EncodeBmp(bmptest::Gradient(width, 7, std::uint32_t(width)),
                                                EncodingOf(24, topDown));
            OwnedImage input;
            ASSERT_EQ(LoadBmpBytes(&input.image, bmp), kBmpLoaded);
            const auto expected = BuildPreview(input.image, Distinct());
            ASSERT_TRUE(expected);
            AppliedOutput(bmp, Split(3 * 8, 2, true));
            OwnedImage output;
            ASSERT_EQ(LoadBmpFile(&output.image, scratch_ / "applied.bmp"), kBmpLoaded);
            ASSERT_FALSE(output.image.TopDown);
            for (std::int32_t y = 0; y < 7; ++y) {
                for (std::int32_t x = 0; x < width; ++x) {
                    // Array row 0 of a bottom-up file is the top row.
                    const std::uint8_t* p = output.image.Pixels + (std::int64_t{y} * width + x) * 4;
                    const std::uint32_t got = 0xFF000000u | p[0] << 16 | p[1] << 8 | p[2];
                    ASSERT_EQ(got, expected->At(x, y)) << "at " << x << "," << y;
                }
            }
        }
    }
}

} // namespace

} // namespace apply_to_bmp_test
