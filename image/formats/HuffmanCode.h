// Huffman codes as Deflate describes them: code lengths limited to a
// maximum, and the canonical codes those lengths define.
#pragma once

#include <cstdint>
#include <span>

// Lengths (0 for an unused symbol) of a prefix code for symbols with the
// given frequencies, none longer than `maxBits`, the shortest on the most
// frequent. The code is complete (the sum of 2^-length is 1): when fewer
// than two symbols occur, unused ones get length 1 to make up two, as
// decoders refuse an incomplete code. `lengths` has one entry per frequency,
// and 2^maxBits must reach the number of symbols.
void LimitedCodeLengths(std::span<const std::uint32_t> frequencies, int maxBits,
                        std::span<std::uint8_t> lengths);

// The canonical code of each symbol for these lengths (shorter codes first,
// equal lengths in symbol order), its bits reversed: Deflate packs bits from
// the least significant end but sends a code from its most significant bit.
void ReversedCanonicalCodes(std::span<const std::uint8_t> lengths, std::span<std::uint16_t> codes);
