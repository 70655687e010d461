// Files whose headers claim more than their data can hold are refused before
// anything is sized from the claim, by the window's open as by the readers,
// while the most compressible honest files of each codec still open.
#include "image/ImageFiles.h"
#include "image/LevelRows.h"
#include "image/Pipeline.h"
#include "image/ReadImage.h"
#include "tests/io/ScratchDir.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr long kMostPeakKib = 128 * 1024;
const fs::path kFinding =
    fs::path(TAMREL_SOURCE_DIR) / "../shared/findings/tiff-planar-strip-claim.tif";

std::vector<std::uint8_t> FileBytes(const fs::path& path) {
    const std::string bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

// A TIFF written through libtiff with `fill` writing its raw chunks.
template <typename Fill> std::vector<std::uint8_t> LibTiffFile(const ScratchDir& dir, Fill fill) {
    const fs::path path = dir / "made.tif";
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    fill(tif);
    TIFFClose(tif);
    return FileBytes(path);
}

void SetShape(TIFF* tif, std::uint32_t w, std::uint32_t h, std::uint16_t samples,
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
std::vector<std::uint8_t> PlanarPackBits(const ScratchDir& dir) {
    return LibTiffFile(dir, [](TIFF* tif) {
        SetShape(tif, 30000, 30000, 3, COMPRESSION_PACKBITS);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_SEPARATE);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 30000u);
        for (std::uint32_t s = 0; s < TIFFNumberOfStrips(tif); ++s) {
            TIFFWriteRawStrip(tif, s, const_cast<std::uint8_t*>(kPackBitsRun), 2);
        }
    });
}

// 65000 x 65000 RGB in 4096-pixel tiles of 2 bytes each.
std::vector<std::uint8_t> TiledLzw(const ScratchDir& dir, std::uint32_t side,
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
std::vector<std::uint8_t> SharedTiles(std::uint32_t side, std::uint32_t tileSide,
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
std::uint32_t Crc32(const std::uint8_t* p, std::size_t n) {
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
std::vector<std::uint8_t> PngClaim(std::uint32_t side, const std::vector<std::uint8_t>& idat) {
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

// Every row of the file through the window's levels, or why not.
Reason DecodeAll(const std::vector<std::uint8_t>& bytes, ImageKind kind = ImageKind::Tiff) {
    const MemorySource source(bytes);
    const Outcome<std::unique_ptr<RowSource>> rows = OpenRows(kind, source);
    if (!rows) {
        return rows.Why();
    }
    const LevelRows levels(**rows);
    const Outcome<RowRuns> runs = RowRuns::Plan(levels, 0, {});
    if (!runs) {
        return runs.Why();
    }
    return runs->Run(
        [](std::int32_t, std::int32_t, const std::uint8_t*, std::uint8_t*) { return true; });
}

// The window's open of `path` in a child: its peak resident size in KiB and
// whether it failed, as the child's exit status says (1 failed, 0 opened).
struct ChildOpen {
    long peakKib = -1;
    int status = -1;
};

ChildOpen OpenInChild(const fs::path& path) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(ReadImageFile(path) ? 0 : 1);
    }
    int status = 0;
    rusage usage{};
    ChildOpen result;
    if (child > 0 && ::wait4(child, &status, 0, &usage) == child && WIFEXITED(status)) {
        result.status = WEXITSTATUS(status);
        result.peakKib = usage.ru_maxrss;
    }
    return result;
}

TEST(BoundedReaders, ClaimsNoChunkCanHoldAreRefusedWithTheirReason) {
    const ScratchDir dir;
    const std::vector<std::uint8_t> sharedGarbage(4000, 0x55);
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        ReasonCode code;
        const char* says;
    };
    const Case cases[] = {
        {"planar PackBits 30000 x 30000", PlanarPackBits(dir), ReasonCode::DamagedData,
         "strip 0: 2 bytes cannot decode to the 900000000 claimed"},
        {"tiled LZW 65000 x 65000", TiledLzw(dir, 65000, 4096), ReasonCode::DamagedData,
         "tile 0: 2 bytes cannot decode to the 50331648 claimed"},
        {"tiles sharing their bytes", SharedTiles(65536, 4096, COMPRESSION_LZW, sharedGarbage),
         ReasonCode::DamagedData, "256 chunks in 4000 bytes"},
        {"tile past the end",
         [&] {
             auto f = SharedTiles(64, 64, COMPRESSION_NONE, std::vector<std::uint8_t>(4096, 9));
             f.resize(f.size() - 100);
             return f;
         }(),
         ReasonCode::Truncated, ""},
    };
    for (const Case& c : cases) {
        const Reason why = DecodeAll(c.bytes);
        EXPECT_EQ(why.Code, c.code) << c.what << ": " << why.Text;
        EXPECT_NE(why.Text.find(c.says), std::string::npos) << c.what << ": " << why.Text;
    }
}

// 8 bytes of zlib data cannot inflate to 30000 x 30000 x 3; 1 MB could make
// 10000 x 10000 x 3 (at 1032:1), so that claim reaches libpng, which finds
// the data damaged.
TEST(BoundedReaders, APngsImageDataMustBeAbleToHoldItsClaim) {
    const Reason small =
        DecodeAll(PngClaim(30000, std::vector<std::uint8_t>(8, 0)), ImageKind::Png);
    EXPECT_EQ(small.Code, ReasonCode::DamagedData);
    EXPECT_NE(small.Text.find("8 bytes of image data cannot hold"), std::string::npos)
        << small.Text;
    const Reason enough =
        DecodeAll(PngClaim(10000, std::vector<std::uint8_t>(1 << 20, 0)), ImageKind::Png);
    EXPECT_EQ(enough.Code, ReasonCode::DamagedData);
    EXPECT_EQ(enough.Text.find("cannot hold"), std::string::npos) << enough.Text;
}

TEST(BoundedReaders, LibtiffNamesTheTileItFailedOnNotStripMinusOne) {
    const ScratchDir dir;
    const Reason why = DecodeAll(TiledLzw(dir, 64, 16));
    ASSERT_EQ(why.Code, ReasonCode::DamagedData);
    EXPECT_EQ(why.Text.find("4294967295"), std::string::npos) << why.Text;
    EXPECT_NE(why.Text.find("Tile 0"), std::string::npos) << why.Text;
}

// Honest files at each codec's greatest expansion (one value throughout)
// stay within the bounds and decode.
TEST(BoundedReaders, TheMostCompressibleHonestFilesStillOpen) {
    const ScratchDir dir;
    for (const std::uint16_t compression :
         {COMPRESSION_NONE, COMPRESSION_PACKBITS, COMPRESSION_LZW, COMPRESSION_ADOBE_DEFLATE}) {
        for (const bool tiled : {false, true}) {
            const auto bytes = LibTiffFile(dir, [&](TIFF* tif) {
                SetShape(tif, 2048, 2048, 1, compression);
                if (tiled) {
                    TIFFSetField(tif, TIFFTAG_TILEWIDTH, 1024u);
                    TIFFSetField(tif, TIFFTAG_TILELENGTH, 1024u);
                } else {
                    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 2048u);
                }
                const std::size_t chunk =
                    std::size_t(tiled ? TIFFTileSize(tif) : TIFFStripSize(tif));
                const std::vector<std::uint8_t> zeros(chunk, 0);
                const std::uint32_t n = tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
                for (std::uint32_t i = 0; i < n; ++i) {
                    if (tiled) {
                        TIFFWriteEncodedTile(tif, i, const_cast<std::uint8_t*>(zeros.data()),
                                             tmsize_t(chunk));
                    } else {
                        TIFFWriteEncodedStrip(tif, i, const_cast<std::uint8_t*>(zeros.data()),
                                              tmsize_t(chunk));
                    }
                }
            });
            const Reason why = DecodeAll(bytes);
            EXPECT_FALSE(why) << compression << " tiled " << tiled << ": " << why.Text << " ("
                              << bytes.size() << " bytes)";
        }
    }
}

