// libdeflate makes every stream it writes end with a final block, so a
// piece that does not end the stream has that block's BFINAL bit cleared,
// found by walking the piece's blocks (DeflateWalk). The empty stored block
// after it is 3 header bits of zero (not final, BTYPE 0) from where the
// final block ended, zero bits up to the byte, then LEN 0 and NLEN 0xFFFF.
#include "image/formats/PieceDeflate.h"

#include "image/formats/DeflateWalk.h"

#include <isa-l/igzip_lib.h>
#include <libdeflate.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace {

// Measured on A4 text pages at 300 dpi through the start-up tables, in
// pieces of 1 MiB: level 6 makes files 1 to 2 % larger than zlib's level 6
// in one stream (vips' PNG), level 9 3 % (8 bits) and 0.7 % (16 bits)
// smaller, at two and a half times level 6's time; 10 and above take ten
// times as long again.
constexpr int kMatchLevel = 9;
constexpr std::size_t kSliceBytes = std::size_t{1} << 13;
constexpr std::size_t kSlices = 2;
constexpr double kMatchesPayShare = 0.75;
constexpr double kProbeByteBits = 8;
constexpr std::size_t kByteValues = 256;
constexpr std::size_t kProbeSlack = 1024; // beyond the slice, for ISA-L's headers
constexpr unsigned kJoinByteBits = 8;
constexpr unsigned kStoredHeadBits = 3;
constexpr std::uint8_t kEmptyStoredLengths[] = {0x00, 0x00, 0xFF, 0xFF};

// The slice's cost as literals only, in bytes.
double LiteralBytes(std::span<const std::uint8_t> slice) {
    std::array<std::uint32_t, kByteValues> counts{};
    for (const std::uint8_t b : slice) {
        ++counts[b];
    }
    const auto total = static_cast<double>(slice.size());
    double bits = 0;
    for (const std::uint32_t count : counts) {
        if (count > 0) {
            bits -= count * std::log2(count / total);
        }
    }
    return std::max(bits, total) / kProbeByteBits;
}

// The slice's size through ISA-L's level 1, the fastest that makes a
// Huffman code of its own (level 0's fixed code hides what matches save);
// the slice's own size when that does not fit.
double MatchedBytes(std::span<const std::uint8_t> slice) {
    thread_local std::vector<std::uint8_t> out;
    thread_local std::vector<std::uint8_t> work(ISAL_DEF_LVL1_SMALL);
    out.resize(slice.size() + kProbeSlack);
    isal_zstream stream;
    isal_deflate_stateless_init(&stream);
    stream.level = 1;
    stream.level_buf = work.data();
    stream.level_buf_size = static_cast<std::uint32_t>(work.size());
    stream.end_of_stream = 1;
    stream.next_in = const_cast<std::uint8_t*>(slice.data()); // only read
    stream.avail_in = static_cast<std::uint32_t>(slice.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<std::uint32_t>(out.size());
    if (isal_deflate_stateless(&stream) != COMP_OK) {
        return static_cast<double>(slice.size());
    }
    return stream.total_out;
}

struct MatchCompressorFree {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

} // namespace

libdeflate_compressor* MatchCompressor() {
    thread_local std::unique_ptr<libdeflate_compressor, MatchCompressorFree> compressor(
        libdeflate_alloc_compressor(kMatchLevel));
    return compressor.get();
}

namespace {

// The piece at `start` of `out` made not final, and the empty stored
// block after it.
bool Unfinish(std::vector<std::uint8_t>& out, std::size_t start) {
    const std::optional<DeflateEnd> end = FindDeflateEnd(std::span(out).subspan(start));
    if (!end) {
        return false;
    }
    const std::uint64_t final = end->lastBlockBit;
    out[start + final / kJoinByteBits] &= static_cast<std::uint8_t>(~(1U << final % kJoinByteBits));
    const unsigned used = end->endBit % kJoinByteBits; // bits of the last byte taken
    if (used != 0) {
        out.back() &= static_cast<std::uint8_t>((1U << used) - 1); // padding is zero
    }
    if (used == 0 || used + kStoredHeadBits > kJoinByteBits) {
        out.push_back(0); // the header's bits, or those that spill over
    }
    out.insert(out.end(), std::begin(kEmptyStoredLengths), std::end(kEmptyStoredLengths));
    return true;
}

} // namespace

bool MatchesPay(std::span<const std::uint8_t> data) {
    const std::size_t slice = std::min(kSliceBytes, data.size() / kSlices);
    if (slice == 0) {
        return false;
    }
    double literal = 0;
    double matched = 0;
    for (std::size_t k = 0; k < kSlices; ++k) {
        // Each slice in the middle of its share of the piece.
        const std::size_t share = data.size() / kSlices;
        const std::span<const std::uint8_t> part =
            data.subspan(k * share + (share - slice) / 2, slice);
        literal += LiteralBytes(part);
        matched += MatchedBytes(part);
    }
    return matched < kMatchesPayShare * literal;
}

bool DeflateMatches(std::span<const std::uint8_t> data, bool last, std::vector<std::uint8_t>& out) {
    libdeflate_compressor* compressor = MatchCompressor();
    if (compressor == nullptr) {
        return false;
    }
    const std::size_t start = out.size();
    out.resize(start + libdeflate_deflate_compress_bound(compressor, data.size()));
    const std::size_t size = libdeflate_deflate_compress(compressor, data.data(), data.size(),
                                                         out.data() + start, out.size() - start);
    out.resize(start + size);
    if (size == 0 || (!last && !Unfinish(out, start))) {
        out.resize(start);
        return false;
    }
    return true;
}
