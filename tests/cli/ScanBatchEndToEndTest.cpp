// tamrel-cli scan --batch, --source and --area, and devices --options, run
// as a program against SANE's virtual test device, whose feeder holds ten
// pages.
#include "tests/cli/CliRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace scan_batch_end_to_end_test {

namespace {

using clitest::RunCli;
namespace fs = std::filesystem;

constexpr const char* kFeeder = "Automatic Document Feeder";

// A binary PNM's width and height and whether its raster is whole.
struct PnmSize {
    int width = 0;
    int height = 0;
    bool whole = false;
};

PnmSize SizeOfPnm(const fs::path& file) {
    const std::string bytes = ReadBytes(file);
    std::istringstream in(bytes);
    std::string magic;
    int maxval = 0;
    PnmSize size;
    in >> magic >> size.width >> size.height >> maxval;
    in.get();
    const auto header = static_cast<std::size_t>(in.tellg());
    const std::size_t channels = magic == "P6" ? 3 : 1;
    size.whole = in && bytes.size() == header + channels * static_cast<std::size_t>(size.width) *
                                                    static_cast<std::size_t>(size.height);
    return size;
}

int PixelsOf(double mm, int dpi) {
    return static_cast<int>(std::lround(mm / 25.4 * dpi));
}

std::set<fs::path> FilesIn(const ScratchDir& scratch) {
    std::set<fs::path> files;
    for (const auto& entry : fs::directory_iterator(scratch.Path())) {
        files.insert(entry.path());
    }
    return files;
}

std::vector<std::string> BatchArgs(const fs::path& pattern) {
    return {"scan",         "--linear", pattern.string(), "--batch",  "--source", kFeeder,
            "--resolution", "75",       "--area",         "0,0,20,10"};
}

TEST(CliScanBatch, TheFeederGivesTenFilesEachNamedAsItIsFinished) {
    ScratchDir scratch;
    const auto result = RunCli(scratch, BatchArgs(scratch / "page%02d.pnm"));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    std::string names;
    std::set<fs::path> expected;
    for (int page = 1; page <= 10; ++page) {
        const fs::path name =
            scratch / ((page < 10 ? "page0" : "page") + std::to_string(page) + ".pnm");
        names += name.string() + "\n";
        expected.insert(name);
        const PnmSize size = SizeOfPnm(name);
        EXPECT_NEAR(size.width, PixelsOf(20, 75), 1) << name;
        EXPECT_NEAR(size.height, PixelsOf(10, 75), 1) << name;
        EXPECT_TRUE(size.whole) << name;
    }
    EXPECT_EQ(result.out, names);
    EXPECT_EQ(FilesIn(scratch), expected);
}

TEST(CliScanBatch, AFeederEmptyAtTheFirstPageFailsInSanesWordsAndWritesNothing) {
    ScratchDir scratch;
    std::vector<std::string> args = BatchArgs(scratch / "page%d.tif");
    args.insert(args.end(), {"--option", "read-return-value=SANE_STATUS_NO_DOCS"});
    const auto result = RunCli(scratch, args);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "tamrel-cli: test:0: Document feeder out of documents\n");
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(FilesIn(scratch).empty());
}

// Ctrl+C once the second name is out: the pages named stay whole, the one
// being scanned leaves nothing (no partial page, no temporary file).
TEST(CliScanBatch, CtrlCKeepsTheFinishedPagesAndLeavesNoPartialOne) {
    ScratchDir scratch;
    std::vector<std::string> args = BatchArgs(scratch / "page%d.pnm");
    args.insert(args.end(), {"--area", "0,0,200,200", "--option", "read-limit=yes", "--option",
                             "read-limit-size=4096", "--option", "read-delay=yes", "--option",
                             "read-delay-duration=50000"});
    args.erase(args.begin() + 8, args.begin() + 10); // the small area
    clitest::RunOptions interrupt;
    interrupt.interruptAfterLines = 2;
    const auto result = RunCli(scratch, args, interrupt);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "tamrel-cli: test:0: scan cancelled\n");
    std::istringstream names(result.out);
    std::set<fs::path> named;
    for (std::string name; std::getline(names, name);) {
        named.insert(name);
        const PnmSize size = SizeOfPnm(name);
        EXPECT_TRUE(size.whole) << name;
        EXPECT_NEAR(size.width, PixelsOf(200, 75), 1) << name;
    }
    EXPECT_GE(named.size(), 2U);
    EXPECT_LT(named.size(), 10U);
    EXPECT_EQ(FilesIn(scratch), named);
}

