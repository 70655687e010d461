// The 24-bit BMP writer: header fields, size limit, the round trip through
// the reader for every padding and band split, and that a failed write
// leaves nothing behind.
#include "cli/BmpWriter.h"
#include "image/BmpReader.h"
#include "image/RenderPreview.h"
#include "tests/image/BmpWriter.h"
#include "tests/image/ImageTestUtil.h"
#include "tests/io/ScratchDir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

namespace {

using imagetest::OwnedImage;

std::uint32_t U32At(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= std::uint32_t(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return value;
}

std::array<GammaTable, 3> Distinct() {
    std::array<GammaTable, 3> tables{};
    for (int i = 0; i < 256; ++i) {
        tables[0][i] = static_cast<std::int16_t>(255 - i);
        tables[1][i] = static_cast<std::int16_t>(i / 2);
        tables[2][i] = static_cast<std::int16_t>((i * 7) & 0xFF);
    }
    return tables;
}

TEST(BmpWriter, HeaderDescribesABottomUp24BitFileWithPaddedRows) {
    const auto layout = LayoutBmp24(5, 3);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->stride, 16u); // 15 bytes of pixels, padded to a multiple of 4
    const BmpHeaderBytes header = FormatBmp24Header(*layout);
    const std::string bytes(header.begin(), header.end());
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(U32At(bytes, 2), 54u + 3 * 16);
    EXPECT_EQ(U32At(bytes, 10), 54u);
    EXPECT_EQ(U32At(bytes, 14), 40u);
    EXPECT_EQ(U32At(bytes, 18), 5u);
    EXPECT_EQ(U32At(bytes, 22), 3u); // positive: bottom-up
    EXPECT_EQ(U32At(bytes, 26), 1u | 24u << 16);
    EXPECT_EQ(U32At(bytes, 30), 0u);
    EXPECT_EQ(U32At(bytes, 34), 3u * 16);
}

TEST(BmpWriter, ImagesBeyondThe32BitFileSizeHaveNoLayout) {
    EXPECT_TRUE(LayoutBmp24(32768, 43690)); // 4 294 639 670 bytes: fits
    EXPECT_FALSE(LayoutBmp24(32768, 43691));
    EXPECT_FALSE(LayoutBmp24(-1, 1));
}

// Reading the written file back gives the rendered preview, pixel for pixel.
void ExpectRoundTrip(const bmptest::Picture& picture, bool topDown, std::int32_t bandRows) {
    SCOPED_TRACE(testing::Message()
                 << picture.width << "x" << picture.height << (topDown ? " top-down" : " bottom-up")
                 << ", bands of " << bandRows);
    bmptest::Encoding encoding;
    encoding.topDown = topDown;
    OwnedImage input;
    ASSERT_EQ(LoadBmpBytes(&input.image, bmptest::EncodeBmp(picture, encoding)), kBmpLoaded);
    const auto tables = Distinct();
    const auto expected = BuildPreview(input.image, tables);
    ASSERT_TRUE(expected);

    ScratchDir scratch;
    const auto layout = LayoutBmp24(picture.width, picture.height);
    ASSERT_EQ(WriteRenderedBmp(scratch / "out.bmp", *layout, input.image, tables, bandRows),
              WriteResult::Ok);
    EXPECT_EQ(std::filesystem::file_size(scratch / "out.bmp"), layout->fileSize);
    OwnedImage output;
    ASSERT_EQ(LoadBmpFile(&output.image, scratch / "out.bmp"), kBmpLoaded);
    ASSERT_FALSE(output.image.TopDown);
    for (std::int32_t y = 0; y < picture.height; ++y) {
        for (std::int32_t x = 0; x < picture.width; ++x) {
            const std::uint8_t* p = output.image.Pixels + (std::int64_t{y} * picture.width + x) * 4;
            const std::uint32_t got = 0xFF000000u | p[0] << 16 | p[1] << 8 | p[2];
            ASSERT_EQ(got, expected->At(x, y)) << "at " << x << "," << y;
        }
    }
}

TEST(BmpWriter, WrittenFilesReadBackAsTheRenderedImage) {
    // Widths 1..5 cover every padding (and the four-pixel groups with and
    // without a remainder); band sizes split the rows evenly, unevenly, one
    // by one, and not at all.
    for (const std::int32_t width : {1, 2, 3, 4, 5, 9}) {
        for (const bool topDown : {false, true}) {
            for (const std::int32_t bandRows : {1, 3, 7, 0}) {
                ExpectRoundTrip(bmptest::Gradient(width, 7, static_cast<std::uint32_t>(width)),
                                topDown, bandRows);
            }
        }
    }
}

TEST(BmpWriter, AFailedWriteLeavesNoFileAndTheOldOneIntact) {
    ScratchDir scratch;
    WriteBytes(scratch / "out.bmp", "the old file");
    OwnedImage input;
    ASSERT_EQ(LoadBmpBytes(&input.image, bmptest::EncodeBmp(bmptest::Gradient(64, 64))),
              kBmpLoaded);
    const auto layout = LayoutBmp24(64, 64);
    const int result = RunInChild([&] {
        IgnoreFileSizeSignal();
        constexpr rlim_t kLimit = 4096; // the file needs 12342 bytes
        const rlimit limit{kLimit, kLimit};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            return -1;
        }
        return static_cast<int>(
            WriteRenderedBmp(scratch / "out.bmp", *layout, input.image, Distinct(), 5));
    });
    EXPECT_EQ(result, static_cast<int>(WriteResult::WriteFailed));
    EXPECT_EQ(ReadBytes(scratch / "out.bmp"), "the old file");
    EXPECT_EQ(scratch.Entries(), std::set<std::string>{"out.bmp"});
}

TEST(BmpWriter, ALayoutForAnotherImageIsRefused) {
    OwnedImage input;
    ASSERT_EQ(LoadBmpBytes(&input.image, bmptest::EncodeBmp(bmptest::Gradient(4, 4))), kBmpLoaded);
    ScratchDir scratch;
    EXPECT_EQ(WriteRenderedBmp(scratch / "out.bmp", *LayoutBmp24(4, 5), input.image, Distinct()),
              WriteResult::WriteFailed);
    EXPECT_TRUE(scratch.Entries().empty());
}

} // namespace
