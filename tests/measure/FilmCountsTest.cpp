// A frame counted through the readers: rectangles are taken in the upright
// image whatever the row order, and samples of any depth land on one scale.
#include "measure/FilmCounts.h"
#include "image/formats/FormatTable.h"
#include "image/rows/ByteSource.h"
#include "tests/image/BmpWriter.h"
#include "tests/image/ScanFiles.h"

#include <gtest/gtest.h>

namespace film_counts_test {

namespace {

constexpr std::int32_t kWidth = 9;
constexpr std::int32_t kHeight = 8;
constexpr PixelRect kTop{2, 0, 5, 3};
constexpr PixelRect kBottom{0, 6, 9, 2};

// The top half is one colour, the bottom half another (8-bit levels).
constexpr std::array<std::uint32_t, 3> kTopLevels = {200, 120, 40};
constexpr std::array<std::uint32_t, 3> kBottomLevels = {10, 90, 250};

std::uint32_t LevelAt(std::int32_t y, int c) {
    return (y < kHeight / 2 ? kTopLevels : kBottomLevels)[static_cast<std::size_t>(c)];
}

struct FormatCase {
    const char* name;
    ImageFormat format;
    std::vector<std::uint8_t> (*encode)();
};

std::vector<std::uint8_t> Bmp() {
    bmptest::Picture p{kWidth, kHeight, {}};
    for (std::int32_t y = 0; y < kHeight; ++y) {
        for (std::int32_t x = 0; x < kWidth; ++x) {
            p.pixels.push_back(LevelAt(y, 0) << 16 | LevelAt(y, 1) << 8 | LevelAt(y, 2));
        }
    }
    return bmptest::EncodeBmp(p);
}

std::vector<std::uint8_t> Pnm16() {
    return scantest::EncodePnm(kWidth, kHeight, 3, 65535, [](std::int32_t, std::int32_t y, int c) {
        return static_cast<std::uint16_t>(LevelAt(y, c) * 257);
    });
}

// maxval 1023: a 10-bit scanner's samples, scaled to the 16-bit steps.
std::vector<std::uint8_t> Pnm10() {
    return scantest::EncodePnm(kWidth, kHeight, 3, 1023, [](std::int32_t, std::int32_t y, int c) {
        return static_cast<std::uint16_t>((LevelAt(y, c) * 1023 + 127) / 255);
    });
}

class Formats : public testing::TestWithParam<FormatCase> {};

TEST_P(Formats, RectanglesAreCountedWhereTheUprightImageHasThem) {
    const std::vector<std::uint8_t> bytes = GetParam().encode();
    const MemorySource source(bytes);
    const auto rows = OpenRows(GetParam().format, source);
    ASSERT_TRUE(rows);
    const std::array<PixelRect, 2> regions = {kTop, kBottom};
    const Outcome<FrameCounts> counts = CountFrame(**rows, regions);
    ASSERT_TRUE(counts);
    for (int c = 0; c < 3; ++c) {
        const auto& frame = counts->frame[static_cast<std::size_t>(c)];
        EXPECT_EQ(std::accumulate(frame.begin(), frame.end(), std::uint64_t{0}),
                  std::uint64_t{kWidth * kHeight});
        const double top = TransmissionAt(counts->regions[0][static_cast<std::size_t>(c)], 0.5);
        const double bottom = TransmissionAt(counts->regions[1][static_cast<std::size_t>(c)], 0.5);
        EXPECT_NEAR(top, LevelAt(0, c) / 255.0, 1e-3) << "channel " << c;
        EXPECT_NEAR(bottom, LevelAt(kHeight - 1, c) / 255.0, 1e-3) << "channel " << c;
        // Half the frame is the brighter half.
        const double brighter = std::max(top, bottom);
        EXPECT_DOUBLE_EQ(ShareAbove(frame, std::min(top, bottom)), 0.5);
        EXPECT_DOUBLE_EQ(ShareAbove(frame, brighter), 0.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Readers, Formats,
                         testing::Values(FormatCase{"BottomUpBmp", ImageFormat::Bmp, Bmp},
                                         FormatCase{"Pnm16BigEndian", ImageFormat::Pnm, Pnm16},
                                         FormatCase{"Pnm10Bit", ImageFormat::Pnm, Pnm10}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

} // namespace film_counts_test
