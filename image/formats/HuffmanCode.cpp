// The lengths come from a Huffman tree built on the sorted frequencies with
// two queues (leaves in order, internal nodes in the order made, which is
// also by weight). Lengths over the limit are cut to it, which leaves the
// code over-full; it is then made complete again by moving one code at a
// time from the limit to just below a shorter code, which it splits in two:
// each move takes 2^-maxBits off the Kraft sum. Last, the lengths so counted
// are dealt out again, the longest to the rarest symbols.
#include "image/formats/HuffmanCode.h"

#include <algorithm>
#include <cassert>
#include <vector>

namespace {

// Tree depth of each of the sorted leaves, the rarest first.
std::vector<int> LeafDepths(std::span<const std::uint32_t> frequencies,
                            std::span<const std::uint16_t> sorted) {
    const std::size_t leaves = sorted.size();
    std::vector<std::uint64_t> weight(2 * leaves - 1);
    std::vector<std::size_t> parent(2 * leaves - 1);
    for (std::size_t i = 0; i < leaves; ++i) {
        weight[i] = frequencies[sorted[i]];
    }
    std::size_t nextLeaf = 0;
    std::size_t nextNode = leaves; // oldest internal node not yet joined
    const auto takeLightest = [&](std::size_t made) {
        const bool leaf =
            nextLeaf < leaves && (nextNode == made || weight[nextLeaf] <= weight[nextNode]);
        return leaf ? nextLeaf++ : nextNode++;
    };
    for (std::size_t made = leaves; made < 2 * leaves - 1; ++made) {
        const std::size_t a = takeLightest(made);
        const std::size_t b = takeLightest(made);
        weight[made] = weight[a] + weight[b];
        parent[a] = made;
        parent[b] = made;
    }
    // A parent is always made after its children, so the root is last and
    // each depth is known before its children's.
    std::vector<int> depth(2 * leaves - 1, 0);
    for (std::size_t n = 2 * leaves - 1; n-- > 1;) {
        depth[n - 1] = depth[parent[n - 1]] + 1;
    }
    depth.resize(leaves);
    return depth;
}

} // namespace

namespace {

// The symbols that occur, rarest first (equal ones in symbol order), with
// unused ones in front to make up two.
std::vector<std::uint16_t> ByFrequency(std::span<const std::uint32_t> frequencies) {
    std::vector<std::uint16_t> sorted;
    for (std::size_t s = 0; s < frequencies.size(); ++s) {
        if (frequencies[s] > 0) {
            sorted.push_back(static_cast<std::uint16_t>(s));
        }
    }
    for (std::uint16_t s = 0; sorted.size() < 2; ++s) {
        if (frequencies[s] == 0) {
            sorted.insert(sorted.begin(), s); // unused, so the rarest
        }
    }
    std::stable_sort(sorted.begin(), sorted.end(), [&](std::uint16_t a, std::uint16_t b) {
        return frequencies[a] < frequencies[b];
    });
    return sorted;
}

// How many codes of each length, the depths cut to maxBits and the code
// made complete again.
std::vector<int> LimitedCounts(const std::vector<int>& depths, int maxBits) {
    const auto max = std::size_t(maxBits);
    std::vector<int> count(max + 1, 0);
    for (const int depth : depths) {
        ++count[std::size_t(std::min(depth, maxBits))];
    }
    std::uint64_t kraft = 0; // in units of 2^-maxBits
    for (std::size_t bits = 1; bits <= max; ++bits) {
        kraft += std::uint64_t(count[bits]) << (max - bits);
    }
    for (; kraft > (std::uint64_t{1} << max); --kraft) {
        --count[max];
        for (std::size_t bits = max - 1; bits > 0; --bits) {
            if (count[bits] > 0) {
                --count[bits];
                count[bits + 1] += 2;
                break;
            }
        }
    }
    return count;
}

} // namespace

void LimitedCodeLengths(std::span<const std::uint32_t> frequencies, int maxBits,
                        std::span<std::uint8_t> lengths) {
    assert(lengths.size() == frequencies.size() && frequencies.size() >= 2);
    assert(frequencies.size() <= (std::size_t{1} << maxBits));
    const std::vector<std::uint16_t> sorted = ByFrequency(frequencies);
    const std::vector<int> count = LimitedCounts(LeafDepths(frequencies, sorted), maxBits);
    std::fill(lengths.begin(), lengths.end(), 0);
    std::size_t next = 0;
    for (std::size_t bits = std::size_t(maxBits); bits > 0; --bits) {
        for (int k = 0; k < count[bits]; ++k) {
            lengths[sorted[next++]] = static_cast<std::uint8_t>(bits);
        }
    }
}

void ReversedCanonicalCodes(std::span<const std::uint8_t> lengths, std::span<std::uint16_t> codes) {
    constexpr std::size_t kMaxBits = 15;
    std::uint16_t count[kMaxBits + 1] = {};
    for (const std::uint8_t length : lengths) {
        ++count[length];
    }
    count[0] = 0;
    // The first code of each length follows the codes one bit shorter.
    std::uint16_t next[kMaxBits + 1] = {};
    std::uint32_t code = 0;
    for (std::size_t bits = 1; bits <= kMaxBits; ++bits) {
        code = (code + count[bits - 1]) << 1;
        next[bits] = static_cast<std::uint16_t>(code);
    }
    for (std::size_t s = 0; s < lengths.size(); ++s) {
        const int length = lengths[s];
        std::uint32_t forward = length > 0 ? next[length]++ : 0;
        std::uint32_t reversed = 0;
        for (int b = 0; b < length; ++b, forward >>= 1) {
            reversed = (reversed << 1) | (forward & 1U);
        }
        codes[s] = static_cast<std::uint16_t>(reversed);
    }
}
