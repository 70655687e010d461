// A roll written into its folder through the one road the tool and the
// window share: every file named and listed in order, a stop that leaves no
// positive half-written, the progress of each strip's read, an output that
// would replace a strip refused; and a frame read alone as the window's
// picture.
#include "image/RollOutputs.h"
#include "image/ReadImage.h"
#include "tests/image/ScanFiles.h"
#include "tests/io/ScratchDir.h"
#include "tests/support/TextLines.h"

#include <gtest/gtest.h>

namespace roll_outputs_test {

namespace {

namespace fs = std::filesystem;

constexpr std::int32_t kWidth = 48;
constexpr std::int32_t kHeight = 20;

fs::path WriteStrip(const ScratchDir& scratch, const std::string& name, int seed) {
    const std::vector<std::uint8_t> bytes =
        scantest::EncodePnm(kWidth, kHeight, 3, 65535, [&](std::int32_t x, std::int32_t y, int c) {
            return std::uint16_t((x * 1301 + y * 977 + c * 10007 + seed * 333) & 0xFFFF);
        });
    WriteBytes(scratch / name, std::string(bytes.begin(), bytes.end()));
    return scratch / name;
}

struct Roll {
    RollTarget target;
    std::vector<RollFrame> frames;
};

// Two frames on the first strip, one on the second, into `folder`.
Roll TwoStrips(const ScratchDir& scratch, const fs::path& folder) {
    Roll roll;
    roll.target.folder = folder;
    roll.target.strips = {WriteStrip(scratch, "a.pnm", 1), WriteStrip(scratch, "b.pnm", 2)};
    const std::vector<std::vector<PixelRect>> rects = {{{2, 3, 20, 14}, {25, 3, 20, 14}},
                                                       {{4, 1, 30, 18}}};
    roll.frames = NumberFrames(rects, {{{}, {}}, {{}}});
    fs::create_directories(folder);
    return roll;
}

using texttest::Lines;

} // namespace

TEST(RollOutputs, FramesAreNumberedAcrossStripsWithAsManyDigitsAsTheLastNeeds) {
    const struct {
        std::size_t frames;
        std::string first, last;
    } cases[] = {{1, "01", "01"}, {99, "01", "99"}, {100, "001", "100"}};
    for (const auto& c : cases) {
        const std::vector<std::vector<PixelRect>> rects = {
            std::vector<PixelRect>(c.frames / 2), std::vector<PixelRect>(c.frames - c.frames / 2)};
        const std::vector<std::vector<FilmSettings>> films = {
            std::vector<FilmSettings>(rects[0].size()), std::vector<FilmSettings>(rects[1].size())};
        const std::vector<RollFrame> frames = NumberFrames(rects, films);
        ASSERT_EQ(frames.size(), c.frames);
        EXPECT_EQ(frames.front().number, c.first);
        EXPECT_EQ(frames.back().number, c.last);
        EXPECT_EQ(frames.back().strip, 1u);
    }
}

TEST(RollOutputs, EveryFileIsWrittenAndTheFramesListedInOrderAlongTheStrips) {
    const ScratchDir scratch;
    const Roll roll = TwoStrips(scratch, scratch / "out");
    const std::vector<RollProblem> problems = WriteRoll(roll.target, {}, roll.frames);
    EXPECT_TRUE(problems.empty());
    const fs::path& out = roll.target.folder;
    EXPECT_EQ(Lines(ReadBytes(out / "frames.txt")),
              (std::vector<std::string>{roll.target.strips[0].string() + " 01 2,3,20,14",
                                        roll.target.strips[0].string() + " 02 25,3,20,14",
                                        roll.target.strips[1].string() + " 03 4,1,30,18"}));
    for (const std::string name :
         {"roll.tvp", "01.tvp", "02.tvp", "03.tvp", "01.tif", "02.tif", "03.tif"}) {
        EXPECT_TRUE(fs::is_regular_file(out / name)) << name;
    }
}

TEST(RollOutputs, AStopBeforeTheReadLeavesNoPositiveAndNamesEachAsStopped) {
    const ScratchDir scratch;
    const Roll roll = TwoStrips(scratch, scratch / "out");
    const std::atomic<bool> cancel{true};
    const std::vector<RollProblem> problems =
        WriteRoll(roll.target, {}, roll.frames, RollControl{&cancel, {}});
    ASSERT_EQ(problems.size(), 3u);
    for (const RollProblem& problem : problems) {
        EXPECT_EQ(problem.why.Code, ReasonCode::Cancelled) << problem.output;
        EXPECT_FALSE(fs::exists(problem.output)) << problem.output;
    }
    EXPECT_TRUE(fs::exists(roll.target.folder / "frames.txt")); // the small files are whole
}

TEST(RollOutputs, ProgressFollowsEachStripInTurnToItsLastRow) {
    const ScratchDir scratch;
    const Roll roll = TwoStrips(scratch, scratch / "out");
    std::vector<std::pair<std::size_t, std::int32_t>> seen;
    std::int32_t lastTotal = 0;
    RollControl control;
    control.rowsRead = [&](std::size_t strip, std::int32_t done, std::int32_t total) {
        EXPECT_LE(done, total);
        seen.emplace_back(strip, done);
        lastTotal = total;
    };
    EXPECT_TRUE(WriteRoll(roll.target, {}, roll.frames, control).empty());
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front().first, 0u);
    EXPECT_EQ(seen.back().first, 1u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back().second, lastTotal); // the bar reaches its end
}

TEST(RollOutputs, AnOutputThatIsAStripIsRefusedAndTheStripKept) {
    const ScratchDir scratch;
    Roll roll = TwoStrips(scratch, scratch / "out");
    roll.target.format = ImageFormat::Pnm;
    const fs::path strip = roll.target.strips[1];
    const std::string extension(EntryOf(ImageFormat::Pnm).Names.front().Extension);
    fs::rename(strip, roll.target.folder / ("03" + extension));
    roll.target.strips[1] = roll.target.folder / ("03" + extension);
    const std::string before = ReadBytes(roll.target.strips[1]);
    const std::vector<RollProblem> problems = WriteRoll(roll.target, {}, roll.frames);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(problems[0].replacesStrip);
    EXPECT_EQ(ReadBytes(roll.target.strips[1]), before);
    EXPECT_TRUE(fs::exists(roll.target.folder / ("02" + extension)));
}

TEST(ReadImageCrop, AFrameReadAloneIsThatRegionOfTheWholeImageAtItsDepth) {
    const ScratchDir scratch;
    const fs::path strip = WriteStrip(scratch, "a.pnm", 3);
    const PixelRect crop{5, 4, 17, 9};
    const Outcome<KeptImage> whole = ReadPictureFile(strip);
    const Outcome<KeptImage> frame = ReadImageCrop(strip, crop);
    ASSERT_TRUE(whole && frame);
    ASSERT_EQ(frame->Width(), crop.width);
    ASSERT_EQ(frame->Height(), crop.height);
    EXPECT_TRUE(frame->Wide()); // a 16-bit strip's frame keeps its 16 bits
    for (std::int32_t y = 0; y < crop.height; ++y) {
        for (std::int32_t x = 0; x < crop.width; ++x) {
            ASSERT_EQ(frame->SamplesAt(x, y), whole->SamplesAt(x + crop.left, y + crop.top))
                << x << "," << y;
        }
    }
    EXPECT_EQ(ReadImageCrop(scratch / "missing.pnm", crop).Why().Code, ReasonCode::CannotOpen);
}

} // namespace roll_outputs_test
