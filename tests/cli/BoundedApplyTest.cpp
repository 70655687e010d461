// apply on small files claiming gigabytes: the fuzzer's TIFF finding (read in
// place) and files made like it fail with the reason, no output and no
// "strip 4294967295", while the tool holds at most 128 MiB.
#include "tests/cli/CliRun.h"
#include "tests/image/ClaimFiles.h"

#include <gtest/gtest.h>

namespace bounded_apply_test {

namespace {

namespace fs = std::filesystem;
using namespace claimfiles;

constexpr long kMostPeakKib = 128 * 1024;

void ExpectBoundedRefusal(const ScratchDir& dir, const fs::path& input) {
    const fs::path output = dir / "out.png";
    const auto run = clitest::RunCli(dir, {"apply", "--defaults", input.string(), output.string()});
    EXPECT_EQ(run.status, 1) << input << run.err;
    EXPECT_NE(run.err.find(input.string() + ": damaged data: "), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("4294967295"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(output)) << input;
    EXPECT_GT(run.peakKib, 0) << input;
    EXPECT_LT(run.peakKib, kMostPeakKib) << input;
}

TEST(CliBoundedApply, TheTiffFindingFailsWithItsReasonHoldingLittleMemory) {
    const fs::path finding =
        fs::path(TAMREL_SOURCE_DIR) / "../shared/findings/tiff-planar-strip-claim.tif";
    if (!fs::exists(finding)) {
        GTEST_SKIP() << finding << " is absent";
    }
    const ScratchDir dir;
    ExpectBoundedRefusal(dir, finding);
}

TEST(CliBoundedApply, SmallFilesClaimingGigabytesFailHoldingLittleMemory) {
    const ScratchDir dir;
    const std::pair<const char*, std::vector<std::uint8_t>> files[] = {
        {"planar.tif", PlanarPackBits(dir)},
        {"tiled.tif", TiledLzw(dir, 65000, 4096)},
        {"garbage-tile.tif", TiledLzw(dir, 64, 16)},
        {"claim.png", PngClaim(30000, std::vector<std::uint8_t>(8, 0))},
    };
    for (const auto& [name, bytes] : files) {
        WriteBytes(dir / name, std::string(bytes.begin(), bytes.end()));
        ExpectBoundedRefusal(dir, dir / name);
    }
}

} // namespace

} // namespace bounded_apply_test
