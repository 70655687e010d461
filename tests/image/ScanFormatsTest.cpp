// Scans in every layout the readers take reach the window's 8-bit levels and
// the tool's 16-bit output exactly as the level rules say, computed here
// independently in floating point; bad files give their reasons.
#include "image/ApplyImage.h"
#include "image/CountLevels.h"
#include "image/ReadImage.h"
#include "image/formats/FormatTable.h"
#include "image/formats/PnmRows.h"
#include "image/rows/LevelRows.h"
#include "tests/image/ScanFiles.h"
#include "tests/io/ScratchDir.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace scan_formats_test {

namespace {

using scantest::EncodePnm;
using scantest::EncodeRgb16;
using scantest::Rgb16Format;
using scantest::SampleAt;

constexpr std::int32_t kW = 37;
constexpr std::int32_t kH = 23;

// Rounded to nearest, halves up: the rules' integer forms in real numbers.
int Level8(double v, double m) {
    return static_cast<int>(std::floor(std::min(v, m) * 255.0 / m + 0.5));
}
int Level16(double v, double m) {
    return static_cast<int>(std::floor(std::min(v, m) * 65535.0 / m + 0.5));
}

std::uint16_t Sample(std::int32_t x, std::int32_t y, int c, int maxValue) {
    return static_cast<std::uint16_t>((x * 7919 + y * 104729 + c * 15485863) % (maxValue + 1));
}

// The R, G, B levels of every pixel, upright, through the window's road.
Outcome<std::vector<std::uint8_t>> Levels(ImageFormat kind,
                                          const std::vector<std::uint8_t>& bytes) {
    const MemorySource source(bytes);
    Outcome<std::unique_ptr<RowSource>> rows = OpenRows(kind, source);
    if (!rows) {
        return rows.Why();
    }
    const LevelRows levels(**rows);
    const RowLayout& layout = levels.Layout();
    std::vector<std::uint8_t> out;
    const Outcome<RowRuns> runs = RowRuns::Plan(levels, 0, {});
    Reason failed =
        runs->Run([&](std::int32_t, std::int32_t count, const std::uint8_t* r, std::uint8_t*) {
            for (std::int32_t k = 0; k < count; ++k) {
                for (std::int32_t x = 0; x < layout.Width; ++x) {
                    const std::uint8_t* p = r + k * layout.Stride + x * 4;
                    out.insert(out.end(), p, p + 3);
                }
            }
            return true;
        });
    if (failed) {
        return failed;
    }
    return out;
}

std::array<std::vector<std::uint16_t>, 3> IdentityCurves() {
    std::array<std::vector<std::uint16_t>, 3> curves;
    for (auto& curve : curves) {
        for (std::uint32_t i = 0; i < 65536; ++i) {
            curve.push_back(static_cast<std::uint16_t>(i));
        }
    }
    return curves;
}

// The tool's output of `bytes` with identity curves, as a PNM file.
Outcome<std::vector<std::uint8_t>> Applied(ImageFormat kind, const std::vector<std::uint8_t>& bytes,
                                           ImageFormat out = ImageFormat::Pnm) {
    static const auto curves = IdentityCurves();
    GammaTableSet levels{};
    for (auto& table : levels) {
        for (std::size_t i = 0; i < table.size(); ++i) {
            table[i] = static_cast<std::int16_t>(i);
        }
    }
    const ApplyTables tables{&levels, {curves[0], curves[1], curves[2]}};
    MemoryFile file;
    const Reason failed = ApplyImage(
        MemorySource(bytes), kind, out,
        [&](const PositionedContents& c) { return file.Replace(c); }, tables);
    if (failed) {
        return failed;
    }
    return file.Bytes();
}

// The samples after a P6 header of three lines.
std::vector<std::uint16_t> PnmSamples(const std::vector<std::uint8_t>& file) {
    std::size_t at = 0;
    for (int lines = 0; lines < 3; ++at) {
        lines += file[at] == '\n' ? 1 : 0;
    }
    const bool wide =
        std::string(file.begin(), file.begin() + static_cast<long>(at)).find("65535") !=
        std::string::npos;
    std::vector<std::uint16_t> samples;
    for (; at < file.size(); at += wide ? 2 : 1) {
        samples.push_back(wide ? static_cast<std::uint16_t>(file[at] << 8 | file[at + 1])
                               : file[at]);
    }
    return samples;
}

// A grey file through equal tables stays grey: one output sample a pixel.
TEST(ScanLevels, EveryPnmLayoutGivesTheRoundedLevelOnEachChannel) {
    for (const int samples : {1, 3}) {
        for (const int maxValue : {255, 100, 4095, 65535, 1}) {
            const SampleAt at = [&](std::int32_t x, std::int32_t y, int c) {
                return Sample(x, y, c, maxValue);
            };
            const auto file = EncodePnm(kW, kH, samples, maxValue, at, "# made by a test\n");
            const auto levels = Levels(ImageFormat::Pnm, file);
            ASSERT_TRUE(levels) << samples << " " << maxValue;
            const auto wide = Applied(ImageFormat::Pnm, file);
            ASSERT_TRUE(wide);
            const auto out = PnmSamples(*wide);
            ASSERT_EQ(out.size(), std::size_t(kW * kH * samples));
            for (std::int32_t i = 0; i < kW * kH * 3; ++i) {
                const std::int32_t x = i / 3 % kW, y = i / 3 / kW;
                const double v = at(x, y, samples == 1 ? 0 : i % 3);
                ASSERT_EQ((*levels)[std::size_t(i)], Level8(v, maxValue)) << maxValue << " @" << i;
                const int expected = maxValue > 255 ? Level16(v, maxValue) : Level8(v, maxValue);
                const auto written = std::size_t(i / 3 * samples + (samples == 1 ? 0 : i % 3));
                ASSERT_EQ(out[written], expected) << maxValue << " @" << i;
            }
        }
    }
}

TEST(ScanLevels, DeepShadowsOfALinearScanEachGetTheirOwnLevel) {
    // The darkest 16-bit levels, one per pixel: 8-bit levels merge 257 of
    // them, 16-bit output keeps every one.
    const SampleAt at = [](std::int32_t x, std::int32_t, int) { return std::uint16_t(x); };
    const auto file = EncodePnm(1200, 1, 1, 65535, at);
    const auto levels = Levels(ImageFormat::Pnm, file);
    const auto out = PnmSamples(*Applied(ImageFormat::Pnm, file));
    for (std::int32_t v = 0; v < 1200; ++v) {
        EXPECT_EQ((*levels)[std::size_t(v) * 3], Level8(v, 65535)) << v;
        EXPECT_EQ(out[std::size_t(v)], v) << v; // grey kept grey
    }
}

TEST(ScanFormats, SixteenBitPngAndTiffOfBothEncodingsMatchThePnm) {
    const SampleAt at = [](std::int32_t x, std::int32_t y, int c) {
        return Sample(x, y, c, 65535);
    };
    const auto reference = PnmSamples(*Applied(ImageFormat::Pnm, EncodePnm(kW, kH, 3, 65535, at)));
    for (const auto& [format, kind] : {std::pair{Rgb16Format::Png, ImageFormat::Png},
                                       std::pair{Rgb16Format::Tiff, ImageFormat::Tiff},
                                       std::pair{Rgb16Format::TiffDeflate, ImageFormat::Tiff}}) {
        const auto file = EncodeRgb16(kW, kH, format, at);
        for (const ImageFormat out : {ImageFormat::Pnm, ImageFormat::Png, ImageFormat::Tiff}) {
            const auto written = Applied(kind, file, out);
            ASSERT_TRUE(written) << int(format);
            // Read back through the reader of what was written.
            const ImageFormat back = out == ImageFormat::Png    ? ImageFormat::Png
                                     : out == ImageFormat::Tiff ? ImageFormat::Tiff
                                                                : ImageFormat::Pnm;
            EXPECT_EQ(PnmSamples(*Applied(back, *written)), reference) << int(format) << int(out);
        }
    }
}

// A TIFF written by libtiff itself: byte order, planes, tiles, extra sample.
std::vector<std::uint8_t> LibTiff(const char* mode, bool planar, bool tiled, int bits, int extra,
                                  std::uint16_t compression, const SampleAt& at) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("tamrel-scan-" + std::to_string(::getpid()) + ".tif");
    TIFF* tif = TIFFOpen(path.c_str(), mode);
    const std::uint16_t spp = static_cast<std::uint16_t>(3 + extra);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, std::uint32_t(kW));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, std::uint32_t(kH));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, std::uint16_t(bits));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, spp);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    if (extra > 0) {
        const std::uint16_t kinds[] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, std::uint16_t(1), kinds);
    }
    const int bytes = bits / 8;
    const int planes = planar ? spp : 1;
    const int perPixel = planar ? 1 : spp;
    auto put = [&](std::vector<std::uint8_t>& buf, std::size_t i, std::uint16_t v) {
        if (bits == 16) {
            std::memcpy(&buf[i * 2], &v, 2); // libtiff takes samples in the machine's order
        } else {
            buf[i] = static_cast<std::uint8_t>(v);
        }
    };
    const std::uint16_t top = bits == 16 ? 65535 : 255;
    auto value = [&](int x, int y, int c) {
        return c < 3 ? std::uint16_t(at(x, y, c) % (top + 1)) : top;
    };
    if (tiled) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16u);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, 16u);
        std::vector<std::uint8_t> tile(std::size_t(TIFFTileSize(tif)));
        for (int p = 0; p < planes; ++p) {
            for (int ty = 0; ty < kH; ty += 16) {
                for (int tx = 0; tx < kW; tx += 16) {
                    std::fill(tile.begin(), tile.end(), 0);
                    for (int y = 0; y < 16 && ty + y < kH; ++y) {
                        for (int x = 0; x < 16 && tx + x < kW; ++x) {
                            for (int s = 0; s < perPixel; ++s) {
                                put(tile, std::size_t((y * 16 + x) * perPixel + s),
                                    value(tx + x, ty + y, planar ? p : s));
                            }
                        }
                    }
                    TIFFWriteTile(tif, tile.data(), std::uint32_t(tx), std::uint32_t(ty), 0,
                                  std::uint16_t(p));
                }
            }
        }
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 5u);
        std::vector<std::uint8_t> row(std::size_t(kW * perPixel * bytes));
        for (int p = 0; p < planes; ++p) {
            for (int y = 0; y < kH; ++y) {
                for (int x = 0; x < kW; ++x) {
                    for (int s = 0; s < perPixel; ++s) {
                        put(row, std::size_t(x * perPixel + s), value(x, y, planar ? p : s));
                    }
                }
                TIFFWriteScanline(tif, row.data(), std::uint32_t(y), std::uint16_t(p));
            }
        }
    }
    TIFFClose(tif);
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), {});
    std::filesystem::remove(path);
    return file;
}

