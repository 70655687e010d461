// tamrel-cli auto, run as a program: Black and White from the image by the
// window's rule, Alpha and Gamma from PARAMS, and nothing written on failure.
#include "io/ParamFileReader.h"
#include "io/ParamFileWriter.h"
#include "tests/cli/CliRun.h"
#include "tests/image/BmpWriter.h"

#include <gtest/gtest.h>

namespace auto_end_to_end_test {

namespace {

using clitest::RunCli;

// 1000 pixels. Red: 3 at level 2, the rest at 100..199, 3 at 240.
// Green: all at 60. Blue: 0..249 four times.
bmptest::Picture Scan() {
    bmptest::Picture p{40, 25, {}};
    for (std::uint32_t i = 0; i < 1000; ++i) {
        const std::uint32_t red = i < 3 ? 2 : i >= 997 ? 240 : 100 + i % 100;
        p.pixels.push_back(red << 16 | 60u << 8 | i % 250);
    }
    return p;
}

ParamPositionSet Params() {
    ParamPositionSet set{};
    set[kRed] = {0, 255, 120, 180};
    set[kGreen] = {50, 230, 10, 220};
    set[kBlue] = {100, 200, 0, 150};
    return set;
}

class CliAuto : public testing::Test {
protected:
    CliAuto() {
        bmptest::WriteFile(scratch_ / "scan.bmp", bmptest::EncodeBmp(Scan(), {}));
        EXPECT_EQ(SaveParamFile(scratch_ / "p.tvp", Params()), WriteResult::Ok);
    }
    std::string In() const { return (scratch_ / "scan.bmp").string(); }
    std::string Out() const { return (scratch_ / "out.tvp").string(); }

    ScratchDir scratch_;
};

TEST_F(CliAuto, BlackAndWhiteFromTheImageAlphaAndGammaFromTheParameters) {
    const auto result = RunCli(scratch_, {"auto", (scratch_ / "p.tvp").string(), In(), Out()});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const ParamLoad load = LoadParamFile(Out());
    ASSERT_EQ(load.result, LoadResult::Ok);
    // 0.1 % of 1000 is 1: the 3 red pixels at each end are too many to clip.
    EXPECT_EQ(load.positions[kRed], (ParamPositions{10, 241, 120, 180}));
    EXPECT_EQ(load.positions[kGreen], (ParamPositions{100, 200, 10, 220}));
    EXPECT_EQ(load.positions[kBlue], (ParamPositions{0, 250, 0, 150}));
}

TEST_F(CliAuto, AnImageThatCannotBeReadWritesNothing) {
    WriteBytes(scratch_ / "text.bmp", "not an image");
    WriteBytes(scratch_ / "empty.bmp", [] {
        const auto bytes = bmptest::EncodeBmp(bmptest::Picture{4, 0, {}});
        return std::string(bytes.begin(), bytes.end()) + "xx"; // 56 bytes, no rows
    }());
    const std::pair<std::string, std::string> cases[] = {
        {(scratch_ / "missing.bmp").string(), "cannot open: No such file or directory"},
        {(scratch_ / "text.bmp").string(), "not a BMP file"},
        {(scratch_ / "empty.bmp").string(), "the image has no pixels"},
    };
    for (const auto& [input, reason] : cases) {
        const auto result = RunCli(scratch_, {"auto", "--defaults", input, Out()});
        EXPECT_EQ(result.status, 1) << input;
        EXPECT_EQ(result.err, "tamrel-cli: " + input + ": " + reason + "\n");
        EXPECT_FALSE(std::filesystem::exists(Out())) << input;
    }
}

TEST_F(CliAuto, NeverWritesOverItsOwnImage) {
    const std::string before = ReadBytes(In());
    const auto result = RunCli(scratch_, {"auto", "--defaults", In(), In()});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("would replace its own input"), std::string::npos) << result.err;
    EXPECT_EQ(ReadBytes(In()), before);
}

} // namespace

} // namespace auto_end_to_end_test
