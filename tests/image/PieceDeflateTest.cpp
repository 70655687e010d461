// Pieces of one Deflate stream coded on their own: the walk finds each
// stream's last block and end where zlib's own block-by-block inflate does;
// pieces coded with matches or as literals, in any mix and of any length,
// join into one stream that zlib and libdeflate inflate to the bytes given;
// and the sample says matches pay on clean data, not on grain.
#include "image/formats/PieceDeflate.h"
#include "image/formats/DeflateWalk.h"
#include "image/formats/LiteralDeflate.h"

#include <libdeflate.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace piece_deflate_test {

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Lcg {
    std::uint32_t state;
    std::uint8_t Next() {
        state = state * 1664525U + 1013904223U;
        return static_cast<std::uint8_t>(state >> 24);
    }
};

enum class Kind { Noise, Zeros, Text, Grain };

// Text: runs of a few shapes, as rows of a clean page repeat; grain: small
// differences around zero, as a scan's filtered rows are.
Bytes Made(std::size_t count, Kind kind, std::uint32_t seed) {
    Bytes bytes(count);
    Lcg lcg{seed};
    for (std::size_t i = 0; i < count; ++i) {
        switch (kind) {
        case Kind::Noise:
            bytes[i] = lcg.Next();
            break;
        case Kind::Zeros:
            break;
        case Kind::Text:
            bytes[i] = (i / 7) % 5 == 0 ? static_cast<std::uint8_t>("shape"[i % 5]) : 0;
            break;
        case Kind::Grain:
            bytes[i] = static_cast<std::uint8_t>(lcg.Next() % 9 - 4);
            break;
        }
    }
    return bytes;
}

// zlib's inflate stopped at every block boundary: where the last block
// starts, in bits, and the byte the stream ends in.
DeflateEnd ZlibEnd(const Bytes& stream) {
    z_stream z{};
    EXPECT_EQ(inflateInit2(&z, -15), Z_OK);
    Bytes out(1 << 16);
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    DeflateEnd end;
    for (int status = Z_OK; status == Z_OK;) {
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        status = inflate(&z, Z_BLOCK);
        const std::uint64_t at = std::uint64_t{z.total_in} * 8 - (z.data_type & 7);
        if (status == Z_STREAM_END) {
            end.endBit = at;
        } else if ((z.data_type & 128) != 0 && (z.data_type & 64) == 0) {
            end.lastBlockBit = at;
        }
    }
    inflateEnd(&z);
    return end;
}

Bytes ZlibDeflate(const Bytes& data, int level, int strategy) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, level, Z_DEFLATED, -15, 9, strategy), Z_OK);
    Bytes out(deflateBound(&z, data.size()));
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

Bytes LibdeflateDeflate(const Bytes& data, int level) {
    libdeflate_compressor* c = libdeflate_alloc_compressor(level);
    Bytes out(libdeflate_deflate_compress_bound(c, data.size()));
    out.resize(libdeflate_deflate_compress(c, data.data(), data.size(), out.data(), out.size()));
    libdeflate_free_compressor(c);
    return out;
}

TEST(DeflateWalk, FindsTheLastBlockAndTheEndWhereZlibStops) {
    const Bytes text = Made(300000, Kind::Text, 1);
    const Bytes grain = Made(200000, Kind::Grain, 2);
    const struct {
        const char* what;
        Bytes stream;
    } cases[] = {
        {"zlib stored blocks", ZlibDeflate(grain, 0, Z_DEFAULT_STRATEGY)},
        {"zlib fixed codes", ZlibDeflate(text, 6, Z_FIXED)},
        {"zlib dynamic codes", ZlibDeflate(grain, 9, Z_DEFAULT_STRATEGY)},
        {"zlib, nothing", ZlibDeflate({}, 6, Z_DEFAULT_STRATEGY)},
        {"libdeflate level 1", LibdeflateDeflate(grain, 1)},
        {"libdeflate level 6, text", LibdeflateDeflate(text, 6)},
        {"libdeflate level 12, text", LibdeflateDeflate(text, 12)},
        {"literals only",
         [&] {
             Bytes out;
             DeflateLiterals(grain, true, out);
             return out;
         }()},
    };
    for (const auto& c : cases) {
        const std::optional<DeflateEnd> found = FindDeflateEnd(c.stream);
        ASSERT_TRUE(found) << c.what;
        const DeflateEnd zlib = ZlibEnd(c.stream);
        EXPECT_EQ(found->lastBlockBit, zlib.lastBlockBit) << c.what;
        // zlib tells the end to the byte only; the joins below need the bit.
        EXPECT_EQ((found->endBit + 7) / 8, zlib.endBit / 8) << c.what;
    }
}

