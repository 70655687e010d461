// A block starts with BFINAL (1 bit) and BTYPE (2 bits). A stored block
// (0) pads to the byte, then LEN and its complement NLEN (16 bits each) and
// LEN bytes. A fixed block (1) uses the code lengths RFC 1951 gives; a
// dynamic one (2) sends HLIT - 257 (5 bits), HDIST - 1 (5), HCLEN - 4 (4),
// 3 bits for each code-length code length in their fixed order, then the
// literal/length and distance code lengths run-length coded. Symbols
// 0..255 are literals, 256 ends the block, 257..285 are lengths followed
// by extra bits, a distance code and its extra bits. Codes are canonical:
// shorter codes first, equal lengths in symbol order, sent from their most
// significant bit.
#include "image/formats/DeflateWalk.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace {

constexpr int kMaxCodeBits = 15;
constexpr int kFastBits = 10; // codes this short are found by one lookup
constexpr std::size_t kFastEntries = std::size_t{1} << kFastBits;
constexpr unsigned kSymbolBits = 9; // a fast entry: length << 9 | symbol
constexpr std::uint16_t kSymbolMask = (1U << kSymbolBits) - 1;
constexpr std::size_t kLitLenSymbols = 288;
constexpr std::size_t kUsedLitLen = 286;
constexpr std::size_t kDistanceSymbols = 30;
constexpr std::size_t kLengthSymbols = 19;
constexpr int kEndOfBlock = 256;
constexpr int kFirstLength = 257;
constexpr std::uint8_t kLengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                         2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint8_t kDistanceExtra[] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                           6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::uint8_t kLengthOrder[kLengthSymbols] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                       11, 4,  12, 3, 13, 2, 14, 1, 15};
// Code-length symbols 16..18: repeat the previous length 3..6 times, zeros
// 3..10 times, zeros 11..138 times.
constexpr int kRepeatPrevious = 16;
constexpr int kRepeatZeros = 17;
constexpr unsigned kStoredLengthBits = 16;
constexpr std::uint32_t kStoredLengthMask = 0xFFFF;
constexpr unsigned kWalkByteBits = 8;

class BitStream {
public:
    explicit BitStream(std::span<const std::uint8_t> bytes)
        : bytes_(bytes), size_(std::uint64_t{bytes.size()} * kWalkByteBits) {}

    // The next `count` bits (at most 25), zeros past the end.
    std::uint32_t Peek(unsigned count) const {
        const std::size_t byte = at_ / kWalkByteBits;
        std::uint8_t window[sizeof(std::uint32_t)] = {};
        if (byte + sizeof window <= bytes_.size()) {
            std::uint32_t word = 0;
            std::memcpy(&word, bytes_.data() + byte, sizeof word);
            if constexpr (std::endian::native == std::endian::big) {
                word = __builtin_bswap32(word);
            }
            return (word >> (at_ % kWalkByteBits)) & ((1U << count) - 1);
        }
        if (byte < bytes_.size()) {
            std::memcpy(window, bytes_.data() + byte,
                        std::min(sizeof window, bytes_.size() - byte));
        }
        std::uint32_t word = 0;
        for (std::size_t i = sizeof window; i-- > 0;) {
            word = word << kWalkByteBits | window[i];
        }
        return (word >> (at_ % kWalkByteBits)) & ((1U << count) - 1);
    }
    void Skip(std::uint64_t count) { at_ += count; }
    std::uint32_t Take(unsigned count) {
        const std::uint32_t value = Peek(count);
        at_ += count;
        return value;
    }
    void Align() { at_ = (at_ + kWalkByteBits - 1) / kWalkByteBits * kWalkByteBits; }
    std::uint64_t At() const { return at_; }
    bool Past() const { return at_ > size_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::uint64_t size_;
    std::uint64_t at_ = 0;
};

// A canonical code: one lookup for codes of up to kFastBits, bit by bit
// for longer ones.
class Code {
public:
    // False for lengths that over-fill the code.
    bool Build(std::span<const std::uint8_t> lengths) {
        count_.fill(0);
        for (const std::uint8_t length : lengths) {
            ++count_[length];
        }
        count_[0] = 0;
        int left = 1;
        for (int bits = 1; bits <= kMaxCodeBits; ++bits) {
            left = 2 * left - count_[std::size_t(bits)];
            if (left < 0) {
                return false;
            }
        }
        std::array<std::uint16_t, kMaxCodeBits + 1> offset{};
        for (std::size_t bits = 1; bits < kMaxCodeBits; ++bits) {
            offset[bits + 1] = static_cast<std::uint16_t>(offset[bits] + count_[bits]);
        }
        for (std::size_t s = 0; s < lengths.size(); ++s) {
            if (lengths[s] != 0) {
                sorted_[offset[lengths[s]]++] = static_cast<std::uint16_t>(s);
            }
        }
        FillFast(lengths);
        return true;
    }

