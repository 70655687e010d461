// tamrel-cli's messages for a user's mistakes, run as a program against
// SANE's virtual test device: each says what is wrong in the user's terms,
// with the exit status that tells bad usage (2) from a failure (1), and
// nothing is written or replaced.
#include "tests/cli/CliRun.h"

#include <gtest/gtest.h>

namespace messages_end_to_end_test {

namespace {

using clitest::RunCli;
namespace fs = std::filesystem;

// "@" in an argument or a message stands for the test's folder.
std::string InFolder(std::string text, const ScratchDir& scratch) {
    for (std::size_t at = 0; (at = text.find('@', at)) != std::string::npos;) {
        text.replace(at, 1, scratch.Path().string());
        at += scratch.Path().string().size();
    }
    return text;
}

constexpr const char* kHint = "Try 'tamrel-cli --help'.\n";

TEST(CliMessages, EachMistakeIsToldInItsOwnWordsAndNothingIsWritten) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::vector<const char*> existing; // files there before, holding "old"
        int status;
        std::string err;
    };
    const std::string usage = std::string("\n") + kHint;
    const Case cases[] = {
        {"scan without parameters",
         {"scan", "@/out.png", "--device", "test:0"},
         {},
         2,
         "tamrel-cli: scan: too few file names: a parameter file, --defaults or --linear is "
         "needed before @/out.png" +
             usage},
        {"a resolution above the device's",
         {"scan", "--linear", "@/out.png", "--resolution", "99999"},
         {},
         2,
         "tamrel-cli: test:0: resolution: 99999 is not one the device takes (1..1200 in steps of "
         "1 dpi)\n"},
        {"a resolution of 0",
         {"scan", "--linear", "@/out.png", "--resolution", "0"},
         {},
         2,
         "tamrel-cli: test:0: resolution: 0 is not one the device takes (1..1200 in steps of 1 "
         "dpi)\n"},
        {"compression of a PNG scan",
         {"scan", "--linear", "@/out.png", "--compress"},
         {},
         2,
         "tamrel-cli: scan: --compress is for TIFF outputs (.tif, .tiff), not @/out.png" + usage},
        {"compression of a PNG output",
         {"apply", "--defaults", "--compress", "lzw", "@/in.bmp", "@/out.png"},
         {"in.bmp"},
         2,
         "tamrel-cli: apply: --compress is for TIFF outputs (.tif, .tiff), not @/out.png" + usage},
        {"a missing input",
         {"apply", "--defaults", "@/none.bmp", "@/out.png"},
         {},
         1,
         "tamrel-cli: @/none.bmp: cannot open: No such file or directory\n"},
        {"a missing parameter file",
         {"scan", "@/none.tvp", "@/out.png"},
         {},
         1,
         "tamrel-cli: @/none.tvp: cannot open: No such file or directory\n"},
        {"an unknown device",
         {"scan", "--linear", "@/out.png", "--device", "nope:0"},
         {},
         1,
         "tamrel-cli: nope:0: no such device (SANE finds test:0, test:1)\n"},
        {"a negative LEFT",
         {"scan", "--linear", "@/out.png", "--area", "-5,0,10,10"},
         {},
         2,
         "tamrel-cli: scan: --area LEFT takes a plain number of millimetres, 0 or more, not -5" +
             usage},
        {"a scan over an existing file",
         {"scan", "--linear", "@/out.png"},
         {"out.png"},
         1,
         "tamrel-cli: @/out.png: exists (--force replaces it)\n"},
        {"a batch over an earlier one",
         {"scan", "--linear", "--batch", "@/page%03d.png", "--source", "adf"},
         {"page002.png", "page010.png", "page01.png"},
         1,
         "tamrel-cli: @/page002.png: exists, and 1 more of the batch's names (--force replaces "
         "them)\n"},
    };
    for (const Case& c : cases) {
        ScratchDir scratch;
        WriteBytes(scratch / "in.bmp", "BM not read"); // refused before it is read
        for (const char* name : c.existing) {
            WriteBytes(scratch / name, "old");
        }
        std::vector<std::string> args;
        for (const std::string& arg : c.args) {
            args.push_back(InFolder(arg, scratch));
        }
        const auto before = scratch.Entries();
        const auto result = RunCli(scratch, args);
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_EQ(result.err, InFolder(c.err, scratch)) << c.name;
        EXPECT_EQ(scratch.Entries(), before) << c.name;
        for (const char* name : c.existing) {
            EXPECT_EQ(ReadBytes(scratch / name), "old") << c.name << ": " << name;
        }
    }
}

// --force replaces a scan, and a batch's pages, as it does export's tables.
TEST(CliMessages, ForceReplacesAnEarlierScan) {
    ScratchDir scratch;
    WriteBytes(scratch / "out.pnm", "old");
    WriteBytes(scratch / "page1.pnm", "old");
    const auto single =
        RunCli(scratch, {"scan", "--linear", "--force", (scratch / "out.pnm").string()});
    EXPECT_EQ(single.status, 0) << single.err;
    EXPECT_EQ(ReadBytes(scratch / "out.pnm").substr(0, 3), "P5\n");
    const auto batch = RunCli(scratch, {"scan", "--linear", "--force", "--batch",
                                        (scratch / "page%d.pnm").string(), "--source",
                                        "Automatic Document Feeder", "--area", "0,0,10,10"});
    EXPECT_EQ(batch.status, 0) << batch.err;
    EXPECT_EQ(ReadBytes(scratch / "page1.pnm").substr(0, 3), "P5\n");
}

} // namespace

} // namespace messages_end_to_end_test