TEST(ScanFormats, TiffLayoutsAndByteOrdersAllGiveTheSameSamples) {
    const SampleAt at = [](std::int32_t x, std::int32_t y, int c) {
        return Sample(x, y, c, 65535);
    };
    for (const int bits : {8, 16}) {
        const SampleAt stored = [&](std::int32_t x, std::int32_t y, int c) {
            return std::uint16_t(at(x, y, c) % (bits == 16 ? 65536 : 256));
        };
        const auto reference = PnmSamples(
            *Applied(ImageFormat::Pnm, EncodePnm(kW, kH, 3, bits == 16 ? 65535 : 255, stored)));
        // Uncompressed chunky strips without an extra sample are read at
        // their places (in the file's byte order); the others through libtiff.
        for (const char* mode : {"wl", "wb"}) {
            for (const bool planar : {false, true}) {
                for (const bool tiled : {false, true}) {
                    for (const std::uint16_t compression :
                         {COMPRESSION_NONE, COMPRESSION_LZW, COMPRESSION_ADOBE_DEFLATE,
                          COMPRESSION_PACKBITS}) {
                        for (const int extra : {0, 1}) {
                            const auto file =
                                LibTiff(mode, planar, tiled, bits, extra, compression, at);
                            const auto out = Applied(ImageFormat::Tiff, file);
                            ASSERT_TRUE(out) << mode << planar << tiled << compression << extra
                                             << " " << out.Why().Text;
                            EXPECT_EQ(PnmSamples(*out), reference)
                                << bits << mode << planar << tiled << compression << extra;
                        }
                    }
                }
            }
        }
    }
}

