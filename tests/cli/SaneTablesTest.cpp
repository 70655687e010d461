// What sane prints for devices of the kinds SANE backends offer, read through
// a described option source: each table whole at the device's own size and
// range, or a reason.
#include "cli/SaneTables.h"
#include "tests/scan/DescribedDevice.h"

#include <gtest/gtest.h>

namespace sane_tables_test {

namespace {

using scantest::ChannelTables;
using scantest::DescribedDevice;
using scantest::SwitchOption;
using scantest::TableOption;

ChannelParamsSet Equal() {
    return {kDefaultChannelParams, kDefaultChannelParams, kDefaultChannelParams};
}

ChannelParamsSet Distinct() {
    return {MakeChannelParams({0, 255, 99, 200}), MakeChannelParams({50, 230, 150, 180}),
            MakeChannelParams({14, 255, 0, 150})};
}

SanePlan PlanFor(const OptionDescriptors& options, const ChannelParamsSet& channels,
                 std::optional<Channel> channel = std::nullopt) {
    const GammaOptionsRead read = ReadGammaOptions(DescribedDevice(options));
    EXPECT_FALSE(read.reason) << read.reason.Text;
    return PlanForDevice(read.options, channels, channel);
}

std::vector<std::string> OptionNames(const SanePlan& plan) {
    std::vector<std::string> names;
    for (const SaneTable& table : plan.line.tables) {
        names.push_back(table.option);
    }
    return names;
}

struct ShapeCase {
    const char* name;
    TableShape shape;
};

TEST(SaneTables, ChannelTablesTakeEachDevicesOwnSizeAndRange) {
    const ShapeCase cases[] = {{"4096 entries of 0..255", {4096, 255}},
                               {"256 entries of 0..65535", {256, 65535}},
                               {"4096 entries of 0..65535", {4096, 65535}},
                               {"1024 entries of 0..1023", {1024, 1023}}};
    for (const ShapeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const SanePlan plan = PlanFor(ChannelTables(c.shape.entries, c.shape.maxLevel), Distinct());
        ASSERT_EQ(plan.problem, SaneTableProblem::None) << ProblemText(plan);
        EXPECT_FALSE(plan.line.customGamma);
        ASSERT_EQ(
            OptionNames(plan),
            (std::vector<std::string>{"red-gamma-table", "green-gamma-table", "blue-gamma-table"}));
        for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
            EXPECT_EQ(plan.line.tables[channel].entries, CurveOf(Distinct()[channel], c.shape));
            EXPECT_EQ(plan.line.tables[channel].entries.back(), c.shape.maxLevel);
        }
    }
}

TEST(SaneTables, TheCustomGammaSwitchOnlyWhereTheDeviceHasIt) {
    OptionDescriptors options = ChannelTables(256, 255);
    EXPECT_FALSE(PlanFor(options, Equal()).line.customGamma);
    options.push_back(SwitchOption("custom-gamma"));
    const SanePlan plan = PlanFor(options, Equal());
    EXPECT_TRUE(plan.line.customGamma);
    EXPECT_EQ(FormatSaneOptions(plan.line).rfind("--custom-gamma=yes --red-gamma-table 0,4,7,", 0),
              0u);
}

TEST(SaneTables, AnIntensityOnlyDeviceGetsTheSharedCurveOrTheChannelPicked) {
    const OptionDescriptors options = {SwitchOption("custom-gamma"),
                                       TableOption("gamma-table", 4096, 255)};
    const SanePlan equal = PlanFor(options, Equal());
    ASSERT_EQ(equal.problem, SaneTableProblem::None);
    EXPECT_EQ(OptionNames(equal), std::vector<std::string>{"gamma-table"});
    EXPECT_EQ(equal.line.tables[0].entries, CurveOf(kDefaultChannelParams, {4096, 255}));

    const SanePlan differ = PlanFor(options, Distinct());
    EXPECT_EQ(differ.problem, SaneTableProblem::ChannelsDiffer);
    EXPECT_NE(ProblemText(differ).find("--channel red|green|blue"), std::string::npos);

    for (const Channel channel : {kRed, kGreen, kBlue}) {
        const SanePlan picked = PlanFor(options, Distinct(), channel);
        ASSERT_EQ(picked.problem, SaneTableProblem::None);
        EXPECT_EQ(picked.line.tables[0].entries, CurveOf(Distinct()[channel], {4096, 255}));
    }
}

TEST(SaneTables, ChannelTablesWinOverAnIntensityTable) {
    OptionDescriptors options = ChannelTables(256, 255);
    options.push_back(TableOption("gamma-table", 4096, 255));
    EXPECT_EQ(OptionNames(PlanFor(options, Distinct())).size(), kChannelCount);
}

TEST(SaneTables, ADeviceWithoutTablesSaysSo) {
    const SanePlan plan = PlanFor({SwitchOption("custom-gamma")}, Equal());
    EXPECT_EQ(plan.problem, SaneTableProblem::NoTables);
    EXPECT_NE(ProblemText(plan).find("takes no gamma tables"), std::string::npos);
}

// 65536 entries of 16-bit levels run to about 390 KB of text.
TEST(SaneTables, ATableTooLongForOneArgumentPointsAtScanAndPrintsNothingShorter) {
    for (const TableShape shape : {TableShape{65536, 65535}, TableShape{65536, 255}}) {
        const SanePlan plan = PlanFor(ChannelTables(shape.entries, shape.maxLevel), Equal());
        EXPECT_EQ(plan.problem, SaneTableProblem::TooLong);
        EXPECT_EQ(plan.option, "red-gamma-table");
        EXPECT_GT(plan.textBytes, kMaxArgumentBytes);
        EXPECT_TRUE(plan.line.tables.empty());
        EXPECT_NE(ProblemText(plan).find("tamrel-cli scan"), std::string::npos);
    }
    EXPECT_EQ(PlanForShape(Equal(), {65536, 65535}).problem, SaneTableProblem::TooLong);
}

// 65536 one-digit entries and their commas, with the terminating zero, are
// exactly one argument's worth; a single two-digit entry more is too long.
TEST(SaneTables, ATableFillingOneArgumentExactlyIsPrinted) {
    const SanePlan fits = PlanForShape(Equal(), {65536, 1});
    ASSERT_EQ(fits.problem, SaneTableProblem::None) << ProblemText(fits);
    EXPECT_EQ(JoinEntries(fits.line.tables[0].entries).size() + 1, kMaxArgumentBytes);
    const SanePlan over = PlanForShape(Equal(), {65536, 10});
    EXPECT_EQ(over.problem, SaneTableProblem::TooLong);
    EXPECT_EQ(over.textBytes, JoinEntries(CurveOf(kDefaultChannelParams, {65536, 10})).size() + 1);
}

} // namespace

} // namespace sane_tables_test
