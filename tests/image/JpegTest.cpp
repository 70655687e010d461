// JPEG written in bands and read back: libjpeg-turbo's own decoder sees the
// pixels a single-pass encode of the same samples gives, apply writes the
// same file whichever way its rows are made, the project's reader sees what
// libjpeg-turbo sees, and the reader refuses what it must.
#include "image/ApplyImage.h"
#include "image/SampleOutput.h"
#include "image/formats/FormatTable.h"
#include "image/formats/JpegWriter.h"
#include "io/MemoryWrite.h"
#include "tests/image/JpegLibrary.h"
#include "tests/image/ReadSamples.h"
#include "tests/image/TestProfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace jpeg_test {

namespace {

using jpegtest::Plain;

constexpr int kWide = 16;

// Smooth ramps with a little texture; 16-bit samples carry a low byte that
// the rounding to 8 bits must take into account.
std::vector<std::uint16_t> Samples(std::int32_t width, std::int32_t height, int channels,
                                   int bits) {
    std::vector<std::uint16_t> samples;
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            for (int c = 0; c < channels; ++c) {
                const unsigned level = unsigned(x * 5 + y * 3 + c * 60 + (x * y) % 11) % 256;
                samples.push_back(static_cast<std::uint16_t>(
                    bits == kWide ? level * 257 + unsigned(x ^ y) % 256 : level));
            }
        }
    }
    return samples;
}

// The samples as the writer takes them (16 bits in the machine's order).
std::vector<std::uint8_t> RowBytes(const std::vector<std::uint16_t>& samples, int bits) {
    if (bits != kWide) {
        return {samples.begin(), samples.end()};
    }
    std::vector<std::uint8_t> bytes(samples.size() * 2);
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    return bytes;
}

RowProducer AllAtOnce(std::vector<std::uint8_t> rows, std::int32_t height) {
    return [rows = std::move(rows), height](const RowRunSink& sink,
                                            const RunRequest&) mutable -> Reason {
        return sink(0, height, rows.data()) ? Reason() : Reason(ReasonCode::WriteFailed);
    };
}

RowShape ShapeOf(std::int32_t width, std::int32_t height, int channels, int bits) {
    return WriterShape(ImageFormat::Jpeg, width, height, channels, bits);
}

std::vector<std::uint8_t> Written(const RowShape& shape, const std::vector<std::uint16_t>& samples,
                                  const WriteOptions& options, std::int64_t bandBytes) {
    std::vector<std::uint8_t> file;
    const Reason failed = EncodeJpeg(
        shape, AllAtOnce(RowBytes(samples, shape.Bits), shape.Height), options,
        [&](std::span<const std::uint8_t> bytes) {
            file.insert(file.end(), bytes.begin(), bytes.end());
            return true;
        },
        bandBytes);
    EXPECT_FALSE(failed) << failed.Text;
    return file;
}

