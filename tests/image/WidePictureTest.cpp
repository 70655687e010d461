// A 16-bit picture as the window keeps and shows it: its samples turned to
// the machine's order once, looked up through the curves per channel,
// rounded to the screen's 8 bits, counted at every sample and read back
// from the right stored row.
#include "image/kernels/WidePicture.h"
#include "image/CountLevels.h"
#include "image/rows/KeptImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

namespace wide_picture_test {

namespace {

// The curve that turns every level over: 65535 - j.
WideCurve Inverted() {
    WideCurve curve(kWideCurveEntries);
    for (std::size_t j = 0; j < curve.size(); ++j) {
        curve[j] = static_cast<std::uint16_t>(kWideCurveTop - static_cast<int>(j));
    }
    return curve;
}

WideCurve Identity() {
    WideCurve curve(kWideCurveEntries);
    std::iota(curve.begin(), curve.end(), std::uint16_t{0});
    return curve;
}

// Rows of native 16-bit samples, packed.
std::vector<std::uint8_t> Words(const std::vector<std::uint16_t>& samples) {
    std::vector<std::uint8_t> bytes(samples.size() * 2);
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    return bytes;
}

TEST(WidePicture, ALevelShowsAsItsNearestScreenLevel) {
    const std::pair<std::uint32_t, int> cases[] = {
        {0, 0}, {128, 0}, {129, 1}, {32767, 127}, {32768, 128}, {65406, 254}, {65407, 255}};
    for (const auto& [level, shown] : cases) {
        EXPECT_EQ(NarrowLevel(level), shown) << level;
    }
}

TEST(WidePicture, WordsTurnOverInBlocksAndInTheTail) {
    std::vector<std::uint8_t> ten{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    SwapWords(ten);
    EXPECT_EQ(ten, (std::vector<std::uint8_t>{2, 1, 4, 3, 6, 5, 8, 7, 10, 9}));
    std::vector<std::uint8_t> odd{1, 2, 3};
    SwapWords(odd);
    EXPECT_EQ(odd, (std::vector<std::uint8_t>{2, 1, 3})) << "a lone last byte stays";
}

TEST(WidePicture, BigEndianRowsAreKeptInTheMachinesOrderEvenInPlace) {
    const std::vector<std::uint8_t> stored{0x12, 0x34, 0xAB, 0xCD, 0x00, 0xFF};
    for (const bool inPlace : {false, true}) {
        std::vector<std::uint8_t> in = stored;
        std::vector<std::uint8_t> out(stored.size());
        std::uint8_t* target = inPlace ? in.data() : out.data();
        WordCopyKernelFor(kRgb48Be)({in.data(), 6, target, 6, 1, 1});
        std::array<std::uint16_t, 3> kept{};
        std::memcpy(kept.data(), target, 6);
        EXPECT_EQ(kept, (std::array<std::uint16_t, 3>{0x1234, 0xABCD, 0x00FF})) << inPlace;
    }
    const std::vector<std::uint8_t> native = Words({0x1234, 7});
    std::vector<std::uint8_t> copy(native.size());
    WordCopyKernelFor(kGrey16)({native.data(), 4, copy.data(), 4, 1, 2});
    EXPECT_EQ(copy, native);
    EXPECT_EQ(NativeWordFormat(kGrey16Be), kGrey16);
    EXPECT_EQ(WordCopyKernelFor(kRgb24), nullptr);
}

TEST(WidePicture, WithoutCurvesASampleIsItsOwnLevelUpToTheMaxval) {
    const WideToneMap map({}, 4095);
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        EXPECT_EQ(map.Levels[c][4095], 4095);
        EXPECT_EQ(map.Levels[c][5000], 4095) << "above the maxval counts as it";
        EXPECT_EQ(map.Shown[c][4095], 255);
        EXPECT_EQ(map.Shown[c][2048], 128);
        EXPECT_EQ(map.Shown[c][0], 0);
    }
}

TEST(WidePicture, EachChannelGoesThroughItsOwnCurveAtItsStep) {
    const WideToneMap map({Inverted(), Identity(), Identity()}, 32767);
    // Sample 16384 of maxval 32767 is step (16384 * 65535 + 16383) / 32767.
    EXPECT_EQ(map.Levels[kGreen][16384], 32769);
    EXPECT_EQ(map.Levels[kRed][16384], 65535 - 32769);
    EXPECT_EQ(map.Levels[kRed][0], 65535);
    EXPECT_EQ(map.Shown[kRed][0], 255);
    EXPECT_EQ(map.Shown[kGreen][16384], NarrowLevel(32769));

    const std::vector<std::uint8_t> rgb = Words({0, 16384, 32767, 32767, 0, 16384});
    std::array<std::uint32_t, 2> rgbOut{};
    WidePreviewKernelFor(kRgb48)(
        {rgb.data(), 12, reinterpret_cast<std::uint8_t*>(rgbOut.data()), 8, 1, 2}, map);
    EXPECT_EQ(rgbOut[0], 0xFFFF80FFu) << std::hex << rgbOut[0];
    EXPECT_EQ(rgbOut[1], 0xFF000080u) << std::hex << rgbOut[1];

    const std::vector<std::uint8_t> grey = Words({0, 32767});
    std::array<std::uint32_t, 2> greyOut{};
    WidePreviewKernelFor(kGrey16)(
        {grey.data(), 4, reinterpret_cast<std::uint8_t*>(greyOut.data()), 8, 1, 2}, map);
    EXPECT_EQ(greyOut[0], 0xFFFF0000u) << "one grey sample on all three curves";
    EXPECT_EQ(greyOut[1], 0xFF00FFFFu);
    EXPECT_EQ(WidePreviewKernelFor(kRgb24), nullptr);
}

TEST(WidePicture, EverySampleIsCountedAndFoldedIntoItsShownColumn) {
    const std::vector<std::uint8_t> grey = Words({300, 300, 65535, 0});
    WideCounts counts;
    counts.AddRows(grey.data(), 4, 2, 2, 1);
    const std::vector<std::uint8_t> rgb = Words({1, 2, 3});
    counts.AddRows(rgb.data(), 6, 1, 1, 3);
    EXPECT_EQ(counts.Channels[kRed][300], 2u);
    EXPECT_EQ(counts.Channels[kBlue][300], 2u) << "a grey sample counts on all three";
    EXPECT_EQ(counts.Channels[kGreen][2], 1u);
    EXPECT_EQ(counts.Channels[kGreen][1], 0u);

    const WideToneMap map({}, kMaxSample16);
    const LevelHistogram folded = FoldCounts(counts, map.Shown);
    EXPECT_EQ(folded.channels[kRed][1], 2u) << "300 shows as level 1";
    EXPECT_EQ(folded.channels[kRed][0], 2u) << "0 and 1";
    EXPECT_EQ(folded.channels[kRed][255], 1u);
    EXPECT_EQ(folded.Pixels(), 5u);
}

TEST(WidePicture, ASampleIsReadFromTheStoredRowItsUprightRowGives) {
    const std::vector<std::uint8_t> rows = Words({10, 20, 30, 40});
    for (const bool bottomUp : {false, true}) {
        const KeptImage picture(nullptr, rows.data(), {2, 2, kGrey16, bottomUp, 4, kMaxSample16});
        EXPECT_TRUE(picture.Wide());
        const std::uint32_t top = bottomUp ? 30 : 10;
        EXPECT_EQ(picture.SamplesAt(0, 0), (std::array<std::uint32_t, 3>{top, top, top}));
        EXPECT_EQ(picture.SamplesAt(1, 1)[kBlue], bottomUp ? 20u : 40u);
    }
}

TEST(WidePicture, APicturesCountsShowThroughTheCurvesItIsShownThrough) {
    const std::vector<std::uint8_t> rows = Words({0, 65535, 65535, 30000, 30000, 30000});
    const KeptImage picture(nullptr, rows.data(), {2, 1, kRgb48, false, 12, kMaxSample16});
    const PictureCounts counts = CountPicture(picture);
    ASSERT_TRUE(counts.Samples);
    EXPECT_EQ(counts.Samples->Channels[kRed][30000], 1u);
    EXPECT_EQ(counts.Levels.channels[kRed][0], 1u);
    EXPECT_EQ(counts.Levels.channels[kGreen][255], 1u);
    EXPECT_EQ(counts.Levels.channels[kBlue][NarrowLevel(30000)], 1u);

    const LevelHistogram inverted =
        CountsThrough(counts, PictureTables({}, {Inverted(), Inverted(), Inverted()}));
    EXPECT_EQ(inverted.channels[kRed][255], 1u);
    EXPECT_EQ(inverted.channels[kGreen][0], 1u);
    EXPECT_EQ(inverted.channels[kBlue][NarrowLevel(65535 - 30000)], 1u);
}

} // namespace

} // namespace wide_picture_test
