// tamrel-cli with sizes and devices, run as a program: SANE's virtual test
// device through the project's SANE_CONFIG_DIR, and tables of other sizes.
#include "tests/cli/CliRun.h"
#include "tests/support/TextLines.h"

#include <gtest/gtest.h>

#include <sstream>

namespace sane_end_to_end_test {

namespace {

using clitest::RunCli;

std::string Joined(const GammaTable& table) {
    std::string text;
    for (std::size_t i = 0; i < table.size(); ++i) {
        text += (i ? "," : "") + std::to_string(table[i]);
    }
    return text;
}

using texttest::Lines;

// The test device has no custom-gamma switch and takes 256 entries of 0..255
// per channel: the window's tables, and nothing else on the line.
TEST(CliSane, TheTestDeviceGetsItsThreeChannelTablesWithoutASwitch) {
    ScratchDir scratch;
    const auto result = RunCli(scratch, {"sane", "--defaults", "--device", "test:0"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const GammaTableSet tables = clitest::TablesOf(ParamPositionSet{});
    EXPECT_EQ(result.out, "--red-gamma-table " + Joined(tables[kRed]) + " --green-gamma-table " +
                              Joined(tables[kGreen]) + " --blue-gamma-table " +
                              Joined(tables[kBlue]) + "\n");
}

TEST(CliSane, AnUnknownDeviceIsNamedWithSanesReasonAndPrintsNothing) {
    ScratchDir scratch;
    const auto result = RunCli(scratch, {"sane", "--defaults", "--device", "nosuch:0"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "tamrel-cli: nosuch:0: no such device (SANE finds test:0, test:1)\n");
}

TEST(CliSane, ATableTooLongForOneArgumentPointsAtScan) {
    ScratchDir scratch;
    const auto result =
        RunCli(scratch, {"sane", "--defaults", "--size", "65536", "--max", "65535"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("'tamrel-cli scan'"), std::string::npos) << result.err;
}

TEST(CliDevices, ListsTheTestDeviceNameFirst) {
    ScratchDir scratch;
    const auto result = RunCli(scratch, {"devices"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].rfind("test:0\t", 0), 0u) << lines[0];
    EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), '\t'), 3) << lines[0];
}

TEST(CliCube, TheDefaultSizeKeepsTheWindowsLevelsAndOtherSizesGrow) {
    ScratchDir scratch;
    const auto plain = RunCli(scratch, {"cube", "--defaults", (scratch / "a.cube").string()});
    const auto sized =
        RunCli(scratch, {"cube", "--defaults", "--size", "256", (scratch / "b.cube").string()});
    const auto large =
        RunCli(scratch, {"cube", "--defaults", "--size", "1024", (scratch / "c.cube").string()});
    ASSERT_EQ(plain.status + sized.status + large.status, 0) << plain.err << sized.err << large.err;
    EXPECT_EQ(ReadBytes(scratch / "a.cube"), ReadBytes(scratch / "b.cube"));
    EXPECT_NE(ReadBytes(scratch / "a.cube").find("\n0.015686 0.015686 0.015686\n"),
              std::string::npos)
        << "entry 1 is the window's 4 of 255";
    const std::vector<std::string> lines = Lines(ReadBytes(scratch / "c.cube"));
    ASSERT_EQ(lines.size(), 2u + 1024);
    EXPECT_EQ(lines[1], "LUT_1D_SIZE 1024");
    EXPECT_EQ(lines.back(), "1.000000 1.000000 1.000000");
}

} // namespace

} // namespace sane_end_to_end_test
