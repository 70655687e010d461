// tamrel-cli sane and table, help and usage errors, run as a program.
#include "tests/cli/CliRun.h"

#include <gtest/gtest.h>

namespace print_end_to_end_test {

namespace {

using clitest::RunCli;

constexpr const char* kDefaultStart = "0,4,7,11,15,18,22,25,28,31,";

TEST(CliPrint, SaneOptionsOfTheDefaultTables) {
    ScratchDir scratch;
    const auto result = RunCli(scratch, {"sane", "--defaults"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    std::string expected = "--custom-gamma=yes";
    const auto tableStart = result.out.find(kDefaultStart);
    ASSERT_NE(tableStart, std::string::npos);
    const auto tableEnd = result.out.find(' ', tableStart);
    const std::string table = result.out.substr(tableStart, tableEnd - tableStart);
    EXPECT_EQ(std::count(table.begin(), table.end(), ','), 255);
    EXPECT_EQ(table.substr(table.size() - 8), ",254,255");
    for (const char* channel : {"red", "green", "blue"}) {
        expected += std::string(" --") + channel + "-gamma-table " + table;
    }
    EXPECT_EQ(result.out, expected + "\n");
}

TEST(CliPrint, TableOfTheDefaultsHasEveryLevel) {
    ScratchDir scratch;
    const auto result = RunCli(scratch, {"table", "--defaults"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.rfind("0 0 0 0\n1 4 4 4\n2 7 7 7\n3 11 11 11\n4 15 15 15\n", 0), 0u);
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 256);
    EXPECT_EQ(result.out.substr(result.out.size() - 32), "254 254 254 254\n255 255 255 255\n");
}

TEST(CliPrint, AFullStandardOutputIsAFailure) {
    ScratchDir scratch;
    for (const char* command : {"table", "sane"}) {
        SCOPED_TRACE(command);
        const auto result = RunCli(scratch, {command, "--defaults"}, {"/dev/full"});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "tamrel-cli: standard output: cannot write\n");
    }
}

TEST(CliPrint, HelpGoesToStandardOutputForEveryCommand) {
    ScratchDir scratch;
    for (const char* command : {"export", "apply", "sane", "cube", "table", "devices"}) {
        SCOPED_TRACE(command);
        const auto result = RunCli(scratch, {command, "--help"});
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out.rfind(std::string("Usage: tamrel-cli ") + command, 0), 0u);
        EXPECT_EQ(result.err, "");
    }
    const auto overview = RunCli(scratch, {"--help"});
    EXPECT_EQ(overview.status, 0);
    EXPECT_NE(overview.out.find("Commands:"), std::string::npos);
}

TEST(CliPrint, BadUsageExitsWithTwoAndTouchesNothing) {
    ScratchDir scratch;
    const std::vector<std::vector<std::string>> lines = {
        {},
        {"frobnicate"},
        {"table"},
        {"table", "--defaults", "--colour"},
        {"cube", "--defaults"},
        {"apply", "--defaults", (scratch / "in.bmp").string(), (scratch / "out.gif").string()},
        {"export", "--defaults", "-o", scratch.Path().string(), (scratch / "x.tvk").string()},
        {"table", "--defaults", "--size", "1"},
        {"table", "--defaults", "--size", "65537"},
        {"sane", "--defaults", "--max", "0"},
        {"sane", "--defaults", "--max", "65536"},
        {"cube", "--defaults", "--size", "many", (scratch / "x.cube").string()},
    };
    for (const auto& args : lines) {
        SCOPED_TRACE(testing::PrintToString(args));
        const auto result = RunCli(scratch, args);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("tamrel-cli: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find("--help"), std::string::npos);
        EXPECT_TRUE(scratch.Entries().empty());
    }
}

} // namespace

} // namespace print_end_to_end_test
