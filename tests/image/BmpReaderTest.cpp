// The BMP reader on files written by the tests: what it accepts, what it
// refuses, row order, colour tables, and that a failure changes nothing.
#include "image/formats/BmpReader.h"
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

namespace bmp_reader_test {

namespace {

using namespace bmptest;
using Bytes = std::vector<std::uint8_t>;
using imagetest::ExpectedArray;
using imagetest::OwnedImage;

// Whatever the caller held before a call.
const ImageBuffer kSentinel{true, 7, 9, reinterpret_cast<std::uint8_t*>(0x1234)};

bool IsSentinel(const ImageBuffer& b) {
    return b.TopDown && b.Width == 7 && b.Height == 9 && b.Pixels == kSentinel.Pixels;
}

// Headers and `extra` zero bytes; a 56-byte file when extra is 2.
Bytes HeadOnly(std::int32_t width, std::int32_t height, std::uint16_t bits = 24,
               std::size_t extra = 2) {
    Header h;
    h.width = width;
    h.height = height;
    h.bitCount = bits;
    Bytes out = HeadBytes(h);
    out.resize(out.size() + extra, 0);
    return out;
}

Bytes Valid24(std::int32_t w, std::int32_t h) {
    return EncodeBmp(Gradient(w, h));
}

Bytes Encoded(std::uint16_t bits, std::size_t paletteSize, std::int32_t w = 8) {
    Encoding e;
    e.bitCount = bits;
    e.palette.resize(paletteSize, 0x102030);
    return EncodeBmp(Gradient(w, 4), e);
}

Bytes Truncated(Bytes bytes, std::size_t drop) {
    bytes.resize(bytes.size() - drop);
    return bytes;
}

struct Case {
    std::string name;
    Bytes bytes;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

std::vector<Case> RejectCases() {
    return {
        {"FiftyFiveBytes", HeadOnly(0, 0, 24, 1)},
        {"SignatureReversed", With(Valid24(2, 2), kSignatureField, 0x424D)},
        {"InfoHeader108", With(Valid24(2, 2), kInfoSizeField, 108)},
        {"InfoHeader124", With(Valid24(2, 2), kInfoSizeField, 124)},
        {"BitFields32", With(Encoded(32, 0), kCompressionField, 3)},
        {"Rle8", With(Encoded(8, 256), kCompressionField, 1)},
        {"OneBit", With(Valid24(8, 8), kBitCountField, 1)},
        {"FourBits", With(Valid24(8, 8), kBitCountField, 4)},
        {"SixteenBits", With(Valid24(8, 8), kBitCountField, 16)},
        {"EightBitShorterThanFullColourTable", Encoded(8, 4)},
        {"EightBitZeroSizedOneByteShortOfColourTable", HeadOnly(0, 0, 8, 1023)},
        {"PixelDataOffsetAtEnd", With(Valid24(2, 2), kOffsetField, 70)},
        {"LastStoredRowOneByteShort", Truncated(Valid24(4, 3), 1)},
        {"NegativeWidth", With(Valid24(2, 2), kWidthField, static_cast<std::uint32_t>(-2))},
        {"NegativeWidthZeroHeight", HeadOnly(-5, 0)},
        {"HeightMinusTwoToThe31", HeadOnly(1, INT_MIN)},
        {"OffsetTwoToThe31", With(Valid24(2, 2), kOffsetField, 0x80000000u)},
        {"OffsetAllOnes", With(Valid24(2, 2), kOffsetField, 0xFFFFFFFFu)},
        {"RowSizeOverflows32Bits", HeadOnly(INT_MAX, 1, 32)},
        {"RowOffsetsPass2To31", With(Valid24(2, 2), kHeightField, 0x40000000)},
        {"HugeDimensionsInFiftySixBytes", HeadOnly(30000, -30000)},
    };
}

class RejectedFiles : public testing::TestWithParam<Case> {};

TEST_P(RejectedFiles, FailWithTheBufferUntouched) {
    ImageBuffer image = kSentinel;
    EXPECT_EQ(LoadBmpBytes(&image, GetParam().bytes), -1);
    EXPECT_TRUE(IsSentinel(image));

    const auto path = std::filesystem::path(testing::TempDir()) /
                      ("tamrel_reject_" + std::to_string(::getpid()) + ".bmp");
    WriteFile(path, GetParam().bytes);
    EXPECT_EQ(LoadBmpFile(&image, path), -1);
    EXPECT_TRUE(IsSentinel(image));
    std::filesystem::remove(path);
}

INSTANTIATE_TEST_SUITE_P(Bmp, RejectedFiles, testing::ValuesIn(RejectCases()),
                         [](const auto& info) { return info.param.name; });

// Counts what the reader asks of its source.
class CountingSource final : public ByteSource {
public:
    explicit CountingSource(Bytes bytes) : bytes_(std::move(bytes)) {}
    std::int64_t Length() const override { return inner_.Length(); }
    std::int64_t ReadAt(std::int64_t position, void* buffer, std::size_t size) const override {
        ++calls;
        bytes += static_cast<std::int64_t>(size);
        return inner_.ReadAt(position, buffer, size);
    }
    mutable std::atomic<std::int64_t> calls{0};
    mutable std::atomic<std::int64_t> bytes{0};

private:
    Bytes bytes_;
    MemorySource inner_{bytes_};
};

TEST(BmpReader, RefusesHugeClaimsInTinyFilesAfterReadingOnlyTheHeader) {
    for (const Bytes& file : {HeadOnly(30000, 30000), HeadOnly(1, INT_MAX),
                              HeadOnly(INT_MAX / 8, -1, 8, 1030), HeadOnly(100000, 100000, 32)}) {
        CountingSource source(file);
        ImageBuffer image = kSentinel;
        EXPECT_EQ(LoadBmp(&image, source), -1);
        EXPECT_TRUE(IsSentinel(image));
        EXPECT_LE(source.bytes.load(), 54 + 1024) << "no row was to be read";
    }
}

TEST(BmpReader, ReadsEachRowInOneCall) {
    CountingSource source(Valid24(100, 50));
    OwnedImage loaded;
    ASSERT_EQ(LoadBmp(&loaded.image, source), 0);
    EXPECT_EQ(source.calls.load(), 1 + 50); // the headers, then one call per row
}

TEST(BmpReader, NullBufferFails) {
    EXPECT_EQ(LoadBmpBytes(nullptr, Valid24(2, 2)), -1);
    EXPECT_EQ(LoadBmpFile(nullptr, "/nonexistent.bmp"), -1);
}

// No row is read from these, so where the rows would lie does not matter.
TEST(BmpReader, ZeroSizedFilesLoadAsEmptyImages) {
    struct {
        Bytes bytes;
        std::int32_t width, height;
    } cases[] = {
        {HeadOnly(0, 3), 0, 3},          {HeadOnly(5, 0), 5, 0},
        {HeadOnly(0, -4, 32), 0, 4},     {With(HeadOnly(0, 3), kOffsetField, 5000), 0, 3},
        {HeadOnly(0, 2, 8, 1024), 0, 2}, // 8-bit: the full colour table is still read
    };
    for (const auto& c : cases) {
        OwnedImage loaded;
        ASSERT_EQ(LoadBmpBytes(&loaded.image, c.bytes), 0) << c.width << " x " << c.height;
        EXPECT_EQ(loaded.image.Width, c.width);
        EXPECT_EQ(loaded.image.Height, c.height);
    }
}

TEST(BmpReader, BottomUpArrayStartsWithTheTopRowAndTopDownWithTheBottomRow) {
    // Top row red, blue; bottom row green, white.
    const Picture p{2, 2, {0xFF0000, 0x0000FF, 0x00FF00, 0xFFFFFF}};
    const Bytes top{255, 0, 0, 255, 0, 0, 255, 255};
    const Bytes bottom{0, 255, 0, 255, 255, 255, 255, 255};
    for (const bool topDown : {false, true}) {
        OwnedImage loaded;
        Encoding e;
        e.topDown = topDown;
        ASSERT_EQ(LoadBmpBytes(&loaded.image, EncodeBmp(p, e)), 0);
        EXPECT_EQ(loaded.image.TopDown, topDown);
        EXPECT_EQ(loaded.image.Height, 2);
        Bytes expected = topDown ? bottom : top;
        const Bytes& second = topDown ? top : bottom;
        expected.insert(expected.end(), second.begin(), second.end());
        EXPECT_EQ(loaded.Bytes(), expected) << (topDown ? "top-down" : "bottom-up");
    }
}

struct RoundTrip {
    std::uint16_t bits;
    std::int32_t width, height;
    bool topDown;
};

void PrintTo(const RoundTrip& c, std::ostream* os) {
    *os << c.bits << "bit " << c.width << "x" << c.height << (c.topDown ? " top-down" : "");
}

class RoundTrips : public testing::TestWithParam<RoundTrip> {};

// Padding, the fourth byte of 32-bit pixels, a gap before the pixels and
// every header field the reader does not use hold junk; none may show.
TEST_P(RoundTrips, DecodeToTheWrittenColours) {
    const RoundTrip& c = GetParam();
    Encoding e;
    e.bitCount = c.bits;
    e.topDown = c.topDown;
    e.padByte = 0xA5;
    e.fourthByte = 0x3C;
    e.gap = c.width;
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
    Bytes bytes = EncodeBmp(picture, e);
    for (const std::size_t field :
         {kFileSizeField, kReservedField, kPlanesField, kImageSizeField, kColoursUsedField}) {
        bytes = With(bytes, field, 0xBEEF);
    }
    OwnedImage loaded;
    ASSERT_EQ(LoadBmpBytes(&loaded.image, bytes), 0);
    EXPECT_EQ(loaded.image.Width, c.width);
    EXPECT_EQ(loaded.image.Height, c.height);
    EXPECT_EQ(loaded.image.TopDown, c.topDown);
    EXPECT_EQ(loaded.Bytes(), ExpectedArray(colours, c.topDown));
}

std::vector<RoundTrip> RoundTripCases() {
    std::vector<RoundTrip> cases;
    for (const std::uint16_t bits : {8, 24, 32}) {
        for (const bool topDown : {false, true}) {
            for (std::int32_t width = 1; width <= 5; ++width) { // every padding length
                cases.push_back({bits, width, 3, topDown});
            }
            cases.push_back({bits, 640, 480, topDown}); // large enough for two threads
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
    const Bytes pixels = loaded.Bytes();
    EXPECT_EQ(Bytes(pixels.begin() + 31 * 32 * 4, pixels.begin() + 31 * 32 * 4 + 4),
              (Bytes{0x20, 0x10, 0x02, 255}));
    EXPECT_EQ(Bytes(pixels.begin(), pixels.begin() + 4), (Bytes{255, 255, 255, 255}));
}

class BmpFileTest : public testing::Test {
protected:
    BmpFileTest() { std::filesystem::create_directories(dir); }
    ~BmpFileTest() override { std::filesystem::remove_all(dir); }
    const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) /
                                      ("tamrel_bmpfile_" + std::to_string(::getpid()));
};

TEST_F(BmpFileTest, ReadsAFileLikeItsBytes) {
    const Picture p = Gradient(700, 400); // two threads read the file at once
    WriteFile(dir / "picture.bmp", EncodeBmp(p));
    OwnedImage loaded;
    ASSERT_EQ(LoadBmpFile(&loaded.image, dir / "picture.bmp"), 0);
    EXPECT_EQ(loaded.Bytes(), ExpectedArray(p, false));
}

TEST_F(BmpFileTest, FailsOnWhatCannotBeOpened) {
    ImageBuffer image = kSentinel;
    EXPECT_EQ(LoadBmpFile(&image, dir / "missing.bmp"), -1);
    EXPECT_EQ(LoadBmpFile(&image, dir), -1);
    EXPECT_TRUE(IsSentinel(image));
}

TEST_F(BmpFileTest, SaysWhyALoadFailedWithoutOpeningTheFileAgain) {
    WriteFile(dir / "v5.bmp", With(Valid24(2, 2), kInfoSizeField, 124));
    WriteFile(dir / "good.bmp", Valid24(2, 2));
    struct Case {
        std::filesystem::path file;
        Reason expected;
    };
    const Case cases[] = {
        {dir / "missing.bmp", {ReasonCode::CannotOpen, ENOENT}},
        {dir / "v5.bmp", {ReasonCode::BmpInfoHeaderSize, 124}},
        {dir / "good.bmp", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        OwnedImage loaded;
        Reason why(ReasonCode::Cancelled);
        EXPECT_EQ(LoadBmpFile(&loaded.image, c.file, &why), c.expected ? -1 : 0);
        EXPECT_EQ(why, c.expected);
    }
}

TEST_F(BmpFileTest, FailsWhileAWriterHoldsTheFile) {
    std::error_code error;
    auto writer = File::CreateExclusive(dir / "busy.bmp", error);
    ASSERT_TRUE(writer) << error.message();
    const Bytes bytes = Valid24(2, 2);
    ASSERT_TRUE(writer->Write(bytes.data(), bytes.size()));
    ImageBuffer image = kSentinel;
    EXPECT_EQ(LoadBmpFile(&image, dir / "busy.bmp"), -1);
    writer->Close();
    OwnedImage loaded;
    EXPECT_EQ(LoadBmpFile(&loaded.image, dir / "busy.bmp"), 0)
        << "readable once the writer is gone";
}

} // namespace

}  // namespace bmp_reader_test
