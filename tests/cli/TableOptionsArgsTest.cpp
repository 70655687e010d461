// The table options on the command line: sizes, ranges, devices and channels,
// where each is accepted and which values are usage errors.
#include "cli/CliArgs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ParsedArgs Parse(const std::vector<std::string>& words) {
    const std::vector<std::string_view> args(words.begin(), words.end());
    return ParseArgs(args);
}

TEST(TableOptionArgs, SizesRangesAndDevicesReachTheCommand) {
    const ParsedArgs table = Parse({"table", "--defaults", "--size", "65536", "--max", "65535"});
    ASSERT_EQ(table.status, ParseStatus::Run) << table.message;
    EXPECT_EQ(table.command.size, 65536u);
    EXPECT_EQ(table.command.maxLevel, 65535);

    const ParsedArgs cube = Parse({"cube", "--size", "2", "p.tvp", "out.cube"});
    ASSERT_EQ(cube.status, ParseStatus::Run) << cube.message;
    EXPECT_EQ(cube.command.size, 2u);
    EXPECT_FALSE(cube.command.maxLevel.has_value());

    const ParsedArgs sane =
        Parse({"sane", "--device", "plustek:libusb:001:004", "p.tvp", "--channel", "green"});
    ASSERT_EQ(sane.status, ParseStatus::Run) << sane.message;
    EXPECT_EQ(sane.command.device, "plustek:libusb:001:004");
    EXPECT_EQ(sane.command.channel, kGreen);

    const ParsedArgs devices = Parse({"devices"});
    ASSERT_EQ(devices.status, ParseStatus::Run) << devices.message;
    EXPECT_EQ(devices.command.kind, CommandKind::Devices);
}

TEST(TableOptionArgs, OutOfRangeOrMalformedValuesAndMisplacedOptionsAreUsageErrors) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> lines = {
        {{"table", "--defaults", "--size", "1"}, "--size takes 2..65536"},
        {{"table", "--defaults", "--size", "65537"}, "--size takes 2..65536"},
        {{"table", "--defaults", "--size", "0x100"}, "--size takes"},
        {{"table", "--defaults", "--size", " 256"}, "--size takes"},
        {{"table", "--defaults", "--size", "-256"}, "--size takes"},
        {{"table", "--defaults", "--size", "18446744073709551872"}, "--size takes"},
        {{"table", "--defaults", "--max", "0"}, "--max takes a top level of 1..65535"},
        {{"table", "--defaults", "--max", "65536"}, "--max takes"},
        {{"table", "--defaults", "--max", "255.0"}, "--max takes"},
        {{"table", "--defaults", "--size"}, "--size needs"},
        {{"table", "--defaults", "--size", "8", "--size", "8"}, "given twice"},
        {{"cube", "--defaults", "--max", "255", "x.cube"}, "--max is for table and sane"},
        {{"export", "--defaults", "--size", "256", "x.tvk"}, "--size is for table, cube and sane"},
        {{"table", "--defaults", "--device", "test:0"}, "for sane only"},
        {{"sane", "--defaults", "--device", "test:0", "--size", "256"}, "--device reads"},
        {{"sane", "--defaults", "--channel", "red"}, "--channel goes with --device"},
        {{"sane", "--defaults", "--device", "t", "--channel", "alpha"}, "red, green or blue"},
        {{"devices", "--defaults"}, "takes no parameters"},
        {{"devices", "extra"}, "too many"},
    };
    for (const auto& [args, why] : lines) {
        SCOPED_TRACE(testing::PrintToString(args));
        const ParsedArgs parsed = Parse(args);
        EXPECT_EQ(parsed.status, ParseStatus::BadUsage);
        EXPECT_NE(parsed.message.find(why), std::string::npos) << parsed.message;
    }
}

} // namespace
