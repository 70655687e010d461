// Plain grey and RGB PNGs of 8 and 16 bits, whose rows the reader inflates
// and unfilters itself: every filter type, image data split over chunks of
// any size (empty ones too), streams with matches reaching rows back and
// stored ones, read a few rows at a time, give exactly libpng's samples; and
// damaged image data gives its reason.
#include "image/formats/FormatTable.h"
#include "image/rows/ByteSource.h"
#include "tests/image/LibraryDecode.h"

#include <zlib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace png_image_data_test {

namespace {

constexpr std::uint8_t kFilterTypes = 5;

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data) {
    PutU32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutU32(out, static_cast<std::uint32_t>(
                    crc32(0, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt))));
}

struct Plain {
    std::int32_t width;
    std::int32_t height;
    std::uint8_t colourType; // 0 grey, 2 RGB
    std::uint8_t bits;
    std::size_t rowBytes() const {
        return std::size_t(width) * (colourType == 2 ? 3 : 1) * (bits / 8);
    }
};

// Filtered rows as a file stores them: a filter type byte (each type in
// turn from `firstType`, or `badType` in row 1) and bytes that repeat every
// few rows with some noise, so that deflate finds matches a row or more back.
std::vector<std::uint8_t> FilteredRows(const Plain& p, int firstType, int badType = -1) {
    std::vector<std::uint8_t> rows;
    std::uint32_t state = 99;
    for (std::int32_t y = 0; y < p.height; ++y) {
        rows.push_back(y == 1 && badType >= 0 ? std::uint8_t(badType)
                                              : std::uint8_t((firstType + y) % kFilterTypes));
        for (std::size_t i = 0; i < p.rowBytes(); ++i) {
            state = state * 1664525U + 1013904223U;
            const bool noise = (state >> 28) == 0;
            rows.push_back(noise ? std::uint8_t(state >> 20) : std::uint8_t(i * 7 + (y % 3) * 50));
        }
    }
    return rows;
}

// A PNG of `p` whose zlib stream of `filtered` at `level` is cut into IDAT
// chunks of `idatBytes` (each followed by an empty one when `empties`); the
// stream's byte `flip` (from the end when negative) changed first if asked.
std::vector<std::uint8_t> PngOf(const Plain& p, const std::vector<std::uint8_t>& filtered,
                                int level, std::size_t idatBytes, bool empties = false,
                                std::optional<std::ptrdiff_t> flip = {}) {
    std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> head;
    PutU32(head, std::uint32_t(p.width));
    PutU32(head, std::uint32_t(p.height));
    head.insert(head.end(), {p.bits, p.colourType, 0, 0, 0});
    PutChunk(file, "IHDR", head);
    uLongf size = compressBound(static_cast<uLong>(filtered.size()));
    std::vector<std::uint8_t> stream(size);
    EXPECT_EQ(compress2(stream.data(), &size, filtered.data(), static_cast<uLong>(filtered.size()),
                        level),
              Z_OK);
    stream.resize(size);
    if (flip) {
        stream[std::size_t(*flip < 0 ? std::ptrdiff_t(size) + *flip : *flip)] ^= 1;
    }
    for (std::size_t at = 0; at < stream.size(); at += idatBytes) {
        const auto end = stream.begin() + std::ptrdiff_t(std::min(stream.size(), at + idatBytes));
        PutChunk(file, "IDAT", {stream.begin() + std::ptrdiff_t(at), end});
        if (empties) {
            PutChunk(file, "IDAT", {});
        }
    }
    PutChunk(file, "IEND", {});
    return file;
}

struct Read {
    Reason why;
    std::vector<std::uint16_t> samples;
};

// Our reader's samples, asked for `run` rows at a time into scratch that
// holds other bytes beforehand.
Read ReadInRuns(const std::vector<std::uint8_t>& file, std::int32_t run) {
    const MemorySource source(file);
    auto rows = OpenRows(ImageFormat::Png, source);
    if (!rows) {
        return {rows.Why(), {}};
    }
    const RowLayout& layout = (*rows)->Layout();
    Read read;
    for (std::int32_t y = 0; y < layout.Height; y += run) {
        const std::int32_t count = std::min(run, layout.Height - y);
        std::vector<std::uint8_t> scratch(std::size_t((*rows)->ScratchBytes(count)), 0xA5);
        const FetchedRows got = (*rows)->Rows(y, count, scratch.data());
        if (got.Why) {
            read.why = got.Why;
            return read;
        }
        const bool wide = layout.Format.BitsPerSample == 16;
        const std::int64_t samples = layout.Width * std::int64_t{layout.Format.Samples} * count;
        for (std::int64_t i = 0; i < samples; ++i) {
            read.samples.push_back(
                wide ? std::uint16_t(got.First[2 * i] << 8 | got.First[2 * i + 1]) : got.First[i]);
        }
    }
    return read;
}

