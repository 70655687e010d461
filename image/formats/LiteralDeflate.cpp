// A dynamic block (BTYPE 2) sends: HLIT - 257 (5 bits), HDIST - 1 (5 bits),
// HCLEN - 4 (4 bits), 3 bits for each of the first HCLEN code-length code
// lengths in their fixed order, the literal/length and distance code lengths
// run-length coded with that code, then the data and end-of-block. Here the
// literal/length alphabet is the 256 literals and end-of-block (HLIT 257),
// and the distance code two 1-bit codes never used: decoders want a
// complete code. A stored block (BTYPE 0) is 3 header bits, padding to the
// byte, LEN and its complement NLEN (16 bits each, least significant byte
// first) and LEN bytes, at most 65535.
#include "image/formats/LiteralDeflate.h"

#include "image/formats/HuffmanCode.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace {

constexpr std::size_t kLiterals = 256;
constexpr std::size_t kEndOfBlock = 256;
constexpr std::size_t kLitLenCodes = kLiterals + 1;
constexpr std::size_t kDistanceCodes = 2;
constexpr std::size_t kAllLengths = kLitLenCodes + kDistanceCodes;
constexpr int kMaxCodeBits = 15;
constexpr std::size_t kLengthCodes = 19;
constexpr int kMaxLengthCodeBits = 7;
constexpr std::uint8_t kLengthCodeOrder[kLengthCodes] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                         11, 4,  12, 3, 13, 2, 14, 1, 15};
constexpr std::size_t kLeastLengthCodesSent = 4;
// Run-length symbols of the code-length alphabet: repeat the previous
// length 3..6 times (2 extra bits), zeros 3..10 times (3), 11..138 times (7).
constexpr std::uint8_t kRepeatPrevious = 16;
constexpr std::uint8_t kRepeatZeros = 17;
constexpr std::uint8_t kRepeatManyZeros = 18;
constexpr int kRepeatPreviousLeast = 3;
constexpr int kRepeatPreviousMost = 6;
constexpr int kRepeatZerosLeast = 3;
constexpr int kRepeatZerosMost = 10;
constexpr int kRepeatManyZerosMost = 138;
constexpr unsigned kExtraBits[kLengthCodes] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                               0, 0, 0, 0, 0, 0, 2, 3, 7};

// A block's head: BFINAL (1 bit), then BTYPE (2 bits).
constexpr unsigned kFinalBits = 1;
constexpr unsigned kTypeBits = 2;
constexpr unsigned kStored = 0;
constexpr unsigned kDynamic = 2;
constexpr std::size_t kStoredMost = 65535;
constexpr unsigned kStoredLengthBits = 16;
constexpr std::uint64_t kBlockHeadBits = kFinalBits + kTypeBits;
constexpr std::uint64_t kStoredHeadBits = kBlockHeadBits + 7 + 2 * kStoredLengthBits; // worst pad
constexpr std::size_t kLeastLitLenCodes = 257; // what HLIT counts from
constexpr std::size_t kLeastDistanceCodes = 1;
constexpr unsigned kLitLenCountBits = 5;
constexpr unsigned kDistanceCountBits = 5;
constexpr unsigned kLengthCountBits = 4;
constexpr std::uint64_t kCountFieldBits = kLitLenCountBits + kDistanceCountBits + kLengthCountBits;
constexpr unsigned kLengthCodeLengthBits = 3;

// A new code for every 64 KiB follows changes in the picture down a strip;
// its header costs about 0.1 % of the block. A block that is stored then
// fits one stored block.
constexpr std::size_t kBlockBytes = kStoredMost;
// Bytes past the end that BitWriter::Flush may touch.
constexpr std::size_t kFlushSlack = 8;

// Bits gathered from the least significant end and moved out a whole byte
// at a time. Between flushes no more than 64 bits may be put.
class BitWriter {
public:
    explicit BitWriter(std::uint8_t* out) : out_(out) {}

    // `value` must fit in `bits`.
    void Put(std::uint64_t value, unsigned bits) {
        pending_ |= value << count_;
        count_ += bits;
    }

    // Stores all 8 bytes, then keeps only the bits short of a whole byte.
    void Flush() {
        std::uint64_t word = pending_;
        if constexpr (std::endian::native == std::endian::big) {
            word = __builtin_bswap64(word);
        }
        std::memcpy(out_, &word, sizeof word);
        out_ += count_ / 8;
        pending_ = count_ >= 8 ? pending_ >> (count_ & ~7U) : pending_;
        count_ &= 7U;
    }

    // Pads with zero bits to the next byte.
    void Align() {
        Flush();
        count_ = (count_ + 7) & ~7U;
        Flush();
    }

