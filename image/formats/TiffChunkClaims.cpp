// Codec bounds, in decoded bytes per stored byte:
//   none       1
//   PackBits   64    a run is 2 bytes: a count of -127 and the byte, 128 copies
//   Deflate    1032  a 258-byte match costs at least 2 bits (length and distance codes)
//   LZW        4551  every code takes at least 9 bits and stands for one table
//                    entry's string, never longer than libtiff's 5120 entries
//                    (5120 * 8 / 9, rounded up)
#include "image/formats/TiffChunkClaims.h"

#include <algorithm>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::int64_t kNoneBound = 1;
constexpr std::int64_t kPackBitsBound = 64;
constexpr std::int64_t kDeflateBound = 1032;
constexpr std::int64_t kLzwBound = 4551;
constexpr std::int64_t kMaxClaim = std::numeric_limits<std::int64_t>::max() / 2;

// The bytes of [offset, offset + count) that lie inside the file.
std::int64_t BytesInFile(std::uint64_t offset, std::uint64_t count, std::int64_t fileLength) {
    const auto length = static_cast<std::uint64_t>(std::max<std::int64_t>(fileLength, 0));
    if (offset >= length) {
        return 0;
    }
    return static_cast<std::int64_t>(std::min(count, length - offset));
}

// Decoded bytes of chunk `index` within its plane: a whole tile (edge tiles
// are stored full size), or the rows of its strip (the last one may be short).
std::int64_t DecodedBytes(TIFF* tif, std::uint32_t indexInPlane) {
    if (TIFFIsTiled(tif)) {
        return static_cast<std::int64_t>(TIFFTileSize64(tif));
    }
    std::uint32_t height = 0;
    std::uint32_t rowsPerStrip = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    const std::uint64_t per = std::clamp<std::uint64_t>(rowsPerStrip, 1, std::max(height, 1u));
    const std::uint64_t first = std::uint64_t{indexInPlane} * per;
    const std::uint64_t rows = first >= height ? 0 : std::min<std::uint64_t>(per, height - first);
    const auto scanline = static_cast<std::uint64_t>(TIFFScanlineSize64(tif));
    if (scanline != 0 &&
        rows > std::uint64_t(std::numeric_limits<std::int64_t>::max()) / scanline) {
        return std::numeric_limits<std::int64_t>::max();
    }
    return static_cast<std::int64_t>(rows * scanline);
}

// The fewest stored bytes that can decode to `decoded` (divided, since a
// stored length times the bound may pass 2^63).
std::int64_t StoredBytesNeeded(std::int64_t decoded, std::int64_t bound) {
    return decoded / bound + (decoded % bound != 0 ? 1 : 0);
}

using ByteRange = std::pair<std::int64_t, std::int64_t>; // [first, end) in the file

// The bytes covered by at least one of `ranges`: chunks that share bytes
// count them once.
std::int64_t CoveredBytes(std::vector<ByteRange>& ranges) {
    std::sort(ranges.begin(), ranges.end());
    std::int64_t covered = 0;
    std::int64_t reached = 0;
    for (const auto& [first, end] : ranges) {
        const std::int64_t from = std::max(first, reached);
        if (end > from) {
            covered += end - from;
            reached = end;
        }
    }
    return covered;
}

// The chunks checked (those of the planes read), per plane, and the codec's bound.
struct Chunks {
    std::uint32_t checked = 0;
    std::uint32_t perPlane = 0;
    std::int64_t bound = 1;
};

Reason ShortChunk(TIFF* tif, std::uint32_t index, std::int64_t held, std::int64_t decoded,
                  bool pastEnd) {
    if (pastEnd) {
        return Reason(ReasonCode::Truncated);
    }
    const char* kind = TIFFIsTiled(tif) ? "tile " : "strip ";
    return {ReasonCode::DamagedData, decoded,
            kind + std::to_string(index) + ": " + std::to_string(held) +
                " bytes cannot decode to the " + std::to_string(decoded) + " claimed"};
}

// Every chunk on its own, then all of them together: chunks that point at
// the same bytes would each pass alone, but the image as a whole must come
// from bytes the file holds once.
Reason CheckChunks(TIFF* tif, const Chunks& chunks, std::int64_t fileLength) {
    std::vector<ByteRange> ranges;
    std::int64_t claimed = 0;
    for (std::uint32_t i = 0; i < chunks.checked; ++i) {
        const std::uint64_t offset = TIFFGetStrileOffset(tif, i);
        const std::uint64_t count = TIFFGetStrileByteCount(tif, i);
        const std::int64_t held = BytesInFile(offset, count, fileLength);
        const std::int64_t decoded =
            DecodedBytes(tif, chunks.perPlane == 0 ? i : i % chunks.perPlane);
        if (held < StoredBytesNeeded(decoded, chunks.bound)) {
            const bool pastEnd =
                offset + count > static_cast<std::uint64_t>(fileLength) || offset + count < offset;
            return ShortChunk(tif, i, held, decoded, pastEnd);
        }
        ranges.emplace_back(static_cast<std::int64_t>(offset),
                            static_cast<std::int64_t>(offset) + held);
        claimed = decoded > kMaxClaim - claimed ? kMaxClaim : claimed + decoded;
    }
    const std::int64_t covered = CoveredBytes(ranges);
    if (covered < StoredBytesNeeded(claimed, chunks.bound)) {
        return {ReasonCode::DamagedData, claimed,
                std::to_string(chunks.checked) + " chunks in " + std::to_string(covered) +
                    " bytes cannot decode to the " + std::to_string(claimed) + " claimed"};
    }
    return {};
}

} // namespace

std::int64_t MostBytesPerStoredByte(std::uint16_t compression) {
    switch (compression) {
    case COMPRESSION_NONE:
        return kNoneBound;
    case COMPRESSION_PACKBITS:
        return kPackBitsBound;
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
        return kDeflateBound;
    case COMPRESSION_LZW:
        return kLzwBound;
    default:
        return 0;
    }
}

Reason CheckChunkClaims(TIFF* tif, std::int32_t planes, std::int64_t fileLength) {
    if (fileLength < 0) {
        return {}; // a source of unknown length cannot be held to it
    }
    std::uint16_t compression = COMPRESSION_NONE;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    std::uint16_t samples = 1;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    const std::int64_t bound = MostBytesPerStoredByte(compression);
    if (bound == 0) {
        return {}; // refused by its kind already
    }
    const std::uint32_t chunks =
        TIFFIsTiled(tif) ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
    const bool separate = planar == PLANARCONFIG_SEPARATE && samples > 0;
    const std::uint32_t perPlane = separate ? chunks / samples : chunks;
    const std::uint32_t checked =
        separate
            ? perPlane * static_cast<std::uint32_t>(std::clamp<std::int32_t>(planes, 0, samples))
            : chunks;
    return CheckChunks(tif, {checked, perPlane, bound}, fileLength);
}