TEST(PngImageData, PlainRowsReadAsLibpngReadsThem) {
    const struct {
        Plain plain;
        int level;
        std::size_t idatBytes;
        bool empties;
        std::int32_t run;
        int firstType;
    } cases[] = {
        {{1, 1, 0, 8}, 6, 8192, false, 1, 0},         {{1, 7, 0, 16}, 9, 1, true, 2, 1},
        {{7, 5, 2, 16}, 9, 3, false, 3, 2},           {{33, 40, 2, 8}, 9, 8192, false, 7, 3},
        {{100, 60, 0, 16}, 0, 500, true, 60, 4},      {{3001, 30, 2, 16}, 6, 65536, false, 4, 1},
        {{2000, 50, 2, 8}, 1, 1 << 20, false, 50, 4},
    };
    for (const auto& c : cases) {
        const std::string name =
            std::to_string(c.plain.width) + "x" + std::to_string(c.plain.height) + " type " +
            std::to_string(c.plain.colourType) + " " + std::to_string(c.plain.bits) +
            " bits, level " + std::to_string(c.level);
        const std::vector<std::uint8_t> file =
            PngOf(c.plain, FilteredRows(c.plain, c.firstType), c.level, c.idatBytes, c.empties);
        const decodetest::Decoded library = decodetest::DecodeWithLibpng(file);
        ASSERT_EQ(library.samples.size(),
                  std::size_t(c.plain.height) * c.plain.rowBytes() / (c.plain.bits / 8))
            << name;
        const Read ours = ReadInRuns(file, c.run);
        EXPECT_FALSE(ours.why) << name << ": " << ours.why.Text;
        EXPECT_TRUE(ours.samples == library.samples) << name;
    }
}

// The file without its last IDAT chunk: the stream stops short at IEND.
std::vector<std::uint8_t> WithoutLastImageChunk(std::vector<std::uint8_t> file) {
    constexpr std::size_t kFirstChunk = 8;
    constexpr std::size_t kFraming = 12; // length, type, CRC
    const std::size_t iend = file.size() - kFraming;
    std::size_t last = kFirstChunk;
    for (std::size_t at = kFirstChunk; at < iend;) {
        last = at;
        at += (std::size_t(file[at]) << 24 | std::size_t(file[at + 1]) << 16 |
               std::size_t(file[at + 2]) << 8 | file[at + 3]) +
              kFraming;
    }
    file.erase(file.begin() + std::ptrdiff_t(last), file.begin() + std::ptrdiff_t(iend));
    return file;
}

TEST(PngImageData, DamagedImageDataGivesItsReason) {
    const Plain p{40, 30, 2, 16};
    const std::vector<std::uint8_t> rows = FilteredRows(p, 0);
    const std::vector<std::uint8_t> good = PngOf(p, rows, 6, 1000);
    constexpr std::size_t kSecondIdatData = 8 + 25 + 12 + 1000 + 8 + 10;
    auto badCrc = good;
    badCrc[kSecondIdatData] ^= 0x40;
    auto cut = good;
    cut.resize(kSecondIdatData);
    const std::vector<std::uint8_t> twentyRows(
        rows.begin(), rows.begin() + std::ptrdiff_t(20 * (p.rowBytes() + 1)));
    const struct {
        const char* what;
        std::vector<std::uint8_t> file;
        ReasonCode code;
    } cases[] = {
        {"CRC of a later chunk", badCrc, ReasonCode::DamagedData},
        {"file cut inside the image data", cut, ReasonCode::Truncated},
        {"filter type 5", PngOf(p, FilteredRows(p, 0, 5), 6, 1000), ReasonCode::DamagedData},
        {"a stream of 20 rows", PngOf(p, twentyRows, 6, 1000), ReasonCode::DamagedData},
        {"a stream cut short", WithoutLastImageChunk(PngOf(p, rows, 0, 1000)),
         ReasonCode::DamagedData},
        {"the zlib header's check", PngOf(p, rows, 6, 1 << 20, false, 1), ReasonCode::DamagedData},
        {"the Adler-32, in the chunk of the last row", PngOf(p, rows, 6, 1 << 20, false, -1),
         ReasonCode::DamagedData},
    };
    ASSERT_FALSE(ReadInRuns(good, 4).why);
    for (const auto& c : cases) {
        const Read ours = ReadInRuns(c.file, 4);
        EXPECT_EQ(ours.why.Code, c.code) << c.what << ": " << ours.why.Text;
        EXPECT_EQ(ours.samples.size() % (std::size_t(p.width) * 3 * 4), 0U) << c.what;
    }
}

} // namespace

}  // namespace png_image_data_test
