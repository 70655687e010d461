// Where the last block of a raw Deflate stream (RFC 1951) begins and where
// the stream ends, in bits from its first byte (bits counted from each
// byte's least significant end, as Deflate packs them), found by reading
// every block's header and walking its codes without producing any output.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

struct DeflateEnd {
    std::uint64_t lastBlockBit = 0; // the final block's BFINAL bit
    std::uint64_t endBit = 0;       // just past its end-of-block code
};

// Nullopt for a stream that breaks off or holds a code Deflate does not
// allow, or whose final block is not followed by the end of the bytes
// (bar the padding of the last byte).
std::optional<DeflateEnd> FindDeflateEnd(std::span<const std::uint8_t> stream);
