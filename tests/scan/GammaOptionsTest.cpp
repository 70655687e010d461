// Gamma-table options read from described devices of the kinds SANE backends
// offer: their sizes and ranges, the custom-gamma switch, and tables the
// curve cannot fill.
#include "scan/GammaOptions.h"
#include "tests/curve/TableShapePrint.h"
#include "tests/scan/DescribedDevice.h"

#include <gtest/gtest.h>

#include <ostream>

namespace gamma_options_test {

namespace {

using scantest::ChannelTables;
using scantest::DescribedDevice;
using scantest::SwitchOption;
using scantest::TableOption;

OptionDescriptors With(OptionDescriptors options, std::initializer_list<OptionDescriptor> more) {
    options.insert(options.end(), more);
    return options;
}

struct DeviceCase {
    const char* name;
    OptionDescriptors options;
    ReasonCode reason;
    bool customGamma;
    std::optional<TableShape> channels; // the same for red, green and blue
    std::optional<TableShape> intensity;
};

void PrintTo(const DeviceCase& c, std::ostream* os) {
    *os << c.name;
}

OptionDescriptor Retyped(OptionDescriptor option, OptionType type) {
    option.type = type;
    return option;
}

OptionDescriptor Unconstrained(OptionDescriptor option) {
    option.constraint = {};
    return option;
}

constexpr auto kNone = std::nullopt;
constexpr ReasonCode kUnfillable = ReasonCode::Unsupported;

// clang-format off
const DeviceCase kDevices[] = {
    {"FourThousandEntriesOf255WithASwitch",
     With(ChannelTables(4096, 255), {SwitchOption("custom-gamma")}),
     ReasonCode::None, true, TableShape{4096, 255}, kNone},
    {"SixteenBitTablesAndAnIntensityTable",
     With(ChannelTables(65536, 65535), {TableOption("gamma-table", 256, 255)}),
     ReasonCode::None, false, TableShape{65536, 65535}, TableShape{256, 255}},
    {"IntensityTableOnly",
     {SwitchOption("custom-gamma"), TableOption("gamma-table", 1024, 255)},
     ReasonCode::None, true, kNone, TableShape{1024, 255}},
    {"NoTables", {SwitchOption("preview")}, ReasonCode::None, false, kNone, kNone},
    {"FixedPointTable", {Retyped(TableOption("gamma-table", 256, 255), OptionType::Fixed)},
     kUnfillable, false, kNone, kNone},
    {"TableWithoutARange", {Unconstrained(TableOption("red-gamma-table", 256, 255))},
     kUnfillable, false, kNone, kNone},
    {"MoreEntriesThanACurveHas", ChannelTables(65537, 255), kUnfillable, false, kNone, kNone},
    {"LevelsBeyondSixteenBits", ChannelTables(256, 65536), kUnfillable, false, kNone, kNone},
};
// clang-format on

class Devices : public testing::TestWithParam<DeviceCase> {};

TEST_P(Devices, GiveTheirTablesShapesOrSayWhichTableCannotBeFilled) {
    const DeviceCase& c = GetParam();
    const GammaOptionsRead read = ReadGammaOptions(DescribedDevice(c.options));
    ASSERT_EQ(read.reason.Code, c.reason) << read.reason.Text;
    if (c.reason != ReasonCode::None) {
        EXPECT_NE(read.reason.Text.find("gamma-table"), std::string::npos) << read.reason.Text;
        return;
    }
    EXPECT_EQ(read.options.customGamma, c.customGamma);
    for (const auto& shape : read.options.channels) {
        EXPECT_EQ(shape, c.channels);
    }
    EXPECT_EQ(read.options.intensity, c.intensity);
}

INSTANTIATE_TEST_SUITE_P(Kinds, Devices, testing::ValuesIn(kDevices),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GammaOptions, AFailingDeviceGivesItsOwnReason) {
    const Reason busy(ReasonCode::DeviceError, 3, "Device busy");
    const GammaOptionsRead read = ReadGammaOptions(DescribedDevice(ChannelTables(256, 255), busy));
    EXPECT_EQ(read.reason, busy);
}

} // namespace

}  // namespace gamma_options_test