    // Only when aligned.
    void PutBytes(std::span<const std::uint8_t> bytes) {
        if (bytes.empty()) {
            return; // an empty span may have no data pointer at all
        }
        std::memcpy(out_, bytes.data(), bytes.size());
        out_ += bytes.size();
    }

    std::uint8_t* End() const { return out_; } // only when aligned

private:
    std::uint8_t* out_;
    std::uint64_t pending_ = 0;
    unsigned count_ = 0;
};

struct LengthSymbol {
    std::uint8_t symbol;
    std::uint8_t extra; // the value of its extra bits
};

// The code lengths run-length coded, as the code-length alphabet has it.
std::vector<LengthSymbol> RunLengths(std::span<const std::uint8_t> lengths) {
    std::vector<LengthSymbol> runs;
    const auto put = [&](std::uint8_t symbol, int extra) {
        runs.push_back({symbol, static_cast<std::uint8_t>(extra)});
    };
    for (std::size_t i = 0; i < lengths.size();) {
        const std::uint8_t length = lengths[i];
        std::size_t end = i;
        while (end < lengths.size() && lengths[end] == length) {
            ++end;
        }
        int run = static_cast<int>(end - i);
        i = end;
        if (length == 0) {
            for (; run > kRepeatZerosMost; run -= std::min(run, kRepeatManyZerosMost)) {
                put(kRepeatManyZeros, std::min(run, kRepeatManyZerosMost) - kRepeatZerosMost - 1);
            }
            if (run >= kRepeatZerosLeast) {
                put(kRepeatZeros, run - kRepeatZerosLeast);
                run = 0;
            }
        } else {
            put(length, 0);
            --run;
            for (; run >= kRepeatPreviousLeast; run -= std::min(run, kRepeatPreviousMost)) {
                put(kRepeatPrevious, std::min(run, kRepeatPreviousMost) - kRepeatPreviousLeast);
            }
        }
        for (; run > 0; --run) {
            put(length, 0);
        }
    }
    return runs;
}

// A dynamic block's codes and its size.
struct DynamicCode {
    std::array<std::uint8_t, kAllLengths> lengths{};   // literal/length, then distance
    std::array<std::uint32_t, kLitLenCodes> entries{}; // reversed code | length << 16
    std::vector<LengthSymbol> runs;
    std::array<std::uint8_t, kLengthCodes> runLengths{};
    std::array<std::uint16_t, kLengthCodes> runCodes{};
    std::size_t lengthCodesSent = kLengthCodes;
    std::uint64_t bits = 0; // the whole block
};

constexpr unsigned kEntryLengthShift = 16;
constexpr std::uint32_t kEntryCodeMask = 0xFFFF;

DynamicCode CodeFor(const std::array<std::uint32_t, kLitLenCodes>& frequencies) {
    DynamicCode c;
    const std::span<std::uint8_t> litLen(c.lengths.data(), kLitLenCodes);
    LimitedCodeLengths(frequencies, kMaxCodeBits, litLen);
    c.lengths[kLitLenCodes] = 1;
    c.lengths[kLitLenCodes + 1] = 1;
    std::array<std::uint16_t, kLitLenCodes> codes{};
    ReversedCanonicalCodes(litLen, codes);
    for (std::size_t s = 0; s < kLitLenCodes; ++s) {
        c.entries[s] = codes[s] | std::uint32_t{litLen[s]} << kEntryLengthShift;
    }

    c.runs = RunLengths(c.lengths);
    std::array<std::uint32_t, kLengthCodes> runCounts{};
    for (const LengthSymbol& run : c.runs) {
        ++runCounts[run.symbol];
    }
    LimitedCodeLengths(runCounts, kMaxLengthCodeBits, c.runLengths);
    ReversedCanonicalCodes(c.runLengths, c.runCodes);
    while (c.lengthCodesSent > kLeastLengthCodesSent &&
           c.runLengths[kLengthCodeOrder[c.lengthCodesSent - 1]] == 0) {
        --c.lengthCodesSent;
    }

    c.bits = kBlockHeadBits + kCountFieldBits + kLengthCodeLengthBits * c.lengthCodesSent;
    for (const LengthSymbol& run : c.runs) {
        c.bits += c.runLengths[run.symbol] + kExtraBits[run.symbol];
    }
    for (std::size_t s = 0; s < kLitLenCodes; ++s) {
        c.bits += std::uint64_t{frequencies[s]} * litLen[s];
    }
    return c;
}

