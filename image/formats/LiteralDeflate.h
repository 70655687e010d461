// Deflate (RFC 1951) that codes every byte as a literal, with a Huffman code
// of its own for each block: no matches are looked for, which on the noisy
// low bits of a scan lose little and cost most of the time. Pieces made on
// their own join into one stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Appends `data` to `out` as Deflate blocks, ending on a byte boundary:
// when `last`, the final block closes the stream; otherwise an empty stored
// block, not final, follows, and the next piece may start at the next byte.
// A block whose Huffman code would not save space is stored.
void DeflateLiterals(std::span<const std::uint8_t> data, bool last, std::vector<std::uint8_t>& out);

// The most bytes DeflateLiterals appends for `bytes` of data.
std::size_t DeflateLiteralsBound(std::size_t bytes);
