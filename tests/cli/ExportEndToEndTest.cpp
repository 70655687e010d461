// tamrel-cli export and cube, run as a program: the window's bytes and names,
// the refusal to replace without --force, and failures that leave nothing.
#include "cli/CliArgs.h"
#include "io/ExportNames.h"
#include "io/ParamFileWriter.h"
#include "io/TableFile.h"
#include "tests/cli/CliRun.h"

#include <gtest/gtest.h>

namespace export_end_to_end_test {

namespace {

using clitest::RunCli;
using clitest::TablesOf;

// Every channel differs, so a swapped table or title shows.
ParamPositionSet Positions() {
    ParamPositionSet positions{};
    positions[kRed] = {37, 255, 99, 200};
    positions[kGreen] = {50, 230, 150, 180};
    positions[kBlue] = {0, 255, 0, 150};
    return positions;
}

TEST(CliExport, WritesWhatTheWindowsExportWrites) {
    ScratchDir scratch;
    ASSERT_EQ(SaveParamFile(scratch / "p.tvp", Positions()), WriteResult::Ok);
    std::filesystem::create_directory(scratch / "cli");
    std::filesystem::create_directory(scratch / "window");
    const auto result = RunCli(
        scratch, {"export", (scratch / "p.tvp").string(), (scratch / "cli" / "a.b.tvk").string()});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "");

    const ExportNames window = DeriveExportNames(scratch / "window" / "a.b.tvk");
    ASSERT_EQ(WriteTableFiles(window, TablesOf(Positions())), WriteResult::Ok);
    for (const char* name : {"a.bR.tvk", "a.bG.tvk", "a.bB.tvk"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ReadBytes(scratch / "cli" / name), ReadBytes(scratch / "window" / name));
    }
    EXPECT_EQ(EntriesOf(scratch / "cli").size(), 3u);
}

TEST(CliExport, AnExistingFileIsKeptUnlessForced) {
    ScratchDir scratch;
    WriteBytes(scratch / "curveG.tvk", "keep me");
    const std::vector<std::string> args = {"export", "--defaults",
                                           (scratch / "curve.tvk").string()};
    const auto refused = RunCli(scratch, args);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "tamrel-cli: " + (scratch / "curveG.tvk").string() +
                               ": exists (--force replaces it)\n");
    EXPECT_EQ(scratch.Entries(), std::set<std::string>{"curveG.tvk"}) << "nothing written";
    EXPECT_EQ(ReadBytes(scratch / "curveG.tvk"), "keep me");

    std::vector<std::string> forced = args;
    forced.push_back("--force");
    EXPECT_EQ(RunCli(scratch, forced).status, 0);
    EXPECT_EQ(ReadBytes(scratch / "curveG.tvk").substr(0, 29), "Gamma table by Tamrel - Green");
    EXPECT_EQ(scratch.Entries().size(), 3u);
}

// Each case: a command line with PARAMS and OUT filled in, the expected
// message, and nothing written anywhere.
TEST(CliExport, FailuresNameTheFileAndTheReasonAndWriteNothing) {
    struct Case {
        const char* name;
        std::string params;    // relative to the scratch folder
        std::string paramText; // written there when not empty
        std::string command;
        std::string output;
        std::string failingFile;
        std::string reason;
    };
    const Case cases[] = {
        {"missing parameter file", "none.tvp", "", "export", "x.tvk", "none.tvp",
         "cannot open: No such file or directory"},
        {"incomplete parameter file", "p.tvp", ";Tamrel Parameter\r\nBlackR=5\r\n", "export",
         "x.tvk", "p.tvp", "parameter file incomplete or out of range"},
        {"out-of-range value", "p.tvp",
         "BlackR=0\nBlackG=0\nBlackB=0\nWhiteR=199\nWhiteG=255\nWhiteB=255\nAlphaR=99\n"
         "AlphaG=99\nAlphaB=99\nGammaR=200\nGammaG=200\nGammaB=200\n",
         "cube", "x.cube", "p.tvp", "parameter file incomplete or out of range"},
        {"missing output folder (export)", "", "", "export", "no/x.tvk", "no/xR.tvk",
         "cannot open for writing"},
        {"missing output folder (cube)", "", "", "cube", "no/x.cube", "no/x.cube",
         "cannot open for writing"},
        {"output is a folder", "", "", "cube", "dir", "dir", "cannot open for writing"},
        {"cube over its own parameter file", "p.tvp",
         "BlackR=0\nBlackG=0\nBlackB=0\nWhiteR=255\nWhiteG=255\nWhiteB=255\nAlphaR=99\n"
         "AlphaG=99\nAlphaB=99\nGammaR=200\nGammaG=200\nGammaB=200\n",
         "cube", "p.tvp", "p.tvp", "would replace its own input"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir scratch;
        std::filesystem::create_directory(scratch / "dir");
        if (!c.paramText.empty()) {
            WriteBytes(scratch / c.params, c.paramText);
        }
        const std::string params = c.params.empty() ? "--defaults" : (scratch / c.params).string();
        const auto before = scratch.Entries();
        const auto result = RunCli(scratch, {c.command, params, (scratch / c.output).string()});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err,
                  "tamrel-cli: " + (scratch / c.failingFile).string() + ": " + c.reason + "\n");
        EXPECT_EQ(scratch.Entries(), before);
        EXPECT_TRUE(std::filesystem::is_empty(scratch / "dir"));
        if (!c.paramText.empty()) {
            EXPECT_EQ(ReadBytes(scratch / c.params), c.paramText);
        }
    }
}

TEST(CliCube, WritesTheDefaultTablesAsA1DLut) {
    ScratchDir scratch;
    const auto result = RunCli(scratch, {"cube", "--defaults", (scratch / "x.cube").string()});
    EXPECT_EQ(result.status, 0) << result.err;
    const std::string text = ReadBytes(scratch / "x.cube");
    EXPECT_NE(text.find("\nLUT_1D_SIZE 256\n0.000000 0.000000 0.000000\n"
                        "0.015686 0.015686 0.015686\n0.027451 0.027451 0.027451\n"),
              std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 27), "1.000000 1.000000 1.000000\n");
}

} // namespace

} // namespace export_end_to_end_test