// A grey TIFF of one strip with the given photometric interpretation.
std::vector<std::uint8_t> GreyTiff(std::uint16_t photometric, int bits, std::uint16_t compression,
                                   const std::vector<std::uint16_t>& samples) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("tamrel-grey-" + std::to_string(::getpid()) + ".tif");
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, std::uint32_t(kW));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, std::uint32_t(kH));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, std::uint16_t(bits));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, std::uint16_t(1));
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, std::uint32_t(kH));
    std::vector<std::uint8_t> strip(std::size_t(kW * kH * bits / 8));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (bits == 16) {
            std::memcpy(&strip[i * 2], &samples[i], 2);
        } else {
            strip[i] = static_cast<std::uint8_t>(samples[i]);
        }
    }
    TIFFWriteEncodedStrip(tif, 0, strip.data(), tmsize_t(strip.size()));
    TIFFClose(tif);
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    std::filesystem::remove(path);
    return bytes;
}

TEST(ScanFormats, MinIsWhiteGreyReadsAsTheInvertedMinIsBlackImage) {
    for (const int bits : {8, 16}) {
        const int top = bits == 16 ? 65535 : 255;
        std::vector<std::uint16_t> black;
        std::vector<std::uint16_t> white;
        for (std::int32_t i = 0; i < kW * kH; ++i) {
            black.push_back(Sample(i % kW, i / kW, 0, top));
            white.push_back(static_cast<std::uint16_t>(top - black.back()));
        }
        for (const std::uint16_t compression : {COMPRESSION_NONE, COMPRESSION_LZW}) {
            const auto expected = Applied(
                ImageFormat::Tiff, GreyTiff(PHOTOMETRIC_MINISBLACK, bits, compression, black));
            const auto got = Applied(ImageFormat::Tiff,
                                     GreyTiff(PHOTOMETRIC_MINISWHITE, bits, compression, white));
            ASSERT_TRUE(expected && got) << bits << " " << compression;
            EXPECT_EQ(PnmSamples(*got), PnmSamples(*expected)) << bits << " " << compression;
        }
    }
}

