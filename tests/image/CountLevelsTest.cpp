// The levels counted as a file's rows stream past are those of the image the
// window would hold of it, for every format and row layout the readers give.
#include "image/CountLevels.h"
#include "image/ReadImage.h"
#include "image/SampleOutput.h"
#include "io/AtomicWrite.h"
#include "tests/image/BmpWriter.h"
#include "tests/io/ScratchDir.h"

#include <gtest/gtest.h>

#include <random>

namespace count_levels_test {

namespace {

std::filesystem::path WriteBmp(const ScratchDir& scratch, const char* name,
                               const bmptest::Encoding& encoding) {
    bmptest::Picture picture = bmptest::Gradient(61, 23, 5);
    if (encoding.bitCount == 8) {
        for (std::uint32_t& pixel : picture.pixels) {
            pixel &= 0x0F; // indices into a 16-entry table
        }
    }
    const std::filesystem::path path = scratch / name;
    bmptest::WriteFile(path, bmptest::EncodeBmp(picture, encoding));
    return path;
}

std::filesystem::path WriteScan(const ScratchDir& scratch, const char* name, int channels,
                                int depth, ImageFormat kind) {
    SampleImage page{{157, 31, channels, depth}, {}};
    page.bytes.resize(page.layout.RowBytes() * 31);
    std::mt19937 random(static_cast<unsigned>(channels * 16 + depth));
    for (std::uint8_t& byte : page.bytes) {
        byte = static_cast<std::uint8_t>(random());
    }
    const std::filesystem::path path = scratch / name;
    EXPECT_FALSE(WriteSamples(page.layout, kind, RunsOf(page), [&](const PositionedContents& c) {
        return WriteFileAtomically(path, c);
    }));
    return path;
}

TEST(CountLevels, StreamedCountsEqualThoseOfTheImageTheWindowReads) {
    const ScratchDir scratch;
    std::vector<std::uint32_t> palette(16);
    for (std::uint32_t i = 0; i < palette.size(); ++i) {
        palette[i] = (i * 17) << 16 | (255 - i * 9) << 8 | (i * 5);
    }
    bmptest::Encoding topDown32;
    topDown32.bitCount = 32;
    topDown32.topDown = true;
    bmptest::Encoding indexed8;
    indexed8.bitCount = 8;
    indexed8.palette = palette;
    const std::filesystem::path files[] = {
        WriteBmp(scratch, "rgb24.bmp", {}),
        WriteBmp(scratch, "topdown32.bmp", topDown32),
        WriteBmp(scratch, "indexed8.bmp", indexed8),
        WriteScan(scratch, "grey8.pgm", kGreyChannels, kByteDepth, ImageFormat::Pnm),
        WriteScan(scratch, "rgb48.ppm", kRgbChannels, kWordDepth, ImageFormat::Pnm),
        WriteScan(scratch, "rgb48.png", kRgbChannels, kWordDepth, ImageFormat::Png),
        WriteScan(scratch, "rgb24.tif", kRgbChannels, kByteDepth, ImageFormat::Tiff),
    };
    for (const std::filesystem::path& file : files) {
        const Outcome<DecodedImage> image = ReadImageFile(file);
        ASSERT_TRUE(image) << file;
        const Outcome<LevelHistogram> streamed = CountImageLevels(file);
        ASSERT_TRUE(streamed) << file;
        EXPECT_GT(streamed->Pixels(), 0u) << file;
        EXPECT_EQ(*streamed, CountKeptLevels(image->View())) << file;
    }
}

TEST(CountLevels, AFileThatCannotBeReadGivesItsReason) {
    const ScratchDir scratch;
    EXPECT_EQ(CountImageLevels(scratch / "missing.bmp").Why().Code, ReasonCode::CannotOpen);
    const std::filesystem::path cut = scratch / "cut.ppm";
    bmptest::WriteFile(cut, {'P', '6', '\n', '9', ' ', '9', '\n', '2', '5', '5', '\n', 1, 2, 3});
    EXPECT_TRUE(CountImageLevels(cut).Why());
}

} // namespace

} // namespace count_levels_test