TEST(DeflateWalk, RefusesStreamsThatBreakOffOrAreNotDeflate) {
    const Bytes whole = LibdeflateDeflate(Made(100000, Kind::Text, 3), 6);
    Bytes flipped = whole;
    flipped[0] |= 0x06; // BTYPE 3, which Deflate does not have
    Bytes trailing = whole;
    trailing.push_back(0);
    const struct {
        const char* what;
        Bytes stream;
    } cases[] = {
        {"empty", {}},
        {"cut short", Bytes(whole.begin(), whole.begin() + whole.size() / 2)},
        {"a reserved block type", flipped},
        {"a byte after the end", trailing},
        {"noise", Made(5000, Kind::Noise, 4)},
        {"a stored block whose lengths disagree", {0x01, 0x05, 0x00, 0x00, 0x00}},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(FindDeflateEnd(c.stream)) << c.what;
    }
}

Bytes Inflated(const Bytes& stream, std::size_t expected, bool& ended) {
    Bytes out(expected + 16);
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    std::size_t in = 0;
    std::size_t made = 0;
    ended = libdeflate_deflate_decompress_ex(d, stream.data(), stream.size(), out.data(),
                                             out.size(), &in, &made) == LIBDEFLATE_SUCCESS &&
            in == stream.size();
    libdeflate_free_decompressor(d);
    out.resize(made);
    return out;
}

Bytes InflatedByZlib(const Bytes& stream, std::size_t expected) {
    uLongf size = static_cast<uLongf>(expected + 16);
    Bytes out(size);
    z_stream z{};
    EXPECT_EQ(inflateInit2(&z, -15), Z_OK);
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    inflateEnd(&z);
    return out;
}

TEST(PieceDeflate, PiecesWithMatchesAndLiteralsJoinIntoOneStream) {
    // Lengths that leave every count of bits in a piece's last byte.
    std::vector<Bytes> pieces;
    for (std::size_t k = 0; k < 24; ++k) {
        const Kind kind = k % 3 == 0 ? Kind::Grain : k % 3 == 1 ? Kind::Text : Kind::Zeros;
        pieces.push_back(Made(1000 + 977 * k, kind, std::uint32_t(k)));
    }
    pieces.push_back({});
    Bytes stream;
    Bytes data;
    std::set<std::uint64_t> lastByteBits;
    for (std::size_t p = 0; p < pieces.size(); ++p) {
        const bool last = p + 1 == pieces.size();
        const std::size_t before = stream.size();
        if (p % 2 == 0 || !DeflateMatches(pieces[p], last, stream)) {
            DeflateLiterals(pieces[p], last, stream);
        }
        if (p % 2 == 1) {
            const Bytes alone = LibdeflateDeflate(pieces[p], 6);
            lastByteBits.insert(FindDeflateEnd(alone)->endBit % 8);
        }
        EXPECT_GT(stream.size(), before);
        data.insert(data.end(), pieces[p].begin(), pieces[p].end());
    }
    EXPECT_EQ(lastByteBits.size(), 8U) << "not every end of a byte was met";
    bool ended = false;
    EXPECT_TRUE(Inflated(stream, data.size(), ended) == data);
    EXPECT_TRUE(ended);
    EXPECT_TRUE(InflatedByZlib(stream, data.size()) == data);
}

TEST(PieceDeflate, MatchesPayOnCleanDataNotOnGrain) {
    const struct {
        const char* what;
        Bytes data;
        bool pay;
    } cases[] = {
        {"paper: zeros", Made(1 << 20, Kind::Zeros, 1), true},
        {"text", Made(1 << 20, Kind::Text, 2), true},
        {"grain", Made(1 << 20, Kind::Grain, 3), false},
        {"noise", Made(1 << 20, Kind::Noise, 4), false},
        {"too few bytes to sample", Made(1, Kind::Zeros, 5), false},
        {"nothing", {}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchesPay(c.data), c.pay) << c.what;
    }
}

} // namespace

} // namespace piece_deflate_test