TEST(JpegWriter, BandsJoinIntoTheImageOneEncodeOfTheSameSamplesGives) {
    struct Case {
        const char* name;
        std::int32_t width;
        std::int32_t height;
        int channels;
        int bits;
        int quality;
        std::int64_t bandBytes; // 1: one MCU row a band
    };
    const Case cases[] = {
        {"RGB 4:4:4, a band per MCU row, the last one short", 37, 45, 3, 8, 92, 1},
        {"RGB 4:2:0, two MCU rows a band", 53, 70, 3, 8, 75, 53 * 3 * 32},
        {"grey", 20, 33, 1, 8, 50, 1},
        {"16-bit RGB rounded to 8", 19, 24, 3, kWide, 95, 1},
        {"one band", 64, 16, 3, 8, 92, kJpegBandBytes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RowShape shape = ShapeOf(c.width, c.height, c.channels, c.bits);
        const std::vector<std::uint16_t> samples = Samples(c.width, c.height, c.channels, c.bits);
        WriteOptions options;
        options.Quality = c.quality;
        const std::vector<std::uint8_t> file = Written(shape, samples, options, c.bandBytes);
        Plain narrow{c.width, c.height, c.channels, {}};
        for (const std::uint16_t v : samples) {
            narrow.samples.push_back(
                static_cast<std::uint8_t>(c.bits == kWide ? (v * 255U + 32767U) / 65535U : v));
        }
        const jpegtest::Decoded ours = jpegtest::Decode(file);
        const jpegtest::Decoded reference = jpegtest::Decode(
            jpegtest::Encode(narrow, {c.quality, c.quality >= 90 || c.channels == 1}));
        ASSERT_TRUE(ours.ok && reference.ok);
        EXPECT_EQ(ours.image.samples, reference.image.samples);
        RowLayout layout;
        const std::vector<std::uint16_t> read =
            scantest::ReadSamples(ImageFormat::Jpeg, file, layout);
        EXPECT_EQ(read,
                  std::vector<std::uint16_t>(ours.image.samples.begin(), ours.image.samples.end()));
    }
}

TEST(JpegWriter, TheFileSaysItsChromaDensityAndProfile) {
    struct Case {
        const char* name;
        int channels;
        int quality;
        int lumaSampling;
        bool keepsProfile; // the RGB profile on a grey image would misdescribe it
    };
    const Case cases[] = {
        {"quality 90 keeps every chroma sample", 3, 90, 1, true},
        {"quality 89 halves chroma both ways", 3, 89, 2, true},
        {"grey", 1, 60, 1, false},
    };
    const std::vector<std::uint8_t> profile = profiletest::MatrixTrcProfile(2.2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteOptions options;
        options.Quality = c.quality;
        options.Meta.resolution = Resolution{150, 300};
        options.Meta.profile = profile;
        const std::vector<std::uint8_t> file =
            Written(ShapeOf(24, 24, c.channels, 8), Samples(24, 24, c.channels, 8), options, 1);
        const jpegtest::Decoded decoded = jpegtest::Decode(file);
        EXPECT_EQ(decoded.lumaSampling, c.lumaSampling);
        const MemorySource source(file);
        const auto rows = OpenRows(ImageFormat::Jpeg, source);
        ASSERT_TRUE(rows) << rows.Why().Text;
        const ImageMeta meta = (*rows)->Meta();
        EXPECT_EQ(meta.resolution, (Resolution{150, 300}));
        EXPECT_EQ(meta.profile, c.keepsProfile ? profile : std::vector<std::uint8_t>{});
    }
}

TEST(JpegWriter, RefusesWhatJpegCannotHoldAndLeavesTheOutputAlone) {
    for (const auto& [width, height] : {std::pair{0, 5}, std::pair{70000, 1}}) {
        bool touched = false;
        const Reason refused = WriteJpeg(ShapeOf(width, height, 3, 8), AllAtOnce({}, height),
                                         [&](const PositionedContents&) {
                                             touched = true;
                                             return WriteOutcome{};
                                         },
                                         {});
        EXPECT_EQ(refused.Code, ReasonCode::Unsupported) << width;
        EXPECT_FALSE(touched);
    }
}

// Two bands (1 MiB of rows and a short one) at quality 92, through tables that turn
// every level over: read on two threads a band a run, decoded in order and
// relayed, read on one thread, or stored bottom-up, the file is the one the
// mapped rows make in a single run.
TEST(JpegWriter, ApplyWritesTheSameFileHoweverItsRowsAreMade) {
    constexpr std::int32_t kWidth = 640;
    constexpr std::int32_t kHeight = 640;
    constexpr std::int64_t kOneThread = std::int64_t{1} << 40;
    SampleImage image;
    image.layout = {kWidth, kHeight, 3, 8};
    image.bytes = RowBytes(Samples(kWidth, kHeight, 3, 8), 8);
    GammaTableSet levels{};
    for (auto& table : levels) {
        for (std::size_t i = 0; i < table.size(); ++i) {
            table[i] = static_cast<std::int16_t>(255 - i);
        }
    }
    const auto applied = [&](ImageFormat in, ImageFormat out, std::int64_t minPixels) {
        MemoryFile input;
        MemoryFile output;
        EXPECT_FALSE(WriteSamples(image.layout, in, RunsOf(image),
                                  [&](const PositionedContents& c) { return input.Replace(c); }));
        ApplyOptions options;
        options.Pipeline.MinPixelsToSplit = minPixels;
        EXPECT_FALSE(ApplyImage(
            MemorySource(input.Bytes()), in, out,
            [&](const PositionedContents& c) { return output.Replace(c); }, {&levels, {}},
            options));
        return output.Bytes();
    };
    const std::vector<std::uint8_t> pnm = applied(ImageFormat::Pnm, ImageFormat::Pnm, kOneThread);
    const std::size_t samples = image.bytes.size();
    ASSERT_GE(pnm.size(), samples);
    std::vector<std::uint8_t> reference;
    EXPECT_FALSE(EncodeJpeg(ShapeOf(kWidth, kHeight, 3, 8),
                            AllAtOnce({pnm.end() - std::ptrdiff_t(samples), pnm.end()}, kHeight),
                            {}, [&](std::span<const std::uint8_t> bytes) {
                                reference.insert(reference.end(), bytes.begin(), bytes.end());
                                return true;
                            }));
    struct Case {
        const char* name;
        ImageFormat in;
        std::int64_t minPixels;
    };
    const Case cases[] = {
        {"PNM on two threads", ImageFormat::Pnm, 1},
        {"PNG relayed", ImageFormat::Png, 1},
        {"PNM on one thread", ImageFormat::Pnm, kOneThread},
        {"BMP, bottom-up", ImageFormat::Bmp, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(applied(c.in, ImageFormat::Jpeg, c.minPixels), reference);
    }
}

std::vector<std::uint8_t> Baseline() {
    return jpegtest::Encode({16, 16, 3, RowBytes(Samples(16, 16, 3, 8), 8)}, {});
}

// The frame header's fields, found by its marker (SOF0..SOF2).
std::size_t FrameAt(const std::vector<std::uint8_t>& file) {
    for (std::size_t i = 2; i + 1 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] >= 0xC0 && file[i + 1] <= 0xC2) {
            return i;
        }
    }
    return 0;
}

