// Small files whose headers claim far more than their data can hold: TIFFs
// written through libtiff (planar PackBits, tiled LZW), a TIFF whose tiles
// all point at the same bytes, and a PNG with a few bytes of image data.
#pragma once

#include "tests/io/ScratchDir.h"

#include <tiffio.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace claimfiles {

inline std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
    const std::string bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

// A TIFF written through libtiff with `fill` writing its raw chunks.
template <typename Fill>
inline std::vector<std::uint8_t> LibTiffFile(const ScratchDir& dir, Fill fill) {
    const std::filesystem::path path = dir / "made.tif";
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    fill(tif);
    TIFFClose(tif);
    return FileBytes(path);
}

inline void SetShape(TIFF* tif, std::uint32_t w, std::uint32_t h, std::uint16_t samples,
                     std::uint16_t compression) {
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, std::uint16_t(8));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, samples == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
}

// PackBits: -127 then a byte is 128 copies of it.
constexpr std::uint8_t kPackBitsRun[] = {0x81, 0x00};
// LZW: a clear code, then the data ends without the end code.
constexpr std::uint8_t kLzwCut[] = {0x80, 0x00};

// 30000 x 30000 RGB in three planes, 2 bytes per plane.
inline std::vector<std::uint8_t> PlanarPackBits(const ScratchDir& dir) {
    return LibTiffFile(dir, [](TIFF* tif) {
        SetShape(tif, 30000, 30000, 3, COMPRESSION_PACKBITS);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_SEPARATE);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 30000u);
        for (std::uint32_t s = 0; s < TIFFNumberOfStrips(tif); ++s) {
            TIFFWriteRawStrip(tif, s, const_cast<std::uint8_t*>(kPackBitsRun), 2);
        }
    });
}

// 128 x 50 grey in one PackBits strip of `bytes` bytes of runs of 128
// zeros, one run a row (PackBits packs each row apart): 6400 bytes need 100
// of them, PackBits' bound being 64 to 1.
inline std::vector<std::uint8_t> PackBitsStrip(const ScratchDir& dir, std::size_t bytes) {
    return LibTiffFile(dir, [&](TIFF* tif) {
        SetShape(tif, 128, 50, 1, COMPRESSION_PACKBITS);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 50u);
        std::vector<std::uint8_t> runs;
        while (runs.size() < bytes) {
            runs.push_back(kPackBitsRun[runs.size() % 2]);
        }
        TIFFWriteRawStrip(tif, 0, runs.data(), tmsize_t(runs.size()));
    });
}

// 65000 x 65000 RGB in 4096-pixel tiles of 2 bytes each.
inline std::vector<std::uint8_t> TiledLzw(const ScratchDir& dir, std::uint32_t side,
                                          std::uint32_t tileSide) {
    return LibTiffFile(dir, [&](TIFF* tif) {
        SetShape(tif, side, side, 3, COMPRESSION_LZW);
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, tileSide);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, tileSide);
        for (std::uint32_t t = 0; t < TIFFNumberOfTiles(tif); ++t) {
            TIFFWriteRawTile(tif, t, const_cast<std::uint8_t*>(kLzwCut), 2);
        }
    });
}

// A grey 8-bit tiled TIFF, little-endian, built by hand so that every tile
// may point at the same `data`.
inline std::vector<std::uint8_t> SharedTiles(std::uint32_t side, std::uint32_t tileSide,
                                             std::uint16_t compression,
                                             const std::vector<std::uint8_t>& data) {
    const std::uint32_t across = (side + tileSide - 1) / tileSide;
    const std::uint32_t tiles = across * across;
    std::vector<std::uint8_t> f = {'I', 'I', 42, 0, 8, 0, 0, 0};
    auto put = [&](std::uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            f.push_back(std::uint8_t(v >> (8 * i)));
        }
    };
    const std::uint16_t entries = 9;
    const std::uint32_t arrays = 8 + 2 + entries * 12 + 4;
    const std::uint32_t dataAt = arrays + 8 * tiles;
    put(entries, 2);
    auto entry = [&](std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                     std::uint32_t value) {
        put(tag, 2);
        put(type, 2);
        put(count, 4);
        put(value, 4);
    };
    constexpr std::uint16_t kShort = 3, kLong = 4;
    entry(TIFFTAG_IMAGEWIDTH, kLong, 1, side);
    entry(TIFFTAG_IMAGELENGTH, kLong, 1, side);
    entry(TIFFTAG_BITSPERSAMPLE, kShort, 1, 8);
    entry(TIFFTAG_COMPRESSION, kShort, 1, compression);
    entry(TIFFTAG_PHOTOMETRIC, kShort, 1, PHOTOMETRIC_MINISBLACK);
    entry(TIFFTAG_TILEWIDTH, kLong, 1, tileSide);
    entry(TIFFTAG_TILELENGTH, kLong, 1, tileSide);
    entry(TIFFTAG_TILEOFFSETS, kLong, tiles, tiles == 1 ? dataAt : arrays);
    entry(TIFFTAG_TILEBYTECOUNTS, kLong, tiles,
          tiles == 1 ? std::uint32_t(data.size()) : arrays + 4 * tiles);
    put(0, 4);
    for (std::uint32_t t = 0; t < tiles; ++t) {
        put(dataAt, 4);
    }
    for (std::uint32_t t = 0; t < tiles; ++t) {
        put(data.size(), 4);
    }
    f.insert(f.end(), data.begin(), data.end());
    return f;
}

// CRC-32 of PNG chunks (ISO 3309, reflected, polynomial 0xEDB88320).
inline std::uint32_t Crc32(const std::uint8_t* p, std::size_t n) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) {
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        }
    }
    return ~c;
}

// A PNG of `side` x `side` RGB 8-bit whose one IDAT holds `idat`.
inline std::vector<std::uint8_t> PngClaim(std::uint32_t side,
                                          const std::vector<std::uint8_t>& idat) {
    std::vector<std::uint8_t> f = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};
    auto be = [&](std::uint32_t v) {
        for (int i = 3; i >= 0; --i) {
            f.push_back(std::uint8_t(v >> (8 * i)));
        }
    };
    auto chunk = [&](const char* type, const std::vector<std::uint8_t>& data) {
        be(std::uint32_t(data.size()));
        const std::size_t start = f.size();
        f.insert(f.end(), type, type + 4);
        f.insert(f.end(), data.begin(), data.end());
        be(Crc32(f.data() + start, f.size() - start));
    };
    std::vector<std::uint8_t> ihdr;
    for (int i = 0; i < 2; ++i) {
        for (int b = 3; b >= 0; --b) {
            ihdr.push_back(std::uint8_t(side >> (8 * b)));
        }
    }
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, no filter, no interlace
    chunk("IHDR", ihdr);
    chunk("IDAT", idat);
    chunk("IEND", {});
    return f;
}

} // namespace claimfiles
