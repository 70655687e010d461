// The scan area and the source on described devices of the kinds backends
// offer: geometry in millimetres or pixels, Int or Fixed, with steps; bed
// limits named in refusals; a source that changes the bed.
#include "scan/BedGeometry.h"
#include "scan/ScanResolution.h"
#include "scan/ScanSource.h"
#include "tests/scan/SettableDevice.h"

#include <gtest/gtest.h>

#include <array>

namespace scan_area_test {

namespace {

using scantest::ListOption;
using scantest::NumberOption;
using scantest::SettableDevice;

constexpr std::array<const char*, 4> kEdges = {"tl-x", "tl-y", "br-x", "br-y"};

// Four edges sharing one type, unit and range per axis.
OptionDescriptors Geometry(OptionType type, OptionUnit unit, OptionRange across, OptionRange down) {
    return {NumberOption("tl-x", type, unit, across), NumberOption("tl-y", type, unit, down),
            NumberOption("br-x", type, unit, across), NumberOption("br-y", type, unit, down)};
}

OptionDescriptors With(OptionDescriptors options, std::initializer_list<OptionDescriptor> more) {
    options.insert(options.end(), more);
    return options;
}

std::int32_t Fx(double value) {
    return FixedOf(value);
}

struct AreaCase {
    const char* name;
    OptionDescriptors options;
    std::vector<std::pair<const char*, std::int32_t>> values; // set beforehand
    ScanArea area;
    std::array<std::int32_t, 4> words; // tl-x, tl-y, br-x, br-y
    ScanArea bed;
};

// Pixels are counted at the device's highest resolution, whatever is set.
TEST(ScanArea, MillimetresBecomeTheDevicesUnitRoundedToItsSteps) {
    const OptionDescriptor dpi =
        NumberOption("resolution", OptionType::Int, OptionUnit::Dpi, {75, 1200, 0});
    const AreaCase cases[] = {
        {"Fixed millimetres without a step",
         Geometry(OptionType::Fixed, OptionUnit::Millimetre, {0, Fx(215.9), 0}, {0, Fx(297), 0}),
         {},
         ScanArea::OfSize(10.25, 20, 100, 50.5),
         {Fx(10.25), Fx(20), Fx(110.25), Fx(70.5)},
         {0, 0, 215.9, 297}},
        {"Fixed millimetres in steps of 1 mm",
         Geometry(OptionType::Fixed, OptionUnit::Millimetre, {0, Fx(200), Fx(1)},
                  {0, Fx(200), Fx(1)}),
         {},
         ScanArea::OfSize(10.4, 0, 49.8, 200),
         {Fx(10), 0, Fx(60), Fx(200)},
         {0, 0, 200, 200}},
        {"Int millimetres from a bed that does not start at 0",
         Geometry(OptionType::Int, OptionUnit::Millimetre, {3, 219, 1}, {0, 300, 2}),
         {},
         ScanArea::OfSize(3, 2.9, 100, 100),
         {3, 2, 103, 102},
         {3, 0, 219, 300}},
        {"Int pixels at the highest of 75..1200 dpi, 300 set",
         With(Geometry(OptionType::Int, OptionUnit::Pixel, {0, 10200, 1}, {0, 14032, 1}), {dpi}),
         {{"resolution", 300}},
         ScanArea::OfSize(25.4, 0, 50.8, 25.4),
         {1200, 0, 3600, 1200},
         {0, 0, 215.9, 14032 * 25.4 / 1200}},
        {"Int pixels at the highest of 2400 x 1200 dpi",
         With(Geometry(OptionType::Int, OptionUnit::Pixel, {0, 20400, 1}, {0, 14032, 1}),
              {NumberOption("x-resolution", OptionType::Fixed, OptionUnit::Dpi,
                            {Fx(75), Fx(2400), 0}),
               NumberOption("y-resolution", OptionType::Fixed, OptionUnit::Dpi,
                            {Fx(75), Fx(1200), 0})}),
         {{"x-resolution", Fx(600)}, {"y-resolution", Fx(300)}},
         ScanArea::OfSize(0, 25.4, 25.4, 25.4),
         {0, 1200, 2400, 2400},
         {0, 0, 215.9, 14032 * 25.4 / 1200}},
    };
    for (const AreaCase& c : cases) {
        SettableDevice device(c.options);
        for (const auto& [name, word] : c.values) {
            device.Store(name, {{word}, {}});
        }
        const BedRead read = BedOf(device);
        ASSERT_FALSE(read.reason) << c.name << ": " << read.reason.Text;
        const ScanArea bed = read.bed.Whole();
        EXPECT_NEAR(bed.left, c.bed.left, 1e-4) << c.name;
        EXPECT_NEAR(bed.top, c.bed.top, 1e-4) << c.name;
        EXPECT_NEAR(bed.right, c.bed.right, 1e-4) << c.name;
        EXPECT_NEAR(bed.bottom, c.bed.bottom, 1e-4) << c.name;
        const Reason reason = SetScanArea(device, c.area);
        ASSERT_FALSE(reason) << c.name << ": " << reason.Text;
        for (std::size_t e = 0; e < kEdges.size(); ++e) {
            EXPECT_EQ(device.Words(kEdges[e]), std::vector<std::int32_t>{c.words[e]})
                << c.name << ", " << kEdges[e];
        }
    }
}

TEST(ScanArea, AnAreaBeyondTheBedOrEmptyIsRefusedNamingTheLimitsAndSetsNothing) {
    struct Case {
        const char* name;
        ScanArea area;
        const char* text;
    };
    const Case cases[] = {
        {"too wide", ScanArea::OfSize(100, 0, 150, 10),
         "area: 100..250 mm across is outside the bed's 0..200 mm"},
        {"too low", ScanArea::OfSize(0, 150.5, 10, 200),
         "area: 150.5..350.5 mm down is outside the bed's 0..300 mm"},
        {"left of the bed", ScanArea::OfSize(-5, 0, 10, 10),
         "area: -5..5 mm across is outside the bed's 0..200 mm"},
        {"no width", ScanArea::OfSize(0, 0, 0, 10),
         "area: the width and height must be above 0 mm"},
        {"negative height", ScanArea::OfSize(0, 0, 10, -10),
         "area: the width and height must be above 0 mm"},
        {"narrower than a step", ScanArea::OfSize(10, 0, 0.2, 10),
         "area: 0.2 mm across is less than the device's step of 1 mm"},
    };
    for (const Case& c : cases) {
        SettableDevice device(Geometry(OptionType::Fixed, OptionUnit::Millimetre,
                                       {0, Fx(200), Fx(1)}, {0, Fx(300), Fx(1)}));
        const Reason reason = SetScanArea(device, c.area);
        EXPECT_EQ(reason.Code, ReasonCode::Unsupported) << c.name;
        EXPECT_EQ(reason.Text, c.text) << c.name;
        EXPECT_TRUE(device.sets.empty()) << c.name;
    }
}

TEST(ScanArea, ADeviceWithoutGeometryOrAResolutionForPixelsIsRefused) {
    SettableDevice none({});
    EXPECT_EQ(BedOf(none).reason.Text, "area: the device has no tl-x option to set it");
    SettableDevice pixels(Geometry(OptionType::Int, OptionUnit::Pixel, {0, 2550, 1}, {0, 3508, 1}));
    EXPECT_EQ(SetScanArea(pixels, {0, 0, 10, 10}).Text,
              "area: tl-x counts pixels, but the device names no resolution");
}

// A backend that refuses a top-left edge past the bottom-right one still
// takes an area that lies wholly beyond the present one.
TEST(ScanArea, TheEdgesNeverCrossOnTheWayToANewArea) {
    SettableDevice device(
        Geometry(OptionType::Fixed, OptionUnit::Millimetre, {0, Fx(200), 0}, {0, Fx(200), 0}));
    device.strictEdges = true;
    ASSERT_FALSE(SetScanArea(device, {0, 0, 20, 20}));
    ASSERT_FALSE(SetScanArea(device, ScanArea::OfSize(150, 150, 40, 40)));
    EXPECT_EQ(device.Words("tl-x"), std::vector<std::int32_t>{Fx(150)});
    EXPECT_EQ(device.Words("br-y"), std::vector<std::int32_t>{Fx(190)});
    ASSERT_FALSE(SetScanArea(device, {0, 0, 10, 10}));
    EXPECT_EQ(device.Words("br-x"), std::vector<std::int32_t>{Fx(10)});
}

OptionDescriptors FeederScanner() {
    return With(
        Geometry(OptionType::Fixed, OptionUnit::Millimetre, {0, Fx(216), 0}, {0, Fx(297), 0}),
        {ListOption("source", {"Flatbed", "ADF Duplex"})});
}

// The feeder takes legal paper, longer than the glass: the backend widens
// br-y's range when the source changes, without saying so.
TEST(ScanSource, SettingASourceReadsTheOptionsAnewSoItsBedApplies) {
    SettableDevice device(FeederScanner());
    device.afterSet = [](SettableDevice& d, const std::string& name) {
        if (name == "source") {
            d.Constrain("br-y", OptionRange{0, Fx(356), 0});
        }
    };
    ASSERT_TRUE(SetScanArea(device, {0, 0, 216, 356})); // beyond the glass
    ASSERT_FALSE(SetSource(device, "adf duplex"));
    EXPECT_EQ(device.Text("source"), "ADF Duplex"); // in the device's spelling
    EXPECT_NEAR(BedOf(device).bed.Whole().bottom, 356, 1e-4);
    EXPECT_FALSE(SetScanArea(device, {0, 0, 216, 356}));
}

TEST(ScanSource, AnUnknownSourceOrNoneIsRefusedListingTheValidNames) {
    SettableDevice device(FeederScanner());
    EXPECT_EQ(SourcesOf(device), (std::vector<std::string>{"Flatbed", "ADF Duplex"}));
    const Reason unknown = SetSource(device, "Transparency");
    EXPECT_EQ(unknown.Code, ReasonCode::Unsupported);
    EXPECT_EQ(unknown.Text, "source: 'Transparency' is not one of Flatbed, ADF Duplex");
    EXPECT_TRUE(device.sets.empty());
    SettableDevice fixed({});
    EXPECT_TRUE(SourcesOf(fixed).empty());
    EXPECT_EQ(SetSource(fixed, "Flatbed").Text, "source: the device offers no choice of source");
}

TEST(ScanSource, OnlyASourceNamedAFlatbedCountsAsOne) {
    struct Case {
        const char* source;
        bool flatbed;
    };
    for (const Case c : {Case{"Flatbed", true}, Case{"FlatBed (Duplex)", true},
                         Case{"ADF Duplex", false}, Case{"Automatic Document Feeder", false}}) {
        SettableDevice device({ListOption("source", {c.source})});
        device.Store("source", {{}, c.source});
        EXPECT_EQ(IsFlatbedSource(device), c.flatbed) << c.source;
    }
    SettableDevice none({});
    EXPECT_FALSE(IsFlatbedSource(none));
}

TEST(ScanResolution, ComesFromTheResolutionOptionsTheDeviceHas) {
    using Values = std::vector<std::pair<const char*, std::int32_t>>;
    struct Case {
        const char* name;
        OptionDescriptors options;
        Values values;
        std::optional<ScanResolution> dpi;
    };
    const auto dpiOption = [](const char* name, OptionType type) {
        return NumberOption(name, type, OptionUnit::Dpi,
                            {1, type == OptionType::Fixed ? Fx(1200) : 1200, 0});
    };
    const Case cases[] = {
        {"one Int resolution",
         {dpiOption("resolution", OptionType::Int)},
         {{"resolution", 300}},
         ScanResolution{300, 300}},
        {"one Fixed resolution",
         {dpiOption("resolution", OptionType::Fixed)},
         {{"resolution", Fx(75.5)}},
         ScanResolution{75.5, 75.5}},
        {"x and y apart",
         {dpiOption("x-resolution", OptionType::Int), dpiOption("y-resolution", OptionType::Int)},
         {{"x-resolution", 600}, {"y-resolution", 1200}},
         ScanResolution{600, 1200}},
        {"y bound to the resolution",
         {dpiOption("resolution", OptionType::Int), dpiOption("x-resolution", OptionType::Int),
          dpiOption("y-resolution", OptionType::Int)},
         {{"resolution", 150}, {"x-resolution", 300}},
         ScanResolution{300, 150}},
        {"none", {}, {}, std::nullopt},
    };
    for (const Case& c : cases) {
        SettableDevice device(c.options);
        for (const auto& [name, word] : c.values) {
            device.Store(name, {{word}, {}});
        }
        EXPECT_EQ(ResolutionOf(device), c.dpi) << c.name;
    }
}

} // namespace

} // namespace scan_area_test