std::vector<std::uint8_t> WithPrecision(std::vector<std::uint8_t> file, std::uint8_t bits) {
    file[FrameAt(file) + 4] = bits;
    return file;
}

// A progressive frame that claims 65000 x 65000 pixels (libjpeg-turbo takes
// up to 65500) in a few hundred bytes.
std::vector<std::uint8_t> Claiming() {
    Plain tiny{8, 8, 3, RowBytes(Samples(8, 8, 3, 8), 8)};
    jpegtest::Made progressive;
    progressive.progressive = true;
    std::vector<std::uint8_t> file = jpegtest::Encode(tiny, progressive);
    const std::size_t at = FrameAt(file);
    for (const std::size_t field : {at + 5, at + 7}) { // height, then width
        file[field] = 0xFD;
        file[field + 1] = 0xE8;
    }
    return file;
}

// The start of a lossless (SOF3) JPEG: libjpeg-turbo 2 stops at its frame.
std::vector<std::uint8_t> Lossless() {
    return {0xFF, 0xD8, 0xFF, 0xC3, 0x00, 0x0B, 0x08, 0x00, 0x10,
            0x00, 0x10, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xD9};
}

// The file up to its last scan (the last start-of-scan marker).
std::vector<std::uint8_t> WithoutLastScan(const std::vector<std::uint8_t>& file) {
    std::size_t at = file.size() - 2;
    while (at > 0 && !(file[at] == 0xFF && file[at + 1] == 0xDA)) {
        --at;
    }
    return {file.begin(), file.begin() + std::ptrdiff_t(at)};
}

// The file without its last two bytes, the end marker.
std::vector<std::uint8_t> WithoutEnd(std::vector<std::uint8_t> file) {
    EXPECT_EQ(file.at(file.size() - 2), 0xFF);
    EXPECT_EQ(file.back(), 0xD9);
    file.resize(file.size() - 2);
    return file;
}

