// tamrel-cli roll run as a program on strips the tests make: a roll of two
// strips (one across the scan, one along it, the second a TIFF made by
// ImageMagick) gives every frame found, its positive cropped to it through
// its own tables and a neutral chart; a black-and-white roll is grey; a
// strip without frames is named while the others are written; picks that
// cannot be used write nothing.
#include "image/formats/FormatTable.h"
#include "image/rows/ByteSource.h"
#include "tests/cli/CliRun.h"
#include "tests/measure/ChartReadBack.h"
#include "tests/measure/SyntheticStrip.h"
#include "tests/support/OtherProgram.h"

#include <gtest/gtest.h>

#include <sstream>

namespace roll_end_to_end_test {

namespace {

using clitest::RunCli;
using striptest::Scene;
using striptest::StripPlan;
using striptest::SyntheticStrip;
namespace fs = std::filesystem;

constexpr double kPixelsPerMm = 6.0;
constexpr std::size_t kChartFrame = 1; // of MixedFrames()

StripPlan Across() {
    StripPlan plan;
    plan.pixelsPerMm = kPixelsPerMm;
    return plan;
}

StripPlan Along() {
    StripPlan plan = Across();
    plan.alongRows = true;
    plan.frames = {{Scene::Snow, 1.2}, {Scene::Checker, 2.5}, {Scene::Portrait, 0.6}};
    plan.seed = 5;
    return plan;
}

StripPlan BlackAndWhite() {
    StripPlan plan = Across();
    plan.frames.resize(3);
    plan.blackAndWhite = true;
    plan.film.base = {0.8, 0.8, 0.8};
    plan.film.gamma = {0.62, 0.62, 0.62};
    return plan;
}

struct Frame {
    std::string strip;
    std::string number;
    PixelRect rect;
};

std::vector<Frame> FramesOf(const std::string& listing) {
    std::vector<Frame> frames;
    std::istringstream in(listing);
    for (std::string strip, number, rect; in >> strip >> number >> rect;) {
        Frame f{strip, number, {}};
        char comma = 0;
        std::istringstream(rect) >> f.rect.left >> comma >> f.rect.top >> comma >> f.rect.width >>
            comma >> f.rect.height;
        frames.push_back(f);
    }
    return frames;
}

// The stored rows of an image file, read whole by the project's reader.
class FileImage {
public:
    explicit FileImage(const fs::path& path) {
        const std::string text = ReadBytes(path);
        bytes_.assign(text.begin(), text.end());
        memory_ = std::make_unique<MemorySource>(bytes_);
        auto rows = OpenRows(ReadFormatOf(path), *memory_);
        if (rows) {
            rows_ = std::move(*rows);
        }
    }
    const RowSource* Rows() const { return rows_.get(); }

private:
    std::vector<std::uint8_t> bytes_;
    std::unique_ptr<MemorySource> memory_;
    std::unique_ptr<RowSource> rows_;
};

bool WithinOnePercent(const PixelRect& got, const PixelRect& want) {
    const double across = 0.01 * want.width, down = 0.01 * want.height;
    return std::abs(got.left - want.left) <= across &&
           std::abs(got.left + got.width - want.left - want.width) <= across &&
           std::abs(got.top - want.top) <= down &&
           std::abs(got.top + got.height - want.top - want.height) <= down;
}

class RollOfStrips : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(striptest::WritePnm(across_, (scratch_ / "across.pnm").string()));
        ASSERT_TRUE(striptest::WritePnm(along_, (scratch_ / "along.pnm").string()));
        ASSERT_TRUE(othertest::HasProgram("convert"));
        const auto made = othertest::RunProgram("convert " + (scratch_ / "along.pnm").string() +
                                                " " + (scratch_ / "along.tif").string());
        ASSERT_EQ(made.status, 0) << made.out;
    }

    // The chart's fidelity in frame `frame` (found at `found`) of `strip`.
    striptest::Fidelity ChartOf(const SyntheticStrip& strip, std::size_t frame, const Frame& found,
                                const fs::path& image) const {
        const FileImage positive(image);
        std::vector<ChannelValues> outputs;
        for (std::size_t i = 0; i < filmtest::kCheckerLab.size(); ++i) {
            PixelRect patch = strip.Patch(frame, i);
            patch.left -= found.rect.left;
            patch.top -= found.rect.top;
            outputs.push_back(striptest::MedianOf(*positive.Rows(), patch));
        }
        return striptest::FidelityOf(outputs, strip.CheckerLight());
    }