std::array<std::uint32_t, kLitLenCodes> Frequencies(std::span<const std::uint8_t> data) {
    // Four tables, so that runs of one byte do not wait on their own counts.
    std::array<std::array<std::uint32_t, kLiterals>, 4> part{};
    std::size_t i = 0;
    for (; i + 4 <= data.size(); i += 4) {
        ++part[0][data[i]];
        ++part[1][data[i + 1]];
        ++part[2][data[i + 2]];
        ++part[3][data[i + 3]];
    }
    for (; i < data.size(); ++i) {
        ++part[0][data[i]];
    }
    std::array<std::uint32_t, kLitLenCodes> frequencies{};
    for (std::size_t b = 0; b < kLiterals; ++b) {
        frequencies[b] = part[0][b] + part[1][b] + part[2][b] + part[3][b];
    }
    frequencies[kEndOfBlock] = 1;
    return frequencies;
}

void PutEntry(BitWriter& out, std::uint32_t entry) {
    out.Put(entry & kEntryCodeMask, entry >> kEntryLengthShift);
}

void PutDynamic(BitWriter& out, const DynamicCode& c, std::span<const std::uint8_t> data,
                bool final) {
    out.Put(final ? 1 : 0, kFinalBits);
    out.Put(kDynamic, kTypeBits);
    out.Put(kLitLenCodes - kLeastLitLenCodes, kLitLenCountBits);
    out.Put(kDistanceCodes - kLeastDistanceCodes, kDistanceCountBits);
    out.Put(c.lengthCodesSent - kLeastLengthCodesSent, kLengthCountBits);
    out.Flush();
    for (std::size_t k = 0; k < c.lengthCodesSent; ++k) {
        out.Put(c.runLengths[kLengthCodeOrder[k]], kLengthCodeLengthBits);
        out.Flush();
    }
    for (const LengthSymbol& run : c.runs) {
        out.Put(c.runCodes[run.symbol], c.runLengths[run.symbol]);
        out.Put(run.extra, kExtraBits[run.symbol]);
        out.Flush();
    }
    // Three codes of at most 15 bits and 7 bits left over fit the 64.
    const std::uint8_t* p = data.data();
    const std::uint8_t* const end = p + data.size();
    for (; end - p >= 3; p += 3) {
        PutEntry(out, c.entries[p[0]]);
        PutEntry(out, c.entries[p[1]]);
        PutEntry(out, c.entries[p[2]]);
        out.Flush();
    }
    for (; p < end; ++p) {
        PutEntry(out, c.entries[*p]);
        out.Flush();
    }
    PutEntry(out, c.entries[kEndOfBlock]);
    out.Flush();
}

// At least one block, so that an empty final block can close a stream.
void PutStored(BitWriter& out, std::span<const std::uint8_t> data, bool final) {
    std::size_t at = 0;
    do {
        const std::size_t length = std::min(data.size() - at, kStoredMost);
        const bool lastPiece = at + length == data.size();
        out.Put(final && lastPiece ? 1 : 0, kFinalBits);
        out.Put(kStored, kTypeBits);
        out.Align();
        out.Put(length, kStoredLengthBits);
        out.Put(~length & kStoredMost, kStoredLengthBits);
        out.Flush();
        out.PutBytes(data.subspan(at, length));
        at += length;
    } while (at < data.size());
}

std::uint64_t StoredBits(std::size_t bytes) {
    const std::size_t pieces = std::max<std::size_t>(1, (bytes + kStoredMost - 1) / kStoredMost);
    return pieces * kStoredHeadBits + 8 * std::uint64_t{bytes};
}

} // namespace

std::size_t DeflateLiteralsBound(std::size_t bytes) {
    const std::size_t blocks = bytes / kBlockBytes + 1;
    const std::size_t storedPieces = bytes / kStoredMost + blocks;
    // Each block is at most its stored size; then the closing empty block.
    return bytes + storedPieces * (kStoredHeadBits / 8 + 1) + (kStoredHeadBits / 8 + 1) +
           kFlushSlack;
}

void DeflateLiterals(std::span<const std::uint8_t> data, bool last,
                     std::vector<std::uint8_t>& out) {
    const std::size_t start = out.size();
    out.resize(start + DeflateLiteralsBound(data.size()));
    BitWriter bits(out.data() + start);
    for (std::size_t at = 0; at < data.size(); at += kBlockBytes) {
        const std::span<const std::uint8_t> block =
            data.subspan(at, std::min(kBlockBytes, data.size() - at));
        const bool final = last && at + block.size() == data.size();
        const DynamicCode code = CodeFor(Frequencies(block));
        if (code.bits < StoredBits(block.size())) {
            PutDynamic(bits, code, block, final);
        } else {
            PutStored(bits, block, final);
        }
    }
    if (!last || data.empty()) {
        PutStored(bits, {}, last);
    }
    bits.Align();
    out.resize(static_cast<std::size_t>(bits.End() - out.data()));
}