// The fuzzer's 4 KB finding claims 32832 x 16384 grey with alpha in PackBits
// planes; read in place, and opened as the window opens it.
TEST(BoundedReaders, TheTiffFindingIsRefusedHoldingLittleMemory) {
    if (!fs::exists(kFinding)) {
        GTEST_SKIP() << kFinding << " is absent";
    }
    const Reason why = DecodeAll(FileBytes(kFinding));
    EXPECT_EQ(why.Code, ReasonCode::DamagedData);
    EXPECT_NE(why.Text.find("strip 0"), std::string::npos) << why.Text;
    const ChildOpen opened = OpenInChild(kFinding);
    EXPECT_EQ(opened.status, 1);
    EXPECT_LT(opened.peakKib, kMostPeakKib);
}

TEST(BoundedReaders, TheWindowsOpenOfSmallFilesClaimingGigabytesHoldsLittleMemory) {
    const ScratchDir dir;
    const std::vector<std::uint8_t> sharedGarbage(4000, 0x55);
    const std::pair<const char*, std::vector<std::uint8_t>> files[] = {
        {"planar.tif", PlanarPackBits(dir)},
        {"tiled.tif", TiledLzw(dir, 65000, 4096)},
        {"shared.tif", SharedTiles(65536, 4096, COMPRESSION_LZW, sharedGarbage)},
        {"claim.png", PngClaim(30000, std::vector<std::uint8_t>(8, 0))},
    };
    for (const auto& [name, bytes] : files) {
        WriteBytes(dir / name, std::string(bytes.begin(), bytes.end()));
        const ChildOpen opened = OpenInChild(dir / name);
        EXPECT_EQ(opened.status, 1) << name;
        EXPECT_LT(opened.peakKib, kMostPeakKib) << name;
    }
}

} // namespace