    ScratchDir scratch_;
    const SyntheticStrip across_{Across()};
    const SyntheticStrip along_{Along()};
};

TEST_F(RollOfStrips, EveryFrameOfBothStripsIsFoundAndMadeAPositive) {
    const fs::path out = scratch_ / "roll";
    const std::string first = (scratch_ / "across.pnm").string();
    const std::string second = (scratch_ / "along.tif").string();
    const auto result = RunCli(scratch_, {"roll", "--defaults", out.string(), first, second});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<Frame> frames = FramesOf(ReadBytes(out / "frames.txt"));
    ASSERT_EQ(frames.size(), 9u);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const bool onFirst = i < 6;
        const SyntheticStrip& strip = onFirst ? across_ : along_;
        EXPECT_EQ(frames[i].strip, onFirst ? first : second);
        EXPECT_EQ(frames[i].number, (i < 9 ? "0" : "") + std::to_string(i + 1));
        EXPECT_TRUE(WithinOnePercent(frames[i].rect, strip.Frame(onFirst ? i : i - 6))) << i;
        const auto size = othertest::RunProgram("identify -format '%w %h %z' " +
                                                (out / (frames[i].number + ".tif")).string());
        EXPECT_EQ(size.out, std::to_string(frames[i].rect.width) + " " +
                                std::to_string(frames[i].rect.height) + " 16");
        EXPECT_TRUE(fs::exists(out / (frames[i].number + ".tvp")));
    }
    EXPECT_TRUE(fs::exists(out / "roll.tvp"));
    for (const auto& [strip, k, i] : {std::tuple{&across_, kChartFrame, 1}, {&along_, 1, 7}}) {
        const striptest::Fidelity f = ChartOf(*strip, k, frames[std::size_t(i)],
                                              out / (frames[std::size_t(i)].number + ".tif"));
        EXPECT_LE(f.meanDeltaE, 1.0) << "frame " << i;
        EXPECT_LE(f.worstGreyAb, 1.5) << "frame " << i;
    }
}