TEST(JpegReader, ReadsWhatLibjpegReadsAndRefusesTheRest) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> file;
        ReasonCode code; // None: reads as libjpeg-turbo decodes it
        const char* words;
        std::int64_t value = 0; // a refusal's kind
        ReasonCode warning = ReasonCode::None;
    };
    Plain grey{30, 20, 1, RowBytes(Samples(30, 20, 1, 8), 8)};
    jpegtest::Made progressive;
    progressive.progressive = true;
    jpegtest::Made arithmetic;
    arithmetic.arithmetic = true;
    jpegtest::Made cmyk;
    cmyk.cmyk = true;
    jpegtest::Made halved;
    halved.fullChroma = false;
    const std::vector<std::uint8_t> whole = Baseline();
    const std::vector<std::uint8_t> layered = jpegtest::Encode(grey, progressive);
    const auto refused = [](RefusedImage kind) { return static_cast<std::int64_t>(kind); };
    const Case cases[] = {
        {"progressive grey", layered, ReasonCode::None, ""},
        {"baseline 4:2:0",
         jpegtest::Encode({30, 20, 3, RowBytes(Samples(30, 20, 3, 8), 8)}, halved),
         ReasonCode::None, ""},
        {"baseline without its end marker", WithoutEnd(whole), ReasonCode::None, "", 0,
         ReasonCode::NoEndMarker},
        {"progressive without its end marker", WithoutEnd(layered), ReasonCode::None, "", 0,
         ReasonCode::NoEndMarker},
        {"not a JPEG", {'B', 'M', 0, 0}, ReasonCode::NotThisFormat, "JPEG"},
        {"CMYK", jpegtest::Encode({8, 8, 4, std::vector<std::uint8_t>(256, 90)}, cmyk),
         ReasonCode::Refused, "", refused(RefusedImage::JpegCmyk)},
        {"12-bit", WithPrecision(whole, 12), ReasonCode::Refused, "12",
         refused(RefusedImage::JpegPrecision)},
        {"arithmetic-coded", jpegtest::Encode(grey, arithmetic), ReasonCode::Refused, "",
         refused(RefusedImage::JpegArithmetic)},
        {"lossless", Lossless(), ReasonCode::Refused, "", refused(RefusedImage::JpegLossless)},
        {"a frame larger than its bytes can hold", Claiming(), ReasonCode::DamagedData,
         "cannot hold"},
        {"cut short in its data",
         {whole.begin(), whole.begin() + std::ptrdiff_t(whole.size() / 2)},
         ReasonCode::Truncated,
         ""},
        {"progressive, cut short in a scan",
         {layered.begin(), layered.begin() + std::ptrdiff_t(layered.size() * 3 / 4)},
         ReasonCode::Truncated,
         ""},
        {"cut short in its header",
         {whole.begin(), whole.begin() + 100},
         ReasonCode::Truncated,
         ""},
        {"progressive, cut short between two scans", WithoutLastScan(layered),
         ReasonCode::Truncated, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MemorySource source(c.file);
        const auto rows = OpenRows(ImageFormat::Jpeg, source);
        Reason why = rows.Why();
        std::vector<std::uint8_t> read;
        if (rows) {
            const RowLayout& layout = (*rows)->Layout();
            read.resize(std::size_t((*rows)->ScratchBytes(layout.Height)));
            const FetchedRows fetched = (*rows)->Rows(0, layout.Height, read.data());
            why = fetched.Why;
        }
        EXPECT_EQ(why.Code, c.code) << why.Text;
        EXPECT_NE(why.Text.find(c.words), std::string::npos) << why.Text;
        if (c.code == ReasonCode::Refused) {
            EXPECT_EQ(why.Value, c.value);
        }
        if (c.code == ReasonCode::None) {
            EXPECT_EQ(read, jpegtest::Decode(c.file).image.samples);
            EXPECT_EQ((*rows)->Warning().Code, c.warning);
        }
    }
}

} // namespace

} // namespace jpeg_test
