// The BMP reader on files written by the tests: what it accepts, what it
// refuses, row order, colour tables, and that a failure changes nothing.
#include "image/BmpReader.h"
#include "io/File.h"
#include "tests/image/BmpWriter.h"
#include "tests/image/ImageTestUtil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <filesystem>
#include <ostream>
#include <string>
#include <unistd.h>

namespace {

using bmptest::EncodeBmp;
using bmptest::Encoding;
using bmptest::Gradient;
using bmptest::HeadBytes;
using bmptest::Header;
using bmptest::Picture;
using bmptest::PutU16;
using bmptest::PutU32;
using Bytes = std::vector<std::uint8_t>;
using imagetest::ExpectedArray;
using imagetest::OwnedImage;

constexpr std::size_t kSizeField = 14;
constexpr std::size_t kWidthField = 18;
constexpr std::size_t kHeightField = 22;
constexpr std::size_t kBitCountField = 28;
constexpr std::size_t kCompressionField = 30;
constexpr std::size_t kOffsetField = 10;

// Whatever the caller held before a call.
const ImageBuffer kSentinel{true, 7, 9, reinterpret_cast<std::uint8_t*>(0x1234)};

bool IsSentinel(const ImageBuffer& b) {
    return b.TopDown == kSentinel.TopDown && b.Width == kSentinel.Width &&
           b.Height == kSentinel.Height && b.Pixels == kSentinel.Pixels;
}

Bytes With32(Bytes bytes, std::size_t at, std::uint32_t value) {
    PutU32(bytes, at, value);
    return bytes;
}

Bytes With16(Bytes bytes, std::size_t at, std::uint32_t value) {
    PutU16(bytes, at, value);
    return bytes;
}

Bytes Truncated(Bytes bytes, std::size_t drop) {
    bytes.resize(bytes.size() - drop);
    return bytes;
}

// Headers and `extra` zero bytes; a 56-byte file when extra is 2.
Bytes HeadOnly(Header h, std::size_t extra = 2) {
    Bytes out = HeadBytes(h);
    out.resize(out.size() + extra, 0);
    return out;
}

Header Sized(std::int32_t width, std::int32_t height, std::uint16_t bits = 24) {
    Header h;
    h.width = width;
    h.height = height;
    h.bitCount = bits;
    return h;
}

Bytes Valid24(std::int32_t w, std::int32_t h) {
    return EncodeBmp(Gradient(w, h));
}

Bytes Valid8() {
    Encoding e;
    e.bitCount = 8;
    for (std::uint32_t i = 0; i < 256; ++i) {
        e.palette.push_back(i * 0x010203u & 0xFFFFFF);
    }
    return EncodeBmp(Gradient(8, 4), e);
}

struct RejectCase {
    std::string name;
    Bytes bytes;
};

void PrintTo(const RejectCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<RejectCase> RejectCases() {
    Encoding bits32;
    bits32.bitCount = 32;
    Encoding smallPalette;
    smallPalette.bitCount = 8;
    smallPalette.palette = {0x000000, 0xFFFFFF, 0x808080, 0x102030};
    return {
        {"FiftyFiveBytes", HeadOnly(Sized(0, 0), 1)},
        {"FiftyFourBytes", HeadOnly(Sized(0, 0), 0)},
        {"SignatureReversed", With16(Valid24(2, 2), 0, 0x424D)},
        {"SignatureBA", With16(Valid24(2, 2), 0, 0x4142)},
        {"InfoHeader108", With32(Valid24(2, 2), kSizeField, 108)},
        {"InfoHeader124", With32(Valid24(2, 2), kSizeField, 124)},
        {"InfoHeader12", With32(Valid24(2, 2), kSizeField, 12)},
        {"BitFields32", With32(EncodeBmp(Gradient(2, 2), bits32), kCompressionField, 3)},
        {"Rle8", With32(Valid8(), kCompressionField, 1)},
        {"OneBit", With16(Valid24(8, 8), kBitCountField, 1)},
        {"FourBits", With16(Valid24(8, 8), kBitCountField, 4)},
        {"SixteenBits", With16(Valid24(8, 8), kBitCountField, 16)},
        {"ZeroBits", With16(Valid24(8, 8), kBitCountField, 0)},
        {"EightBitShorterThanFullColourTable", EncodeBmp(Gradient(2, 2, 0), smallPalette)},
        {"EightBitZeroSizedWithoutColourTable", HeadOnly(Sized(0, 0, 8))},
        {"EightBitOneByteShortOfColourTable", HeadOnly(Sized(0, 0, 8), 1023)},
        {"PixelDataOffsetAtEnd", With32(Valid24(2, 2), kOffsetField, 70)},
        {"PixelDataOffsetFarPastEnd", With32(Valid24(2, 2), kOffsetField, 0x7FFFFFF0)},
        {"LastStoredRowOneByteShort", Truncated(Valid24(4, 3), 1)},
        {"FirstStoredRowOneByteShort", Truncated(With32(Valid24(4, 3), kOffsetField, 55), 0)},
        {"NegativeWidth", With32(Valid24(2, 2), kWidthField, static_cast<std::uint32_t>(-2))},
        {"NegativeWidthZeroHeight", HeadOnly(Sized(-5, 0))},
        {"HeightMinusTwoToThe31", HeadOnly(Sized(1, INT_MIN))},
        {"OffsetTwoToThe31", With32(Valid24(2, 2), kOffsetField, 0x80000000u)},
        {"OffsetAllOnes", With32(Valid24(2, 2), kOffsetField, 0xFFFFFFFFu)},
        {"RowSizeOverflows32Bits", HeadOnly(Sized(INT_MAX, 1, 32))},
        {"RowOffsetsPass2To31", With32(Valid24(2, 2), kHeightField, 0x40000000)},
        {"HugeDimensionsInFiftySixBytes", HeadOnly(Sized(30000, 30000))},
        {"HugeTopDownInFiftySixBytes", HeadOnly(Sized(30000, -30000, 32))},
        {"MaxHeightOneColumn", HeadOnly(Sized(1, INT_MAX, 8), 1030)},
    };
}

class RejectedFiles : public testing::TestWithParam<RejectCase> {};

TEST_P(RejectedFiles, FailWithTheBufferUntouched) {
    ImageBuffer image = kSentinel;
    EXPECT_EQ(LoadBmpBytes(&image, GetParam().bytes), -1);
    EXPECT_TRUE(IsSentinel(image));
}

TEST_P(RejectedFiles, FailTheSameWayFromAFile) {
    const auto path = std::filesystem::path(testing::TempDir()) /
                      ("tamrel_reject_" + std::to_string(::getpid()) + ".bmp");
    bmptest::WriteFile(path, GetParam().bytes);
    ImageBuffer image = kSentinel;
    EXPECT_EQ(LoadBmpFile(&image, path), -1);
    EXPECT_TRUE(IsSentinel(image));
    std::filesystem::remove(path);
}

INSTANTIATE_TEST_SUITE_P(Bmp, RejectedFiles, testing::ValuesIn(RejectCases()),
                         [](const auto& info) { return info.param.name; });

// Counts what the reader asks of its source.
class CountingSource final : public ByteSource {
public:
    explicit CountingSource(const Bytes& bytes) : inner_(bytes) {}
    std::int64_t Length() const override { return inner_.Length(); }
    std::int64_t ReadAt(std::int64_t position, void* buffer, std::size_t size) const override {
        ++calls;
        bytes += static_cast<std::int64_t>(size);
        return inner_.ReadAt(position, buffer, size);
    }
    mutable std::atomic<std::int64_t> calls{0};
    mutable std::atomic<std::int64_t> bytes{0};

private:
    MemorySource inner_;
};

TEST(BmpReader, RefusesHugeClaimsInTinyFilesAfterReadingOnlyTheHeader) {
    for (const Header& h : {Sized(30000, 30000), Sized(1, INT_MAX), Sized(INT_MAX, -1, 8),
                            Sized(100000, 100000, 32)}) {
        const Bytes bytes = HeadOnly(h, h.bitCount == 8 ? 1030 : 2);
        CountingSource source(bytes);
        ImageBuffer image = kSentinel;
        EXPECT_EQ(LoadBmp(&image, source), -1) << h.width << " x " << h.height;
        EXPECT_TRUE(IsSentinel(image));
        EXPECT_LE(source.bytes.load(), 54 + 1024) << "no row was to be read";
    }
}

TEST(BmpReader, ReadsEachRowInOneCall) {
    const Bytes bytes = Valid24(100, 50);
    CountingSource source(bytes);
    OwnedImage loaded;
    ASSERT_EQ(LoadBmp(&loaded.image, source), 0);
    EXPECT_EQ(source.calls.load(), 1 + 50); // the headers, then one call per row
}

TEST(BmpReader, NullBufferFails) {
    EXPECT_EQ(LoadBmpBytes(nullptr, Valid24(2, 2)), -1);
    EXPECT_EQ(LoadBmpFile(nullptr, "/nonexistent.bmp"), -1);
}

struct EmptyCase {
    std::string name;
    Bytes bytes;
    std::int32_t width;
    std::int32_t height;
    bool topDown;
};

void PrintTo(const EmptyCase& c, std::ostream* os) {
    *os << c.name;
}

class ZeroSizedFiles : public testing::TestWithParam<EmptyCase> {};

TEST_P(ZeroSizedFiles, LoadAsEmptyImages) {
    const EmptyCase& c = GetParam();
    OwnedImage loaded;
    loaded.image = kSentinel;
    loaded.image.Pixels = nullptr;
    ASSERT_EQ(LoadBmpBytes(&loaded.image, c.bytes), 0);
    EXPECT_EQ(loaded.image.Width, c.width);
    EXPECT_EQ(loaded.image.Height, c.height);
    EXPECT_EQ(loaded.image.TopDown, c.topDown);
}

INSTANTIATE_TEST_SUITE_P(
    Bmp, ZeroSizedFiles,
    testing::ValuesIn(std::vector<EmptyCase>{
        {"ZeroWidth56Bytes", HeadOnly(Sized(0, 3)), 0, 3, false},
        {"ZeroHeight56Bytes", HeadOnly(Sized(5, 0)), 5, 0, false},
        {"ZeroWidthTopDown", HeadOnly(Sized(0, -4, 32)), 0, 4, true},
        // No row is read, so where the rows would be does not matter.
        {"ZeroWidthOffsetPastEnd", With32(HeadOnly(Sized(0, 3)), kOffsetField, 5000), 0, 3, false},
        {"EightBitWithFullColourTable", HeadOnly(Sized(0, 2, 8), 1024), 0, 2, false},
    }),
    [](const auto& info) { return info.param.name; });

TEST(BmpReader, BottomUpArrayStartsWithTheTopRowAndTopDownWithTheBottomRow) {
    // Top row red, blue; bottom row green, white.
    const Picture p{2, 2, {0xFF0000, 0x0000FF, 0x00FF00, 0xFFFFFF}};
    const Bytes top{255, 0, 0, 255, 0, 0, 255, 255};
    const Bytes bottom{0, 255, 0, 255, 255, 255, 255, 255};
    for (const bool topDown : {false, true}) {
        Encoding e;
        e.topDown = topDown;
        OwnedImage loaded;
        ASSERT_EQ(LoadBmpBytes(&loaded.image, EncodeBmp(p, e)), 0);
        EXPECT_EQ(loaded.image.TopDown, topDown);
        EXPECT_EQ(loaded.image.Width, 2);
        EXPECT_EQ(loaded.image.Height, 2);
        Bytes expected = topDown ? bottom : top;
        const Bytes& second = topDown ? top : bottom;
        expected.insert(expected.end(), second.begin(), second.end());
        EXPECT_EQ(loaded.Bytes(), expected) << (topDown ? "top-down" : "bottom-up");
    }
}

struct RoundTrip {
    std::uint16_t bits;
    std::int32_t width;
    std::int32_t height;
    bool topDown;
};

void PrintTo(const RoundTrip& c, std::ostream* os) {
    *os << c.bits << "bit " << c.width << "x" << c.height << (c.topDown ? " top-down" : "");
}

class RoundTrips : public testing::TestWithParam<RoundTrip> {};

// Padding and the fourth byte of 32-bit pixels are filled with junk; neither
// may show in the result.
TEST_P(RoundTrips, DecodeToTheWrittenColours) {
    const RoundTrip& c = GetParam();
    Encoding e;
    e.bitCount = c.bits;
    e.topDown = c.topDown;
    e.padByte = 0xA5;
    e.fourthByte = 0x3C;
    Picture picture = Gradient(c.width, c.height, c.bits);
    Picture colours = picture;
    if (c.bits == 8) {
        for (std::uint32_t i = 0; i < 256; ++i) {
            e.palette.push_back((i * 0x9E3779B9u) >> 8);
        }
        for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
            picture.pixels[i] &= 0xFF;
            colours.pixels[i] = e.palette[picture.pixels[i]];
        }
    }
    OwnedImage loaded;
    ASSERT_EQ(LoadBmpBytes(&loaded.image, EncodeBmp(picture, e)), 0);
    EXPECT_EQ(loaded.image.Width, c.width);
    EXPECT_EQ(loaded.image.Height, c.height);
    EXPECT_EQ(loaded.image.TopDown, c.topDown);
    EXPECT_EQ(loaded.Bytes(), ExpectedArray(colours, c.topDown));
}

std::vector<RoundTrip> RoundTripCases() {
    std::vector<RoundTrip> cases;
    for (const std::uint16_t bits : {8, 24, 32}) {
        for (const bool topDown : {false, true}) {
            for (std::int32_t width = 1; width <= 9; ++width) {
                cases.push_back({bits, width, 3, topDown});
            }
            cases.push_back({bits, 640, 480, topDown}); // large enough to use two threads
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Bmp, RoundTrips, testing::ValuesIn(RoundTripCases()));

TEST(BmpReader, TakesColourTableEntriesPastTheUsedCountFromTheFollowingBytes) {
    // Two real entries, then the pixel rows at offset 62: entry 2 is made of
    // the first three stored indices (blue 2, green 0x10, red 0x20).
    Encoding e;
    e.bitCount = 8;
    e.palette = {0x000000, 0xFFFFFF};
    Picture p{32, 32, std::vector<std::uint32_t>(32 * 32, 1)};
    p.pixels[31 * 32 + 0] = 2; // bottom row, stored first
    p.pixels[31 * 32 + 1] = 0x10;
    p.pixels[31 * 32 + 2] = 0x20;
    OwnedImage loaded;
    ASSERT_EQ(LoadBmpBytes(&loaded.image, EncodeBmp(p, e)), 0);
    const std::uint8_t* bottomLeft = loaded.image.Pixels + 31 * 32 * 4;
    EXPECT_EQ(Bytes(bottomLeft, bottomLeft + 4), (Bytes{0x20, 0x10, 0x02, 255}));
    const std::uint8_t* topLeft = loaded.image.Pixels;
    EXPECT_EQ(Bytes(topLeft, topLeft + 4), (Bytes{255, 255, 255, 255}));
}

TEST(BmpReader, FindsRowsAtThePixelDataOffsetPastAGap) {
    Encoding e;
    e.gap = 37;
    e.gapByte = 0xEE;
    const Picture p = Gradient(5, 4);
    OwnedImage loaded;
    ASSERT_EQ(LoadBmpBytes(&loaded.image, EncodeBmp(p, e)), 0);
    EXPECT_EQ(loaded.Bytes(), ExpectedArray(p, false));
}

TEST(BmpReader, IgnoresTheFieldsItDoesNotUse) {
    const Picture p = Gradient(3, 3);
    Bytes bytes = EncodeBmp(p);
    PutU32(bytes, 2, 12345);       // file size
    PutU32(bytes, 6, 0xDEADBEEF);  // reserved
    PutU16(bytes, 26, 0);          // planes
    PutU32(bytes, 34, 0xFFFFFFFF); // image size
    PutU32(bytes, 46, 0x12345678); // colours used
    OwnedImage loaded;
    ASSERT_EQ(LoadBmpBytes(&loaded.image, bytes), 0);
    EXPECT_EQ(loaded.Bytes(), ExpectedArray(p, false));
}

class BmpFileTest : public testing::Test {
protected:
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path Dir() {
        std::filesystem::create_directories(dir_);
        return dir_;
    }

private:
    std::filesystem::path dir_ = std::filesystem::path(testing::TempDir()) /
                                 ("tamrel_bmpfile_" + std::to_string(::getpid()));
};

TEST_F(BmpFileTest, ReadsAFileLikeItsBytes) {
    const Picture p = Gradient(700, 400); // two threads read the file at once
    const auto path = Dir() / "picture.bmp";
    bmptest::WriteFile(path, EncodeBmp(p));
    OwnedImage loaded;
    ASSERT_EQ(LoadBmpFile(&loaded.image, path), 0);
    EXPECT_EQ(loaded.Bytes(), ExpectedArray(p, false));
}

TEST_F(BmpFileTest, FailsOnWhatCannotBeOpened) {
    ImageBuffer image = kSentinel;
    EXPECT_EQ(LoadBmpFile(&image, Dir() / "missing.bmp"), -1);
    EXPECT_EQ(LoadBmpFile(&image, Dir()), -1);
    EXPECT_TRUE(IsSentinel(image));
}

TEST_F(BmpFileTest, FailsWhileAWriterHoldsTheFile) {
    const auto path = Dir() / "busy.bmp";
    std::error_code error;
    auto writer = File::CreateExclusive(path, error);
    ASSERT_TRUE(writer) << error.message();
    const Bytes bytes = Valid24(2, 2);
    ASSERT_TRUE(writer->Write(bytes.data(), bytes.size()));
    ImageBuffer image = kSentinel;
    EXPECT_EQ(LoadBmpFile(&image, path), -1);
    writer->Close();
    OwnedImage loaded;
    EXPECT_EQ(LoadBmpFile(&loaded.image, path), 0) << "readable once the writer is gone";
}

} // namespace
