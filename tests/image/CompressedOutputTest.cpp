// Compressed TIFF (Deflate, LZW) and PNG, made strip by strip on several
// cores: libtiff, libpng and the project's readers all give back exactly
// the samples written, and a failed write stops the output.
#include "image/SampleOutput.h"
#include "tests/image/LibraryDecode.h"
#include "tests/image/ReadSamples.h"
#include "tests/image/RecordingOutput.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace compressed_output_test {

namespace {

// Samples with noise in the low bits over a slow ramp, as a scan has them.
SampleImage Noisy(SampleLayout layout) {
    SampleImage image{layout, {}};
    const std::int64_t count = std::int64_t{layout.width} * layout.height * layout.channels;
    std::uint32_t state = 12345;
    std::vector<std::uint16_t> samples;
    samples.reserve(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) {
        state = state * 1664525U + 1013904223U;
        const auto ramp = static_cast<std::uint32_t>(i * 40503 / std::max<std::int64_t>(count, 1));
        samples.push_back(
            static_cast<std::uint16_t>((ramp + (state >> 26)) % (layout.MaxLevel() + 1U)));
    }
    if (layout.depth == kWordDepth) {
        image.bytes.resize(samples.size() * 2);
        std::memcpy(image.bytes.data(), samples.data(), image.bytes.size());
    } else {
        image.bytes.assign(samples.begin(), samples.end());
    }
    return image;
}

// The samples in row order; a grey page stays grey.
std::vector<std::uint16_t> SamplesOf(const SampleImage& image) {
    std::vector<std::uint16_t> samples;
    samples.reserve(std::size_t(image.layout.width) * image.layout.height * image.layout.channels);
    for (std::int32_t y = 0; y < image.layout.height; ++y) {
        for (std::int32_t x = 0; x < image.layout.width; ++x) {
            for (int c = 0; c < image.layout.channels; ++c) {
                samples.push_back(static_cast<std::uint16_t>(image.Sample(x, y, c)));
            }
        }
    }
    return samples;
}

struct Output {
    const char* name;
    ImageFormat kind;
    TiffCompression compression;
};

constexpr Output kOutputs[] = {
    {"tiff deflate", ImageFormat::Tiff, TiffCompression::Deflate},
    {"tiff lzw", ImageFormat::Tiff, TiffCompression::Lzw},
    {"png", ImageFormat::Png, TiffCompression::None},
};

TEST(CompressedOutput, LibrariesAndOurReadersGiveBackExactlyTheSamples) {
    // Strips hold about 1 MiB: 4001 RGB 16-bit pixels make 43-row strips, so
    // 380 rows are 9 strips (more than one batch of a 2-core machine), the
    // last short; the others fill a few strips, the last short, or one.
    const SampleLayout layouts[] = {
        {4001, 380, kRgbChannels, kWordDepth}, {4001, 100, kGreyChannels, kWordDepth},
        {3333, 150, kRgbChannels, kByteDepth}, {1, 3, kGreyChannels, kByteDepth},
        {7, 1, kRgbChannels, kWordDepth},
    };
    for (const SampleLayout& layout : layouts) {
        const SampleImage image = Noisy(layout);
        const std::vector<std::uint16_t> expected = SamplesOf(image);
        for (const Output& output : kOutputs) {
            const std::string name = std::string(output.name) + " " + std::to_string(layout.width) +
                                     "x" + std::to_string(layout.height) + "x" +
                                     std::to_string(layout.channels) + " " +
                                     std::to_string(layout.depth) + " bits";
            bmptest::RecordingOutput file;
            WriteOptions options;
            options.Compression = output.compression;
            const Reason reason =
                WriteSamples(layout, output.kind, RunsOf(image), std::ref(file), options);
            ASSERT_FALSE(reason) << name << ": " << reason.Text;
            if (output.kind == ImageFormat::Png) {
                EXPECT_TRUE(file.Tiled()) << name; // written in order, each byte once
            }
            const decodetest::Decoded library = output.kind == ImageFormat::Png
                                                    ? decodetest::DecodeWithLibpng(file.Bytes())
                                                    : decodetest::DecodeWithLibtiff(file.Bytes());
            EXPECT_EQ(library.width, layout.width) << name;
            EXPECT_EQ(library.channels, layout.channels) << name;
            EXPECT_EQ(library.bits, layout.depth) << name;
            EXPECT_TRUE(library.samples == expected) << name << " through the library";
            RowLayout read;
            const std::vector<std::uint16_t> ours = scantest::ReadSamples(
                output.kind == ImageFormat::Png ? ImageFormat::Png : ImageFormat::Tiff,
                file.Bytes(), read);
            EXPECT_TRUE(ours == expected) << name << " through our reader";
        }
    }
}

TEST(CompressedOutput, CompressionMakesNoisyScansSmallerThanTheirSamples) {
    const SampleLayout layout{1000, 200, kRgbChannels, kWordDepth};
    const SampleImage image = Noisy(layout);
    for (const Output& output : kOutputs) {
        bmptest::RecordingOutput file;
        WriteOptions options;
        options.Compression = output.compression;
        ASSERT_FALSE(WriteSamples(layout, output.kind, RunsOf(image), std::ref(file), options));
        EXPECT_LT(file.Bytes().size(), image.bytes.size() * 3 / 4) << output.name;
    }
}

TEST(CompressedOutput, AFailedWriteStopsTheOutputWithItsReason) {
    const SampleLayout layout{4001, 500, kRgbChannels, kWordDepth};
    const SampleImage image = Noisy(layout);
    for (const Output& output : kOutputs) {
        for (const std::int64_t failAt : {1, 2, 5}) {
            bmptest::RecordingOutput file(failAt);
            WriteOptions options;
            options.Compression = output.compression;
            const Reason reason =
                WriteSamples(layout, output.kind, RunsOf(image), std::ref(file), options);
            EXPECT_EQ(reason.Code, ReasonCode::DiskFull) << output.name << " at " << failAt;
            EXPECT_TRUE(file.Bytes().empty()) << output.name;
            // The write that failed is the last one asked for; libtiff may
            // still try to patch its header once.
            EXPECT_LE(file.Writes(), failAt + 2) << output.name << " at " << failAt;
        }
    }
}

TEST(CompressedOutput, APageWithoutRowsIsNoPng) {
    for (const SampleLayout layout : {SampleLayout{5, 0, kRgbChannels, kByteDepth},
                                      SampleLayout{0, 5, kRgbChannels, kByteDepth}}) {
        bmptest::RecordingOutput file;
        const Reason reason =
            WriteSamples(layout, ImageFormat::Png, RunsOf(SampleImage{layout, {}}), std::ref(file));
        EXPECT_EQ(reason.Code, ReasonCode::Unsupported);
        EXPECT_EQ(file.Asked(), 0);
    }
}

} // namespace

} // namespace compressed_output_test
