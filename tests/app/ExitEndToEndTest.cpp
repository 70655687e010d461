// The real program, started as users start it, ends cleanly whichever way its
// window is closed: faults at exit happen after main returns, where no test
// inside one process can see them.
#include "curve/ChannelParams.h"
#include "tests/app/RunTamrel.h"
#include "tests/image/BmpWriter.h"
#include "tests/image/ScanFiles.h"

#include <gtest/gtest.h>

namespace exit_end_to_end_test {

namespace {

using apptest::RunSetup;
using apptest::RunTamrel;

RunSetup ScriptOnly(std::string script) {
    RunSetup setup;
    setup.script = std::move(script);
    return setup;
}

TEST(TamrelProcess, ExitsWithStatusZeroWhicheverWayTheWindowCloses) {
    const struct {
        const char* how;
        const char* script;
    } ways[] = {
        {"the 閉じる button", "click IDOK"},
        {"Escape", "key Escape"},
        {"Return on the default button", "key Return"},
        {"the close box", "close"},
        {"閉じる in the menu from Shift+F10", "key Shift+F10; key C"},
        {"閉じる in the menu after a slider move", "key Tab; key Right; key Shift+F10; key C"},
    };
    for (const auto& way : ways) {
        const ScratchDir scratch;
        const auto result = RunTamrel(scratch, ScriptOnly(way.script));
        EXPECT_TRUE(result.exited) << way.how << ": signal " << result.signal << "\n" << result.err;
        EXPECT_EQ(result.status, 0) << way.how << "\n" << result.err;
    }
}

} // namespace

namespace {

// The red readout number from "IDC_PIXEL_R=R: 123" lines, in order.
std::vector<int> RedReadings(const std::string& out) {
    std::vector<int> values;
    const std::string key = "IDC_PIXEL_R=R: ";
    for (std::size_t at = 0; (at = out.find(key, at)) != std::string::npos; at += key.size()) {
        values.push_back(std::stoi(out.substr(at + key.size())));
    }
    return values;
}

// A grey ramp whose level is the column number (mod 256), larger than the
// image area at scale 2, so the pointer is over it wherever it rests.
bmptest::Picture ColumnRamp() {
    bmptest::Picture p{1024, 1200, {}};
    for (std::int32_t y = 0; y < p.height; ++y) {
        for (std::int32_t x = 0; x < p.width; ++x) {
            const std::uint32_t level = static_cast<std::uint32_t>(x) & 0xFF;
            p.pixels.push_back(level << 16 | level << 8 | level);
        }
    }
    return p;
}

// True when the readings are the table at some column c, c + stride, ...
bool ReadingsStepBy(const std::vector<int>& red, int stride) {
    GammaTable table{};
    ComputeChannelTable(kDefaultChannelParams, table);
    for (int start = 0; start < 256; ++start) {
        bool all = true;
        for (std::size_t k = 0; k < red.size() && all; ++k) {
            all = table[(start + stride * static_cast<int>(k)) & 0xFF] == red[k];
        }
        if (all) {
            return true;
        }
    }
    return false;
}

// At scale 2 one image pixel is one device pixel, and the readout follows: a
// pointer move of one logical pixel passes two image columns. (Before, the
// preview was enlarged with the screen and the reading moved by one.)
TEST(TamrelProcess, AtScaleTwoTheReadoutNamesOneImagePixelPerDevicePixel) {
    const ScratchDir scratch;
    const auto bmp = scratch / "ramp.bmp";
    bmptest::WriteFile(bmp, bmptest::EncodeBmp(ColumnRamp()));
    std::string script =
        "click IDC_OPEN_IMAGE; wait 300; type " + bmp.string() + "; key Return; wait 500";
    for (int x = 40; x < 46; ++x) {
        script += "; move IDC_IMAGE " + std::to_string(x) + " 60; print IDC_PIXEL_R";
    }
    RunSetup setup = ScriptOnly(script + "; key Escape");
    setup.env = {{"QT_SCALE_FACTOR", "2"}};
    const auto result = RunTamrel(scratch, setup);
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<int> red = RedReadings(result.out);
    ASSERT_EQ(red.size(), 6u) << result.out;
    EXPECT_TRUE(ReadingsStepBy(red, 2)) << result.out;
    EXPECT_FALSE(ReadingsStepBy(red, 1)) << result.out;
}

// 16-bit scans opened through the real file dialog keep their 16 bits: sample
// x * 257 of maxval 65535 reads out as itself before the curves where the
// BMP of level x reads x, and through the curves as the 16-bit level whose
// nearest screen level is the BMP's (a rounding apart at most).
TEST(TamrelProcess, SixteenBitScansReadOutAsTheirOwnSamples) {
    const ScratchDir scratch;
    const auto bmp = scratch / "ramp.bmp";
    bmptest::WriteFile(bmp, bmptest::EncodeBmp(ColumnRamp()));
    const scantest::SampleAt ramp = [](std::int32_t x, std::int32_t, int) {
        return static_cast<std::uint16_t>((x & 0xFF) * 257);
    };
    const auto pnm = scratch / "ramp.pnm";
    bmptest::WriteFile(pnm, scantest::EncodePnm(1024, 1200, 1, 65535, ramp));
    const auto tiff = scratch / "ramp.TIF";
    bmptest::WriteFile(tiff, scantest::EncodeRgb16(1024, 1200, scantest::Rgb16Format::Tiff, ramp));
    std::string reads;
    for (int x = 40; x < 200; x += 37) {
        reads += "; move IDC_IMAGE " + std::to_string(x) + " 60; print IDC_PIXEL_R";
    }
    std::vector<std::vector<int>> readings;
    for (const auto& file : {bmp, pnm, tiff}) {
        std::string script =
            "click IDC_OPEN_IMAGE; wait 300; type " + file.string() + "; key Return; wait 800";
        // 補正前の画像, the context menu's sixth entry.
        script += reads + "; key Shift+F10; wait 100";
        for (int i = 0; i < 6; ++i) {
            script += "; key Down";
        }
        script += "; key Return; wait 300" + reads;
        const auto result = RunTamrel(scratch, ScriptOnly(script + "; key Escape"));
        ASSERT_EQ(result.status, 0) << result.err;
        readings.push_back(RedReadings(result.out));
        ASSERT_EQ(readings.back().size(), 10u) << file << "\n" << result.out;
    }
    for (std::size_t file = 1; file < readings.size(); ++file) {
        for (std::size_t i = 0; i < 5; ++i) {
            const int level = readings[0][i];
            EXPECT_EQ(readings[file][i + 5], readings[0][i + 5] * 257) << file << ", " << i;
            EXPECT_NEAR((readings[file][i] * 255 + 32767) / 65535, level, 1) << file << ", " << i;
            EXPECT_GT(readings[file][i], level) << "a 16-bit level, not the screen's";
        }
    }
}

} // namespace

} // namespace exit_end_to_end_test