// A frame's positive is its crop of the strip through its own parameter
// file: apply with NN.tvp on the crop (cut by ImageMagick) gives the same.
TEST_F(RollOfStrips, EachFrameIsItsCropThroughItsOwnParameterFile) {
    const fs::path out = scratch_ / "roll";
    const std::string strip = (scratch_ / "along.pnm").string();
    const auto result =
        RunCli(scratch_, {"roll", "--defaults", out.string(), strip, "--format", "png"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<Frame> frames = FramesOf(ReadBytes(out / "frames.txt"));
    ASSERT_EQ(frames.size(), 3u);
    const Frame& f = frames[2];
    const fs::path crop = scratch_ / "crop.pnm";
    const auto cut =
        othertest::RunProgram("convert " + strip + " -crop " + std::to_string(f.rect.width) + "x" +
                              std::to_string(f.rect.height) + "+" + std::to_string(f.rect.left) +
                              "+" + std::to_string(f.rect.top) + " +repage " + crop.string());
    ASSERT_EQ(cut.status, 0) << cut.out;
    const fs::path applied = scratch_ / "applied.png";
    const auto apply =
        RunCli(scratch_, {"apply", (out / "03.tvp").string(), crop.string(), applied.string()});
    ASSERT_EQ(apply.status, 0) << apply.err;
    EXPECT_EQ(ReadBytes(out / "03.png"), ReadBytes(applied));
}

TEST_F(RollOfStrips, AStripWithoutFramesIsNamedAndTheOthersAreWritten) {
    StripPlan blank = Across();
    blank.frames.assign(3, {Scene::Landscape, 0.0});
    ASSERT_TRUE(striptest::WritePnm(SyntheticStrip(blank), (scratch_ / "blank.pnm").string()));
    const fs::path out = scratch_ / "roll";
    const auto result =
        RunCli(scratch_, {"roll", "--defaults", out.string(), (scratch_ / "blank.pnm").string(),
                          (scratch_ / "along.pnm").string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.rfind(
                  "tamrel-cli: " + (scratch_ / "blank.pnm").string() + ": no frame found", 0),
              0u)
        << result.err;
    EXPECT_EQ(FramesOf(ReadBytes(out / "frames.txt")).size(), 3u);
    EXPECT_TRUE(fs::exists(out / "03.tif"));
}

TEST_F(RollOfStrips, PicksOnAnyStripHoldForTheRollAndBadOnesWriteNothing) {
    const PixelRect light = along_.Patch(1, filmtest::kLightGrey);
    const PixelRect dark = along_.Patch(1, filmtest::kDarkGrey);
    const PixelRect onFrame = across_.Patch(kChartFrame, filmtest::kFirstGrey);
    const auto rect = [](const PixelRect& r) {
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," +
               std::to_string(r.width) + "," + std::to_string(r.height);
    };
    const std::string first = (scratch_ / "across.pnm").string();
    const std::string second = (scratch_ / "along.pnm").string();
    const fs::path out = scratch_ / "picked";
    const auto picked =
        RunCli(scratch_, {"roll", "--defaults", out.string(), first, second, "--neutral",
                          "along.pnm:" + rect(light), "--neutral", second + ":" + rect(dark),
                          "--base", "across.pnm:" + rect(across_.Gap(2))});
    ASSERT_EQ(picked.status, 0) << picked.err;
    EXPECT_NE(ReadBytes(out / "roll.tvp").find("FilmNeutrals=2"), std::string::npos);
    const std::vector<Frame> frames = FramesOf(ReadBytes(out / "frames.txt"));
    ASSERT_EQ(frames.size(), 9u);
    EXPECT_LE(ChartOf(across_, kChartFrame, frames[1], out / "02.tif").worstGreyAb, 0.5);

    const auto bad = RunCli(scratch_, {"roll", "--defaults", (scratch_ / "bad").string(), first,
                                       "--base", "across.pnm:" + rect(onFrame)});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("--base across.pnm:" + rect(onFrame) +
                           ": the base should be the clearest film (its border or a gap between "
                           "frames), but "),
              std::string::npos)
        << bad.err;
    EXPECT_NE(bad.err.find("% of the strip's frames is clearer than it; at most 40 % may be"),
              std::string::npos)
        << bad.err;
    EXPECT_FALSE(fs::exists(scratch_ / "bad"));
}

TEST(CliRoll, ABlackAndWhiteRollIsGrey) {
    ScratchDir scratch;
    const SyntheticStrip strip(BlackAndWhite());
    ASSERT_TRUE(striptest::WritePnm(strip, (scratch / "bw.pnm").string()));
    const fs::path out = scratch / "bw";
    const auto result =
        RunCli(scratch, {"roll", "--defaults", out.string(), (scratch / "bw.pnm").string(), "--bw",
                         "--format", ".PNM"});
    ASSERT_EQ(result.status, 0) << result.err;
    for (const char* name : {"01.pnm", "02.pnm", "03.pnm"}) {
        const FileImage image(out / name);
        ASSERT_NE(image.Rows(), nullptr) << name;
        const RowLayout& layout = image.Rows()->Layout();
        std::vector<std::uint8_t> scratchRows(
            std::size_t(image.Rows()->ScratchBytes(layout.Height)));
        const FetchedRows rows = image.Rows()->Rows(0, layout.Height, scratchRows.data());
        std::size_t differ = 0;
        for (std::int64_t i = 0; i < layout.Height * layout.Stride; i += 6) {
            differ += std::memcmp(rows.First + i, rows.First + i + 2, 2) != 0 ||
                      std::memcmp(rows.First + i, rows.First + i + 4, 2) != 0;
        }
        EXPECT_EQ(differ, 0u) << name;
    }
}

TEST(CliRoll, HelpDescribesTheCommand) {
    ScratchDir scratch;
    const auto result = RunCli(scratch, {"roll", "--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(
        result.out.rfind("Usage: tamrel-cli roll (PARAMS.tvp | --defaults) OUTDIR STRIP...", 0),
        0u);
    EXPECT_NE(result.out.find("frames.txt"), std::string::npos);
}

} // namespace

} // namespace roll_end_to_end_test
