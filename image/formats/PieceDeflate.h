// One piece of a Deflate stream (RFC 1951) coded with matches, on its own,
// so that pieces made on every core join into one stream; and the cheap
// measure that says whether matches pay on a piece at all. Matches pay on
// clean pages (paper, text, flat colour); on a scan's grain they find
// nothing, and the piece is better coded as literals only (LiteralDeflate).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// True when a sample of `data` (two slices of 8 KiB) coded by ISA-L's
// level 1 comes under three quarters of its cost as literals only, counted at its byte entropy and
// at least one bit a byte (a Huffman code's least).
bool MatchesPay(std::span<const std::uint8_t> data);

struct libdeflate_compressor;

// This thread's libdeflate compressor at the level that codes clean pages
// (null when it cannot be had).
libdeflate_compressor* MatchCompressor();

// Appends `data` to `out` as Deflate blocks made by libdeflate: when
// `last`, its final block closes the stream; otherwise that block is made
// not final and an empty stored block, not final, follows, so that the
// next piece may start at the next byte. False (and `out` as it was) when
// libdeflate fails.
bool DeflateMatches(std::span<const std::uint8_t> data, bool last, std::vector<std::uint8_t>& out);
