// Files whose headers claim more than their data can hold are refused before
// anything is sized from the claim, by the window's open as by the readers,
// while the most compressible honest files of each codec still open.
#include "image/ReadImage.h"
#include "image/formats/FormatTable.h"
#include "image/rows/LevelRows.h"
#include "image/rows/Pipeline.h"
#include "tests/image/ClaimFiles.h"
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

namespace bounded_readers_test {

namespace {

namespace fs = std::filesystem;
using namespace claimfiles;

constexpr long kMostPeakKib = 128 * 1024;
const fs::path kFinding =
    fs::path(TAMREL_SOURCE_DIR) / "../shared/findings/tiff-planar-strip-claim.tif";

// Every row of the file through the window's levels, or why not.
Reason DecodeAll(const std::vector<std::uint8_t>& bytes, ImageFormat kind = ImageFormat::Tiff) {
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
        // PackBits' bound of 64 to 1 on both sides: one byte less is refused by
        // its claim, not by libtiff, and the strip at the bound reads.
        {"PackBits one byte short of 64 to 1", PackBitsStrip(dir, 99), ReasonCode::DamagedData,
         "strip 0: 99 bytes cannot decode to the 6400 claimed"},
        {"PackBits at 64 to 1", PackBitsStrip(dir, 100), ReasonCode::None, ""},
        {"tiled LZW 65000 x 65000", TiledLzw(dir, 65000, 4096), ReasonCode::DamagedData,
         "tile 0: 2 bytes cannot decode to the 50331648 claimed"},
        {"tiles sharing their bytes", SharedTiles(65536, 4096, COMPRESSION_LZW, sharedGarbage),
         ReasonCode::DamagedData, "256 chunks in 4000 bytes"},
        {"tile past the end",
         [&] {
             auto f = SharedTiles(64, 64, COMPRESSION_NONE, std::vector<std::uint8_t>(4096, 9));
             f.erase(f.end() - 100, f.end()); // the tile's last 100 bytes
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
        DecodeAll(PngClaim(30000, std::vector<std::uint8_t>(8, 0)), ImageFormat::Png);
    EXPECT_EQ(small.Code, ReasonCode::DamagedData);
    EXPECT_NE(small.Text.find("8 bytes of image data cannot hold"), std::string::npos)
        << small.Text;
    const Reason enough =
        DecodeAll(PngClaim(10000, std::vector<std::uint8_t>(1 << 20, 0)), ImageFormat::Png);
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

} // namespace bounded_readers_test
