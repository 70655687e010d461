// A scanned page shown as scanned: grey spread to three channels, 16-bit
// samples by their high byte, every pixel opaque; a short page shows nothing.
#include "image/preview/ScanThumbnail.h"

#include <gtest/gtest.h>

#include <cstring>

namespace scan_thumbnail_test {

namespace {

SampleImage Page(int channels, int depth, const std::vector<std::uint16_t>& samples,
                 std::int32_t width) {
    SampleImage page;
    page.layout = {width, static_cast<std::int32_t>(samples.size()) / (width * channels), channels,
                   depth};
    for (const std::uint16_t s : samples) {
        if (depth == kWordDepth) {
            std::uint8_t bytes[2];
            std::memcpy(bytes, &s, 2);
            page.bytes.insert(page.bytes.end(), bytes, bytes + 2);
        } else {
            page.bytes.push_back(static_cast<std::uint8_t>(s));
        }
    }
    return page;
}

TEST(ScanThumbnail, PagesOfEveryShapeBecomeOpaqueRgbPixels) {
    const struct {
        const char* name;
        SampleImage page;
        std::vector<std::uint32_t> pixels;
    } cases[] = {
        {"8-bit grey",
         Page(1, 8, {0, 128, 255, 7}, 2),
         {0xFF000000, 0xFF808080, 0xFFFFFFFF, 0xFF070707}},
        {"8-bit colour", Page(3, 8, {1, 2, 3, 250, 251, 252}, 2), {0xFF010203, 0xFFFAFBFC}},
        {"16-bit colour: the high byte", Page(3, 16, {0x12FF, 0x3400, 0xFFFF}, 1), {0xFF1234FF}},
        {"16-bit grey", Page(1, 16, {0xAB01}, 1), {0xFFABABAB}},
    };
    for (const auto& c : cases) {
        const Thumbnail thumb = ThumbnailOf(c.page);
        EXPECT_EQ(thumb.width, c.page.layout.width) << c.name;
        EXPECT_EQ(thumb.height, c.page.layout.height) << c.name;
        EXPECT_EQ(thumb.pixels, c.pixels) << c.name;
    }
    SampleImage shortPage = Page(3, 8, {1, 2, 3, 4, 5, 6}, 1);
    shortPage.bytes.pop_back();
    EXPECT_TRUE(ThumbnailOf(shortPage).pixels.empty());
}

} // namespace

}  // namespace scan_thumbnail_test