// --force over a longer earlier batch, stopped by Ctrl+C after the third
// page: the earlier pages beyond the new ones stay as they were, and
// standard error names them, the first and how many more up to the last.
TEST(CliScanBatch, StoppedOverALongerEarlierBatchItNamesTheEarlierPagesLeft) {
    ScratchDir scratch;
    const auto name = [&scratch](int page) {
        return scratch / ((page < 10 ? "page0" : "page") + std::to_string(page) + ".pnm");
    };
    for (int page = 1; page <= 20; ++page) {
        WriteBytes(name(page), "old");
    }
    std::vector<std::string> args = BatchArgs(scratch / "page%02d.pnm");
    args.insert(args.end(), {"--force", "--area", "0,0,200,200", "--option", "read-limit=yes",
                             "--option", "read-limit-size=4096", "--option", "read-delay=yes",
                             "--option", "read-delay-duration=50000"});
    args.erase(args.begin() + 8, args.begin() + 10); // the small area
    clitest::RunOptions interrupt;
    interrupt.interruptAfterLines = 3;
    const auto result = RunCli(scratch, args, interrupt);
    EXPECT_EQ(result.status, 1);
    const auto kept = static_cast<int>(std::count(result.out.begin(), result.out.end(), '\n'));
    ASSERT_GE(kept, 3) << result.out;
    ASSERT_LT(kept, 10) << result.out;
    for (int page = 1; page <= 20; ++page) {
        EXPECT_EQ(ReadBytes(name(page)) == "old", page > kept) << page;
    }
    EXPECT_NE(result.err.find("tamrel-cli: " + name(kept + 1).string() +
                              ": left from an earlier batch and " + std::to_string(19 - kept) +
                              " more up to page20.pnm (not replaced)\n"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(FilesIn(scratch).size(), 20u);
}

TEST(CliScanBatch, RefusedSourcesAndAreasAreUsageErrorsNamingWhatTheDeviceTakes) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        const char* err;
    };
    const Case cases[] = {
        {"unknown source",
         {"--source", "Transparency"},
         "tamrel-cli: test:0: source: 'Transparency' is not one of Flatbed, Automatic Document "
         "Feeder\n"},
        {"area past the bed",
         {"--area", "150,0,60,10"},
         "tamrel-cli: test:0: area: 150..210 mm across is outside the bed's 0..200 mm\n"},
        {"area below the bed",
         {"--area", "0,180,10,30"},
         "tamrel-cli: test:0: area: 180..210 mm down is outside the bed's 0..200 mm\n"},
        {"batch on the flatbed",
         {"--batch", "--source", "flatbed"},
         "tamrel-cli: test:0: source: a batch needs a document feeder, not Flatbed (the device "
         "offers Flatbed, Automatic Document Feeder)\n"},
    };
    for (const Case& c : cases) {
        ScratchDir scratch;
        std::vector<std::string> args = {"scan", "--linear", (scratch / "out%d.pnm").string(),
                                         "--resolution", "75"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = RunCli(scratch, args);
        EXPECT_EQ(result.status, 2) << c.name;
        EXPECT_EQ(result.err, c.err) << c.name;
        EXPECT_TRUE(FilesIn(scratch).empty()) << c.name;
    }
}

TEST(CliScan, TheAreaGivesItsWidthAndHeightInPixels) {
    struct Case {
        const char* area;
        double width;
        double height;
        int dpi;
    };
    for (const Case c : {Case{"10,10,63,41", 63, 41, 150}, Case{"0,0,200,200", 200, 200, 75}}) {
        ScratchDir scratch;
        const fs::path out = scratch / "area.pnm";
        const auto result =
            RunCli(scratch, {"scan", "--linear", out.string(), "--area", c.area, "--resolution",
                             std::to_string(c.dpi), "--source", "FLATBED"});
        ASSERT_EQ(result.status, 0) << c.area << ": " << result.err;
        const PnmSize size = SizeOfPnm(out);
        EXPECT_NEAR(size.width, PixelsOf(c.width, c.dpi), 1) << c.area;
        EXPECT_NEAR(size.height, PixelsOf(c.height, c.dpi), 1) << c.area;
        EXPECT_TRUE(size.whole) << c.area;
    }
}

TEST(CliDevices, OptionsListsEachOptionsNameValueAndConstraint) {
    ScratchDir scratch;
    const auto result = RunCli(scratch, {"devices", "--options", "test:0"});
    ASSERT_EQ(result.status, 0) << result.err;
    for (const char* line :
         {"mode\tGray\tGray|Color\n", "source\tFlatbed\tFlatbed|Automatic Document Feeder\n",
          "tl-x\t0\t0..200 in steps of 1 mm\n", "br-x\t80\t0..200 in steps of 1 mm\n",
          "hand-scanner\tno\t\n"}) {
        EXPECT_NE(result.out.find(line), std::string::npos) << line;
    }
    const auto missing = RunCli(scratch, {"devices", "--options", "nosuch:0"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "tamrel-cli: nosuch:0: no such device (SANE finds test:0, test:1)\n");
}

} // namespace

} // namespace scan_batch_end_to_end_test
