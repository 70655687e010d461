// tamrel-cli scan when the output cannot be finished: the disk fills up, the
// file-size limit is reached, the folder is removed mid-scan. Each ends with
// the reason, no partial file and the old file as it was, and the device
// scans again at once afterwards.
#include "tests/cli/CliRun.h"
#include "tests/support/SmallDisk.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace scan_faults_test {

namespace {

using clitest::RunCli;
using clitest::RunOptions;
namespace fs = std::filesystem;

constexpr std::size_t kDiskKib = 64;
constexpr rlim_t kLimitBytes = 64 * 1024;
// The colour pattern, so that no compressed format fits the small disk.
const std::vector<std::string> kColour300 = {
    "--resolution", "300", "--mode", "Color", "--option", "test-picture=Color pattern"};

// --force: each case replaces an old file, or would if the write went through.
std::vector<std::string> ScanTo(const fs::path& out, std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"scan", "--linear", "--force", out.string()};
    args.insert(args.end(), kColour300.begin(), kColour300.end());
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// The device is free again: a scan right after gives a whole file.
void ExpectScansAgain(const ScratchDir& scratch) {
    const fs::path again = scratch / "again.pnm";
    const auto result = RunCli(scratch, ScanTo(again));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadBytes(again).substr(0, 3), "P6\n");
    fs::remove(again);
}

TEST(CliScanFaults, AFullDiskKeepsTheOldFileInEveryFormat) {
    const ScratchDir scratch;
    const SmallDisk disk(scratch / "disk", kDiskKib);
    if (!disk.Mounted()) {
        GTEST_SKIP() << disk.Why();
    }
    for (const char* name : {"page.pnm", "page.png", "page.tif", "page.bmp"}) {
        const fs::path out = disk.Path() / name;
        WriteBytes(out, "old");
        const auto result = RunCli(scratch, ScanTo(out));
        EXPECT_EQ(result.status, 1) << name;
        EXPECT_EQ(result.err, "tamrel-cli: " + out.string() + ": disk full\n") << name;
        EXPECT_EQ(ReadBytes(out), "old") << name;
        EXPECT_EQ(EntriesOf(disk.Path()), std::set<std::string>{name}) << name;
        fs::remove(out);
        ExpectScansAgain(scratch);
    }
}

TEST(CliScanFaults, TheFileSizeLimitKeepsTheOldFile) {
    const ScratchDir scratch;
    const fs::path out = scratch / "page.tif";
    WriteBytes(out, "old");
    RunOptions limited;
    limited.fileSizeLimit = kLimitBytes;
    const auto result = RunCli(scratch, ScanTo(out), limited);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "tamrel-cli: " + out.string() + ": beyond the file-size limit\n");
    EXPECT_EQ(ReadBytes(out), "old");
    EXPECT_EQ(scratch.Entries(), std::set<std::string>{"page.tif"});
    ExpectScansAgain(scratch);
}

// A slow page (0.1 s per read): the folder goes while the page is written.
TEST(CliScanFaults, TheFolderRemovedMidScanIsNamedAndNothingIsLeft) {
    const ScratchDir scratch;
    const fs::path folder = scratch / "scans";
    fs::create_directories(folder);
    const fs::path out = folder / "page.pnm";
    WriteBytes(out, "old");
    // Once the page is being written (its temporary file is there), or after
    // 10 s at most, the folder goes.
    const auto removeFolder = [&] {
        for (int waited = 0; waited < 1000 && EntriesOf(folder).size() < 2; ++waited) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        fs::remove_all(folder);
    };
    const auto result = RunCli(
        scratch,
        ScanTo(out, {"--option", "read-delay=yes", "--option", "read-delay-duration=100000"}), {},
        removeFolder);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "tamrel-cli: " + out.string() + ": the folder was removed while writing\n");
    EXPECT_FALSE(fs::exists(folder)); // nothing made it again
    ExpectScansAgain(scratch);
}

} // namespace

} // namespace scan_faults_test
