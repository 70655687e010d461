// The scan dialog's remembered choices: per device by name, read back by a
// later run, with stored values that do not read as their kind ignored.
#include "ui/ScanMemory.h"
#include "platform/SettingsStore.h"
#include "tests/io/ScratchDir.h"

#include <gtest/gtest.h>

namespace scan_memory_test {

namespace {

QString FileIn(const ScratchDir& scratch) {
    return QString::fromStdString((scratch / "Tamrel.conf").string());
}

TEST(ScanMemory, EachDevicesChoicesAreKeptApartAndReadBackByTheNextRun) {
    const ScratchDir scratch;
    const RememberedScan feeder{600,
                                QStringLiteral("Gray"),
                                16,
                                QStringLiteral("Automatic Document Feeder"),
                                ScanArea{10.5, 20, 110.25, 150},
                                std::nullopt};
    const RememberedScan flatbed{1200,
                                 QStringLiteral("Color"),
                                 8,
                                 QStringLiteral("Flatbed"),
                                 ScanArea{0, 0, 215.9, 297},
                                 std::nullopt};
    {
        SettingsStore settings(FileIn(scratch));
        ScanMemory memory(settings);
        memory.Keep(QStringLiteral("net:host:plustek:libusb:001:004"), feeder);
        memory.Keep(QStringLiteral("test:0/b"), flatbed);
    }
    SettingsStore settings(FileIn(scratch));
    const ScanMemory memory(settings);
    EXPECT_EQ(memory.LastDevice(), QStringLiteral("test:0/b"));
    for (const auto& [device, kept] :
         {std::pair{QStringLiteral("net:host:plustek:libusb:001:004"), feeder},
          std::pair{QStringLiteral("test:0/b"), flatbed}}) {
        const RememberedScan read = memory.For(device);
        EXPECT_EQ(read.resolution, kept.resolution) << device.toStdString();
        EXPECT_EQ(read.mode, kept.mode);
        EXPECT_EQ(read.depth, kept.depth);
        EXPECT_EQ(read.source, kept.source);
        ASSERT_TRUE(read.area.has_value());
        EXPECT_EQ(*read.area, *kept.area);
    }
    const RememberedScan unknown = memory.For(QStringLiteral("other:1"));
    EXPECT_FALSE(unknown.resolution || unknown.depth || unknown.area);
}

// An earlier version's area (from the bed's corner) is read until the
// choices are kept again, which writes the area anew and drops the old key.
TEST(ScanMemory, TheAreaAnEarlierVersionKeptIsReadOnceThenReplaced) {
    const ScratchDir scratch;
    SettingsStore settings(FileIn(scratch));
    const QString oldKey = QStringLiteral("devices/test%3A0/area");
    settings.SetValue(oldKey, QStringLiteral("1,2,30,40"));
    ScanMemory memory(settings);
    const RememberedScan before = memory.For(QStringLiteral("test:0"));
    EXPECT_FALSE(before.area.has_value());
    ASSERT_TRUE(before.cornerArea.has_value());
    EXPECT_EQ(*before.cornerArea, (ScanArea{1, 2, 30, 40}));
    RememberedScan kept = before;
    kept.area = ScanArea{4, 5, 33, 43};
    memory.Keep(QStringLiteral("test:0"), kept);
    const RememberedScan after = ScanMemory(settings).For(QStringLiteral("test:0"));
    ASSERT_TRUE(after.area.has_value());
    EXPECT_EQ(*after.area, (ScanArea{4, 5, 33, 43}));
    EXPECT_FALSE(after.cornerArea.has_value());
    EXPECT_FALSE(settings.Value(oldKey).isValid());
}

TEST(ScanMemory, StoredValuesThatDoNotReadAsTheirKindAreIgnored) {
    const ScratchDir scratch;
    SettingsStore settings(FileIn(scratch));
    const QString device = QStringLiteral("devices/test%3A0/");
    const struct {
        const char* area;
        const char* resolution;
    } cases[] = {
        {"1,2,3", "abc"},
        {"5,5,1,1", "-300"},
        {"a,b,c,d", "0"},
        {"-1,0,10,10", ""},
    };
    for (const auto& c : cases) {
        settings.SetValue(device + "scanArea", QString::fromLatin1(c.area));
        settings.SetValue(device + "area", QString::fromLatin1(c.area));
        settings.SetValue(device + "resolution", QString::fromLatin1(c.resolution));
        const RememberedScan read = ScanMemory(settings).For(QStringLiteral("test:0"));
        EXPECT_FALSE(read.area.has_value()) << c.area;
        EXPECT_FALSE(read.cornerArea.has_value()) << c.area;
        EXPECT_FALSE(read.resolution.has_value()) << c.resolution;
    }
}

} // namespace

} // namespace scan_memory_test