    // The next symbol, or -1 for a code the lengths leave unused.
    int Decode(BitStream& bits) const {
        const std::uint16_t entry = fast_[bits.Peek(kFastBits)];
        if (entry != 0) {
            bits.Skip(entry >> kSymbolBits);
            return entry & kSymbolMask;
        }
        const std::uint32_t ahead = bits.Peek(kMaxCodeBits);
        int code = 0;
        int first = 0;
        int index = 0;
        for (int length = 1; length <= kMaxCodeBits; ++length) {
            code |= static_cast<int>(ahead >> (length - 1) & 1U);
            const int count = count_[std::size_t(length)];
            if (code - first < count) {
                bits.Skip(unsigned(length));
                return sorted_[std::size_t(index + code - first)];
            }
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        return -1;
    }

private:
    // Each short code's entry, at every index whose low bits are the code
    // reversed (Deflate sends a code's most significant bit first).
    void FillFast(std::span<const std::uint8_t> lengths) {
        fast_.fill(0);
        std::array<std::uint32_t, kMaxCodeBits + 1> next{};
        std::uint32_t code = 0;
        for (std::size_t bits = 1; bits <= kMaxCodeBits; ++bits) {
            code = (code + count_[bits - 1]) << 1;
            next[bits] = code;
        }
        for (std::size_t s = 0; s < lengths.size(); ++s) {
            const unsigned length = lengths[s];
            if (length == 0 || length > kFastBits) {
                next[length] += length == 0 ? 0 : 1;
                continue;
            }
            std::uint32_t forward = next[length]++;
            std::uint32_t reversed = 0;
            for (unsigned b = 0; b < length; ++b, forward >>= 1) {
                reversed = reversed << 1 | (forward & 1U);
            }
            for (std::size_t at = reversed; at < kFastEntries; at += std::size_t{1} << length) {
                fast_[at] = static_cast<std::uint16_t>(length << kSymbolBits | s);
            }
        }
    }

    std::array<std::uint16_t, kMaxCodeBits + 1> count_{};
    std::array<std::uint16_t, kLitLenSymbols> sorted_{};
    std::array<std::uint16_t, kFastEntries> fast_{};
};

struct Codes {
    Code litLen;
    Code distance;
};

const Codes& FixedCodes() {
    // Literals 0..143 take 8 bits, 144..255 9, symbols 256..279 7 and
    // 280..287 8; every distance 5.
    static const Codes fixed = [] {
        constexpr std::size_t kFirstNine = 144, kFirstSeven = 256, kFirstLastEight = 280;
        constexpr std::uint8_t kSeven = 7, kEight = 8, kNine = 9, kDistanceLength = 5;
        std::array<std::uint8_t, kLitLenSymbols> litLen{};
        for (std::size_t s = 0; s < kLitLenSymbols; ++s) {
            litLen[s] = s < kFirstNine        ? kEight
                        : s < kFirstSeven     ? kNine
                        : s < kFirstLastEight ? kSeven
                                              : kEight;
        }
        std::array<std::uint8_t, kDistanceSymbols> distance{};
        distance.fill(kDistanceLength);
        Codes codes;
        codes.litLen.Build(litLen);
        codes.distance.Build(distance);
        return codes;
    }();
    return fixed;
}

// The code lengths of a dynamic block, run-length coded.
bool ReadLengths(BitStream& bits, const Code& lengthCode, std::span<std::uint8_t> lengths) {
    constexpr unsigned kPreviousExtra = 2, kZerosExtra = 3, kManyZerosExtra = 7;
    constexpr std::size_t kLeastRepeat = 3, kLeastManyZeros = 11;
    for (std::size_t i = 0; i < lengths.size();) {
        const int symbol = lengthCode.Decode(bits);
        if (symbol < 0 || bits.Past()) {
            return false;
        }
        if (symbol < kRepeatPrevious) {
            lengths[i++] = static_cast<std::uint8_t>(symbol);
            continue;
        }
        if (symbol == kRepeatPrevious && i == 0) {
            return false;
        }
        const std::uint8_t value = symbol == kRepeatPrevious ? lengths[i - 1] : 0;
        const std::size_t repeat =
            symbol == kRepeatPrevious ? kLeastRepeat + bits.Take(kPreviousExtra)
            : symbol == kRepeatZeros  ? kLeastRepeat + bits.Take(kZerosExtra)
                                      : kLeastManyZeros + bits.Take(kManyZerosExtra);
        if (i + repeat > lengths.size()) {
            return false;
        }
        std::fill_n(lengths.begin() + std::ptrdiff_t(i), repeat, value);
        i += repeat;
    }
    return true;
}

bool ReadDynamic(BitStream& bits, Codes& codes) {
    constexpr unsigned kCountBits = 5, kLengthCountBits = 4, kLengthBits = 3;
    constexpr std::size_t kLeastLitLen = 257, kLeastDistances = 1, kLeastLengthCodes = 4;
    const std::size_t litLens = kLeastLitLen + bits.Take(kCountBits);
    const std::size_t distances = kLeastDistances + bits.Take(kCountBits);
    const std::size_t lengthCodes = kLeastLengthCodes + bits.Take(kLengthCountBits);
    if (litLens > kUsedLitLen || distances > kDistanceSymbols) {
        return false;
    }
    std::array<std::uint8_t, kLengthSymbols> lengthLengths{};
    for (std::size_t i = 0; i < lengthCodes; ++i) {
        lengthLengths[kLengthOrder[i]] = static_cast<std::uint8_t>(bits.Take(kLengthBits));
    }
    Code lengthCode;
    std::array<std::uint8_t, kUsedLitLen + kDistanceSymbols> lengths{};
    const std::span<std::uint8_t> all(lengths.data(), litLens + distances);
    if (!lengthCode.Build(lengthLengths) || !ReadLengths(bits, lengthCode, all) ||
        lengths[kEndOfBlock] == 0) {
        return false;
    }
    return codes.litLen.Build(all.first(litLens)) && codes.distance.Build(all.subspan(litLens));
}

// Every code of a block up to its end-of-block.
bool WalkCodes(BitStream& bits, const Codes& codes) {
    while (!bits.Past()) {
        const int symbol = codes.litLen.Decode(bits);
        if (symbol == kEndOfBlock) {
            return true;
        }
        if (symbol < kEndOfBlock) {
            if (symbol < 0) {
                return false;
            }
            continue;
        }
        const auto length = static_cast<std::size_t>(symbol - kFirstLength);
        if (length >= std::size(kLengthExtra)) {
            return false;
        }
        bits.Skip(kLengthExtra[length]);
        const int distance = codes.distance.Decode(bits);
        if (distance < 0 || std::size_t(distance) >= kDistanceSymbols) {
            return false;
        }
        bits.Skip(kDistanceExtra[distance]);
    }
    return false;
}

bool WalkStored(BitStream& bits) {
    bits.Align();
    const std::uint32_t length = bits.Take(kStoredLengthBits);
    const std::uint32_t complement = bits.Take(kStoredLengthBits);
    if (length != (~complement & kStoredLengthMask)) {
        return false;
    }
    bits.Skip(std::uint64_t{length} * kWalkByteBits);
    return !bits.Past();
}

bool WalkBlock(BitStream& bits, unsigned type, Codes& dynamic) {
    constexpr unsigned kStored = 0, kFixed = 1, kDynamic = 2;
    switch (type) {
    case kStored:
        return WalkStored(bits);
    case kFixed:
        return WalkCodes(bits, FixedCodes());
    case kDynamic:
        return ReadDynamic(bits, dynamic) && WalkCodes(bits, dynamic);
    default:
        return false;
    }
}

} // namespace

std::optional<DeflateEnd> FindDeflateEnd(std::span<const std::uint8_t> stream) {
    constexpr unsigned kTypeBits = 2;
    BitStream bits(stream);
    Codes dynamic;
    while (!bits.Past()) {
        const std::uint64_t start = bits.At();
        const bool final = bits.Take(1) != 0;
        if (!WalkBlock(bits, bits.Take(kTypeBits), dynamic) || bits.Past()) {
            return std::nullopt;
        }
        if (final) {
            const std::uint64_t end = bits.At();
            if ((end + kWalkByteBits - 1) / kWalkByteBits != stream.size()) {
                return std::nullopt;
            }
            return DeflateEnd{start, end};
        }
    }
    return std::nullopt;
}