TEST(ScanFormats, BadFilesGiveTheirReasons) {
    const SampleAt at = [](std::int32_t x, std::int32_t y, int c) {
        return Sample(x, y, c, 65535);
    };
    auto pnm = EncodePnm(kW, kH, 3, 65535, at);
    auto cut = pnm;
    cut.pop_back(); // one byte short
    const auto png = EncodeRgb16(kW, kH, Rgb16Format::Png, at);
    auto badCrc = png;
    badCrc[40] ^= 0x55; // inside the first IDAT
    auto cutPng = png;
    cutPng.resize(png.size() / 2);
    const std::string text = "P6\n12 x\n255\n";
    const std::string zero = "P6\n0 5\n255\n";
    const std::string plain = "P3\n1 1\n255\n0 0 0\n";
    const std::string huge = "P6\n70000 70000\n65535\n";
    const struct {
        const char* what;
        ImageFormat kind;
        std::vector<std::uint8_t> bytes;
        ReasonCode code;
    } cases[] = {
        {"cut PNM", ImageFormat::Pnm, cut, ReasonCode::Truncated},
        {"header word", ImageFormat::Pnm, {text.begin(), text.end()}, ReasonCode::BadHeader},
        {"zero width", ImageFormat::Pnm, {zero.begin(), zero.end()}, ReasonCode::BadHeader},
        {"plain PNM", ImageFormat::Pnm, {plain.begin(), plain.end()}, ReasonCode::Refused},
        {"huge claim", ImageFormat::Pnm, {huge.begin(), huge.end()}, ReasonCode::Truncated},
        {"PNG as PNM", ImageFormat::Pnm, png, ReasonCode::NotThisFormat},
        {"PNM as PNG", ImageFormat::Png, pnm, ReasonCode::NotThisFormat},
        {"PNM as TIFF", ImageFormat::Tiff, pnm, ReasonCode::NotThisFormat},
        {"PNG as BMP", ImageFormat::Bmp, png, ReasonCode::NotThisFormat},
        {"bad CRC", ImageFormat::Png, badCrc, ReasonCode::DamagedData},
        {"cut PNG", ImageFormat::Png, cutPng, ReasonCode::Truncated},
    };
    for (const auto& c : cases) {
        const auto out = Applied(c.kind, c.bytes);
        ASSERT_FALSE(out) << c.what;
        EXPECT_EQ(out.Why().Code, c.code) << c.what << ": " << out.Why().Text;
    }
}

} // namespace

