// What the window keeps of a file or a scanned page: a 16-bit scan at its
// own samples (in the machine's order, with its maxval, upright), an 8-bit
// one as its levels, and a 16-bit page as the page itself, never copied.
#include "image/ReadImage.h"
#include "tests/image/ScanFiles.h"
#include "tests/io/ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace keep_picture_test {

namespace {

using Samples = std::array<std::uint32_t, 3>;

struct KeptFile {
    std::string name;
    int samples;           // 1 grey, 3 colour
    std::int32_t maxValue; // the PNM's maxval
    bool wide;             // kept at its own samples
    Samples topLeft;       // pixel (0, 0) as kept
    Samples bottomRight;   // pixel (2, 1)
};

// Pixel (x, y) channel c holds 1000 * (y * 3 + x) + 100 * c + 7, held to
// the maxval (a level of an 8-bit file: the same modulo 256).
std::uint16_t SampleOf(int x, int y, int c, std::int32_t maxValue) {
    const int value = 1000 * (y * 3 + x) + 100 * c + 7;
    return static_cast<std::uint16_t>(maxValue == 255 ? value % 256 : std::min(value, maxValue));
}

const KeptFile kFiles[] = {
    {"colour, 16 bits", 3, 65535, true, {7, 107, 207}, {5007, 5107, 5207}},
    {"grey, 16 bits", 1, 65535, true, {7, 7, 7}, {5007, 5007, 5007}},
    {"colour, maxval 4095", 3, 4095, true, {7, 107, 207}, {4095, 4095, 4095}},
    {"colour, 8 bits", 3, 255, false, {7, 107, 207}, {143, 243, 87}},
};

TEST(KeepPicture, AFileIsKeptAtItsOwnDepthAndUpright) {
    for (const KeptFile& file : kFiles) {
        const ScratchDir scratch;
        const auto bytes =
            scantest::EncodePnm(3, 2, file.samples, file.maxValue, [&](int x, int y, int c) {
                return SampleOf(x, y, c, file.maxValue);
            });
        WriteBytes(scratch / "scan.pnm", std::string(bytes.begin(), bytes.end()));
        const Outcome<KeptImage> kept = ReadPictureFile(scratch / "scan.pnm");
        ASSERT_TRUE(kept) << file.name;
        EXPECT_EQ(kept->Wide(), file.wide) << file.name;
        EXPECT_EQ(kept->Layout().MaxValue, file.wide ? file.maxValue : 255) << file.name;
        EXPECT_EQ(kept->SamplesAt(0, 0), file.topLeft) << file.name;
        EXPECT_EQ(kept->SamplesAt(2, 1), file.bottomRight) << file.name;
    }
}

TEST(KeepPicture, ASixteenBitPageIsKeptAsItIsAndAnEightBitOneAsLevels) {
    auto wide = std::make_shared<SampleImage>();
    wide->layout = {2, 1, kRgbChannels, kWordDepth};
    wide->bytes.resize(wide->layout.RowBytes());
    const std::array<std::uint16_t, 6> samples{1, 2, 3, 65535, 40000, 0};
    std::memcpy(wide->bytes.data(), samples.data(), wide->bytes.size());
    const Outcome<KeptImage> kept = KeepPage(wide);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->Rows().Rows(0, 1, nullptr).First, wide->bytes.data()) << "not copied";
    EXPECT_EQ(kept->SamplesAt(1, 0), (Samples{65535, 40000, 0}));

    auto narrow = std::make_shared<SampleImage>();
    narrow->layout = {1, 1, kGreyChannels, kByteDepth};
    narrow->bytes = {200};
    const Outcome<KeptImage> levels = KeepPage(narrow);
    ASSERT_TRUE(levels);
    EXPECT_FALSE(levels->Wide());
    EXPECT_EQ(levels->SamplesAt(0, 0), (Samples{200, 200, 200}));
}

} // namespace

} // namespace keep_picture_test
