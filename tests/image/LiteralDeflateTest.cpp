// Literal-only Deflate: limited Huffman codes are complete prefix codes
// within their limit, and pieces made on their own join into one stream that
// zlib and libdeflate both inflate to the bytes given, within the bound.
#include "image/formats/LiteralDeflate.h"
#include "image/formats/HuffmanCode.h"

#include <libdeflate.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace literal_deflate_test {

namespace {

constexpr std::size_t kLitLenSymbols = 257;

// The Kraft sum in units of 2^-maxBits: 2^maxBits for a complete code.
std::uint64_t KraftUnits(const std::vector<std::uint8_t>& lengths, int maxBits) {
    std::uint64_t sum = 0;
    for (const std::uint8_t length : lengths) {
        if (length > 0) {
            sum += std::uint64_t{1} << (maxBits - length);
        }
    }
    return sum;
}

struct Lcg {
    std::uint32_t state;
    std::uint32_t Next() {
        state = state * 1664525U + 1013904223U;
        return state >> 8;
    }
};

TEST(HuffmanCode, LimitedCodesAreCompleteWithinTheLimitAndFavourFrequentSymbols) {
    std::vector<std::uint32_t> fibonacci(30, 0); // a tree 29 deep unlimited
    fibonacci[0] = fibonacci[1] = 1;
    for (std::size_t i = 2; i < fibonacci.size(); ++i) {
        fibonacci[i] = fibonacci[i - 1] + fibonacci[i - 2];
    }
    std::vector<std::uint32_t> oneUsed(kLitLenSymbols, 0);
    oneUsed[256] = 1;
    std::vector<std::uint32_t> halfZeros(kLitLenSymbols, 100);
    halfZeros[0] = 25600;
    std::vector<std::uint32_t> random(kLitLenSymbols);
    Lcg lcg{7};
    for (std::uint32_t& f : random) {
        f = lcg.Next() % 4 == 0 ? 0 : lcg.Next() % 100000;
    }
    const struct {
        const char* what;
        std::vector<std::uint32_t> frequencies;
        int maxBits;
    } cases[] = {
        {"fibonacci, 15 bits", fibonacci, 15},
        {"fibonacci, 7 bits", fibonacci, 7},
        {"fibonacci, 5 bits", fibonacci, 5},
        {"one symbol used", oneUsed, 15},
        {"none used", std::vector<std::uint32_t>(19, 0), 7},
        {"two used", {0, 5, 0, 9}, 7},
        {"half zeros", halfZeros, 15},
        {"random", random, 15},
        {"all equal, 257", std::vector<std::uint32_t>(kLitLenSymbols, 3), 15},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> lengths(c.frequencies.size(), 99);
        LimitedCodeLengths(c.frequencies, c.maxBits, lengths);
        EXPECT_EQ(KraftUnits(lengths, c.maxBits), std::uint64_t{1} << c.maxBits) << c.what;
        EXPECT_GE(std::count_if(lengths.begin(), lengths.end(), [](int l) { return l > 0; }), 2)
            << c.what;
        for (std::size_t a = 0; a < lengths.size(); ++a) {
            EXPECT_LE(lengths[a], c.maxBits) << c.what;
            EXPECT_TRUE(c.frequencies[a] == 0 || lengths[a] > 0) << c.what << " symbol " << a;
            for (std::size_t b = 0; b < lengths.size(); ++b) {
                if (c.frequencies[a] > c.frequencies[b] && lengths[b] > 0) {
                    EXPECT_LE(lengths[a], lengths[b]) << c.what << " " << a << " vs " << b;
                }
            }
        }
    }
    std::vector<std::uint8_t> halfZeroLengths(kLitLenSymbols);
    LimitedCodeLengths(halfZeros, 15, halfZeroLengths);
    EXPECT_EQ(halfZeroLengths[0], 1); // half the bytes: one bit each
}

TEST(HuffmanCode, CanonicalCodesFollowTheDeflateExampleBitReversed) {
    // A..H with lengths 3 3 3 3 3 2 4 4 take 010 011 100 101 110 00 1110 1111.
    const std::vector<std::uint8_t> lengths = {3, 3, 3, 3, 3, 2, 4, 4, 0};
    std::vector<std::uint16_t> codes(lengths.size());
    ReversedCanonicalCodes(lengths, codes);
    const std::vector<std::uint16_t> expected = {0b010, 0b110,  0b001,  0b101, 0b011,
                                                 0b00,  0b0111, 0b1111, 0};
    EXPECT_EQ(codes, expected);
}

std::vector<std::uint8_t> Bytes(std::size_t count, int kind, std::uint32_t seed) {
    std::vector<std::uint8_t> bytes(count);
    Lcg lcg{seed};
    for (std::size_t i = 0; i < count; ++i) {
        switch (kind) {
        case 0: // noise: stored blocks are smaller
            bytes[i] = static_cast<std::uint8_t>(lcg.Next());
            break;
        case 1: // one byte throughout
            bytes[i] = 0x5A;
            break;
        default: // a filtered 16-bit scan: high bytes small, low bytes noise
            bytes[i] = i % 2 == 0 ? static_cast<std::uint8_t>(lcg.Next() % 3)
                                  : static_cast<std::uint8_t>(lcg.Next());
        }
    }
    return bytes;
}

struct Joined {
    std::vector<std::uint8_t> data;   // all pieces' input
    std::vector<std::uint8_t> stream; // their raw Deflate
};

Joined Join(const std::vector<std::vector<std::uint8_t>>& pieces) {
    Joined j;
    for (std::size_t p = 0; p < pieces.size(); ++p) {
        const std::size_t before = j.stream.size();
        DeflateLiterals(pieces[p], p + 1 == pieces.size(), j.stream);
        EXPECT_LE(j.stream.size() - before, DeflateLiteralsBound(pieces[p].size()));
        j.data.insert(j.data.end(), pieces[p].begin(), pieces[p].end());
    }
    return j;
}

std::vector<std::uint8_t> InflateWithZlib(const std::vector<std::uint8_t>& stream,
                                          std::size_t expected, bool& ended) {
    std::vector<std::uint8_t> out(expected + 16);
    z_stream z{};
    EXPECT_EQ(inflateInit2(&z, -15), Z_OK);
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    ended = inflate(&z, Z_FINISH) == Z_STREAM_END && z.avail_in == 0;
    out.resize(z.total_out);
    inflateEnd(&z);
    return out;
}

std::vector<std::uint8_t> InflateWithLibdeflate(const std::vector<std::uint8_t>& stream,
                                                std::size_t expected, bool& ended) {
    std::vector<std::uint8_t> out(expected + 16);
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

TEST(LiteralDeflate, PiecesJoinIntoOneStreamThatInflatesToTheirBytes) {
    constexpr int kNoise = 0;
    constexpr int kOneByte = 1;
    constexpr int kScan = 2;
    const struct {
        const char* what;
        std::vector<std::vector<std::uint8_t>> pieces;
    } cases[] = {
        {"nothing", {{}}},
        {"one byte", {Bytes(1, kScan, 1)}},
        {"one byte value", {Bytes(100000, kOneByte, 1)}},
        {"noise, stored", {Bytes(200001, kNoise, 2)}},
        {"scan over block and stored limits",
         {Bytes(65535, kScan, 3), Bytes(65536, kScan, 4), Bytes(65537, kScan, 5)}},
        {"many odd pieces, one empty",
         {Bytes(48001, kScan, 6),
          Bytes(7, kScan, 7),
          {},
          Bytes(144003, kScan, 8),
          Bytes(1, kOneByte, 9),
          Bytes(70000, kNoise, 10),
          Bytes(300001, kScan, 11)}},
        {"empty last piece", {Bytes(5000, kScan, 12), {}}},
    };
    for (const auto& c : cases) {
        const Joined joined = Join(c.pieces);
        bool ended = false;
        EXPECT_TRUE(InflateWithZlib(joined.stream, joined.data.size(), ended) == joined.data)
            << c.what << " through zlib";
        EXPECT_TRUE(ended) << c.what << " through zlib";
        EXPECT_TRUE(InflateWithLibdeflate(joined.stream, joined.data.size(), ended) == joined.data)
            << c.what << " through libdeflate";
        EXPECT_TRUE(ended) << c.what << " through libdeflate";
    }
}

// zlib's own Huffman-only Deflate of the same bytes at once.
std::size_t ZlibHuffmanOnlySize(const std::vector<std::uint8_t>& data) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_HUFFMAN_ONLY), Z_OK);
    std::vector<std::uint8_t> out(deflateBound(&z, static_cast<uLong>(data.size())));
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    deflateEnd(&z);
    return z.total_out;
}

TEST(LiteralDeflate, ScanBytesShrinkAsMuchAsZlibsAndNoiseGrowsOnlyByTheStoredHeaders) {
    const std::vector<std::uint8_t> scan = Bytes(1 << 20, 2, 21);
    std::vector<std::uint8_t> out;
    DeflateLiterals(scan, true, out);
    EXPECT_LT(out.size(), scan.size() * 3 / 4); // half the bytes in under 3 bits, half in 9
    EXPECT_LE(out.size(), ZlibHuffmanOnlySize(scan) * 1001 / 1000);

    const std::vector<std::uint8_t> noise = Bytes(1 << 20, 0, 22);
    out.clear();
    DeflateLiterals(noise, true, out);
    EXPECT_LE(out.size(), noise.size() + 5 * (noise.size() / 65535 + 1));
}

} // namespace

}  // namespace literal_deflate_test
