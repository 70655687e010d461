// The head of the 24-bit BMP the tool writes: its fields, and the size
// limit of the format's 32-bit fields.
#include "image/formats/BmpWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace bmp_writer_test {

namespace {

std::uint32_t U32At(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= std::uint32_t(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return value;
}

TEST(BmpWriter, DescribesABottomUp24BitFileWithPaddedRows) {
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

} // namespace

}  // namespace bmp_writer_test
