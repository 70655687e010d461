// tamrel-cli's messages for a user's mistakes, run as a program against
// SANE's virtual test device: each says what is wrong in the user's terms,
// with the exit status that tells bad usage (2) from a failure (1), and
// nothing is written or replaced.
#include "tests/cli/CliRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace messages_end_to_end_test {

namespace {

using clitest::RunCli;

// "@" in an argument or a message stands for the test's folder.
std::string InFolder(std::string text, const ScratchDir& scratch) {
    for (std::size_t at = 0; (at = text.find('@', at)) != std::string::npos;) {
        text.replace(at, 1, scratch.Path().string());
        at += scratch.Path().string().size();
    }
    return text;
}

std::vector<std::string> Words(const std::string& line, const ScratchDir& scratch) {
    std::istringstream in(InFolder(line, scratch));
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

TEST(CliMessages, EachMistakeIsToldInItsOwnWordsAndNothingIsWritten) {
    struct Case {
        const char* args;
        std::vector<const char*> existing; // files there before, holding "old"
        int status;
        std::string err; // a line naming its command is followed by the hint to --help
    };
    // clang-format off
    const Case cases[] = {
        {"scan @/out.png --device test:0", {}, 2, "tamrel-cli: scan: too few file names: a parameter file, --defaults or --linear is needed before @/out.png"},
        {"scan --linear @/out.png --resolution 99999", {}, 2, "tamrel-cli: test:0: resolution: 99999 is not one the device takes (1..1200 in steps of 1 dpi)"},
        {"scan --linear @/out.png --resolution 0", {}, 2, "tamrel-cli: test:0: resolution: 0 is not one the device takes (1..1200 in steps of 1 dpi)"},
        {"scan --linear @/out.png --compress", {}, 2, "tamrel-cli: scan: --compress is for TIFF outputs (.tif, .tiff), not @/out.png"},
        {"apply --defaults --compress lzw @/in.bmp @/out.png", {"in.bmp"}, 2, "tamrel-cli: apply: --compress is for TIFF outputs (.tif, .tiff), not @/out.png"},
        {"apply --defaults @/none.bmp @/out.png", {}, 1, "tamrel-cli: @/none.bmp: cannot open: No such file or directory"},
        {"scan @/none.tvp @/out.png", {}, 1, "tamrel-cli: @/none.tvp: cannot open: No such file or directory"},
        {"scan --linear @/out.png --device nope:0", {}, 1, "tamrel-cli: nope:0: no such device (SANE finds test:0, test:1)"},
        {"scan --linear @/out.png --area -5,0,10,10", {}, 2, "tamrel-cli: scan: --area LEFT takes a plain number of millimetres, 0 or more, not -5"},
        {"scan --linear @/out.png", {"out.png"}, 1, "tamrel-cli: @/out.png: exists (--force replaces it)"},
        {"scan --linear --batch @/page%03d.png --source adf", {"page002.png", "page010.png", "page01.png"}, 1, "tamrel-cli: @/page002.png: exists, and 1 more of the batch's names (--force replaces them)"},
        {"roll @/out @/a.pnm", {"a.pnm"}, 2, "tamrel-cli: roll: too few file names: a parameter file or --defaults is needed before @/out"},
        {"roll --defaults @/out @/a.pnm --base b.pnm:0,0,4,4", {"a.pnm"}, 2, "tamrel-cli: roll: --base b.pnm:0,0,4,4: no strip of the roll is named b.pnm"},
        {"roll --defaults @/out @/a.pnm --neutral 1,1,2,2", {"a.pnm"}, 2, "tamrel-cli: roll: --neutral takes STRIP:LEFT,TOP,WIDTH,HEIGHT (a strip of the roll, then a rectangle of its pixels with the width and height above 0), not 1,1,2,2"},
        {"roll --defaults @/out @/a.pnm --neutral a.pnm:1,1,2,2 --bw", {"a.pnm"}, 2, "tamrel-cli: roll: --neutral goes without --bw: a black-and-white film has no colour to balance"},
        {"roll --defaults @/out @/a.pnm --format gif", {"a.pnm"}, 2, "tamrel-cli: roll: --format takes one of .bmp, .pnm, .ppm, .png, .tif, .tiff, .jpg, .jpeg or .pdf, not gif"},
        {"roll --defaults @/out @/a.pnm --compress --format png", {"a.pnm"}, 2, "tamrel-cli: roll: --compress is for TIFF frames (--format tif), not PNG"},
        {"roll --defaults @/out @/a.pnm --quality 80", {"a.pnm"}, 2, "tamrel-cli: roll: --quality is for .jpg, .jpeg or .pdf frames, not TIFF"},
        {"roll --defaults @/out @/none.pnm", {}, 1, "tamrel-cli: @/none.pnm: cannot open: No such file or directory"},
        {"roll --defaults @/out @/a.pnm", {"a.pnm"}, 1, "tamrel-cli: @/a.pnm: not a PNM file"},
    };
    // clang-format on
    for (const Case& c : cases) {
        ScratchDir scratch;
        for (const char* name : c.existing) {
            WriteBytes(scratch / name, "old");
        }
        const auto before = scratch.Entries();
        const auto result = RunCli(scratch, Words(c.args, scratch));
        const bool named = c.err.find(": scan: ") != std::string::npos ||
                           c.err.find(": apply: ") != std::string::npos ||
                           c.err.find(": roll: ") != std::string::npos;
        const std::string hint = named ? "Try 'tamrel-cli --help'.\n" : "";
        EXPECT_EQ(result.status, c.status) << c.args;
        EXPECT_EQ(result.err, InFolder(c.err, scratch) + "\n" + hint) << c.args;
        EXPECT_EQ(scratch.Entries(), before) << c.args;
        for (const char* name : c.existing) {
            EXPECT_EQ(ReadBytes(scratch / name), "old") << c.args << ": " << name;
        }
    }
}

// --force replaces a scan, and a batch's pages, as it does export's tables.
TEST(CliMessages, ForceReplacesAnEarlierScanAndBatch) {
    ScratchDir scratch;
    WriteBytes(scratch / "out.pnm", "old");
    WriteBytes(scratch / "page1.pnm", "old");
    for (const char* args : {"scan --linear --force @/out.pnm",
                             "scan --linear --force --batch @/page%d.pnm --area 0,0,10,10 "
                             "--source Automatic_Document_Feeder"}) {
        std::vector<std::string> words = Words(args, scratch);
        std::replace(words.back().begin(), words.back().end(), '_', ' ');
        const auto result = RunCli(scratch, words);
        EXPECT_EQ(result.status, 0) << args << ": " << result.err;
    }
    EXPECT_EQ(ReadBytes(scratch / "out.pnm").substr(0, 3), "P5\n");
    EXPECT_EQ(ReadBytes(scratch / "page1.pnm").substr(0, 3), "P5\n");
}

} // namespace

} // namespace messages_end_to_end_test
