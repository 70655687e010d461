// libsane with SANE's virtual "test" backend, configured by the project's
// own SANE_CONFIG_DIR: devices, options and failures as the library gives them.
#include "scan/SaneSession.h"
#include "scan/GammaOptions.h"
#include "tests/curve/TableShapePrint.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace sane_session_test {

namespace {

constexpr const char* kTestDevice = "test:0";

TEST(SaneSession, ListsTheVirtualTestDevice) {
    const SaneSession session;
    ASSERT_FALSE(session.Failure()) << session.Failure().Text;
    const DeviceList list = session.Devices();
    ASSERT_FALSE(list.reason) << list.reason.Text;
    const auto found = std::find_if(list.devices.begin(), list.devices.end(),
                                    [](const DeviceInfo& d) { return d.name == kTestDevice; });
    ASSERT_NE(found, list.devices.end());
    EXPECT_FALSE(found->vendor.empty());
    EXPECT_FALSE(found->type.empty());
}

// Its red, green and blue tables are the window's shape; its intensity table
// is larger.
TEST(SaneSession, TheTestDeviceTakesChannelTablesOf256EntriesAndAnIntensityTableOf4096) {
    const SaneSession session;
    const DeviceOpen open = session.Open(kTestDevice);
    ASSERT_FALSE(open.reason) << open.reason.Text;
    ASSERT_TRUE(open.device.has_value());
    const GammaOptionsRead read = ReadGammaOptions(*open.device);
    ASSERT_FALSE(read.reason) << read.reason.Text;
    EXPECT_FALSE(read.options.customGamma);
    for (const auto& shape : read.options.channels) {
        EXPECT_EQ(shape, kWindowShape);
    }
    EXPECT_EQ(read.options.intensity, (TableShape{4096, 255}));
}

TEST(SaneSession, AnUnknownDeviceIsADeviceErrorNamingTheDevicesFound) {
    const SaneSession session;
    const DeviceOpen open = session.Open("nosuch:0");
    EXPECT_EQ(open.reason.Code, ReasonCode::DeviceError);
    EXPECT_EQ(open.reason.Value, SANE_STATUS_INVAL);
    EXPECT_EQ(open.reason.Text, "no such device (SANE finds test:0, test:1)");
    EXPECT_FALSE(open.device.has_value());
}

// A restart would close the device behind its owner's back: it waits until
// the device is closed, and then the session lists and opens as before.
TEST(SaneSession, ARestartWaitsUntilNoDeviceIsOpen) {
    SaneSession session;
    {
        const DeviceOpen open = session.Open(kTestDevice);
        ASSERT_TRUE(open.device.has_value());
        EXPECT_FALSE(session.Restart());
        EXPECT_FALSE(open.device->Options().reason) << "the device still answers";
    }
    EXPECT_TRUE(session.Restart());
    EXPECT_FALSE(session.Failure());
    EXPECT_FALSE(session.Devices().devices.empty());
    EXPECT_TRUE(session.Open(kTestDevice).device.has_value());
}

} // namespace

}  // namespace sane_session_test