namespace {

// The window counts a scan's levels as it reads it: the histogram holds the
// 8-bit levels the preview uses, one count per pixel and channel.
TEST(ScanLevels, ReadingAScanCountsItsPreviewLevelsForTheHistogram) {
    const ScratchDir dir;
    const SampleAt at = [](std::int32_t x, std::int32_t y, int c) {
        return std::uint16_t((x * 977 + y * 131 + c * 7919) % 4096);
    };
    const std::int32_t w = 301, h = 211; // odd sizes, several runs of rows
    const auto file = EncodePnm(w, h, 3, 4095, at);
    WriteBytes(dir / "scan.ppm", std::string(file.begin(), file.end()));
    const auto read = ReadImageFile(dir / "scan.ppm");
    ASSERT_TRUE(read) << static_cast<int>(read.Why().Code);
    const LevelHistogram counted = CountKeptLevels(read->View());
    LevelHistogram expected;
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x) {
            for (int c = 0; c < 3; ++c) {
                ++expected.channels[std::size_t(c)][std::size_t(Level8(at(x, y, c), 4095))];
            }
        }
    }
    EXPECT_EQ(counted, expected);
    EXPECT_EQ(counted.Pixels(), std::uint64_t(w) * h);
}

} // namespace

namespace {

// A 57-byte PNG whose sCAL chunk claims a gigabyte: refused from its chunk
// head, before libpng would allocate the claimed length.
TEST(ScanFormats, AnAncillaryChunkClaimingAGigabyteIsRefusedBeforeAllocating) {
    const std::vector<std::uint8_t> file = {
        0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44,
        0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x01, 0x03, 0x00, 0x00, 0x00, 0x25,
        0xdb, 0x56, 0xca, 0x3f, 0xff, 0xff, 0xff, 0x73, 0x43, 0x41, 0x4c, 0xbc, 0x1a, 0x90, 0x08,
        0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
    const MemorySource source(file);
    const auto rows = OpenRows(ImageFormat::Png, source);
    ASSERT_FALSE(rows);
    EXPECT_EQ(rows.Why().Code, ReasonCode::DamagedData);
    EXPECT_EQ(rows.Why().Value, 0x3fffffff);
}

} // namespace

} // namespace scan_formats_test
