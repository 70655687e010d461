// The roll the roll dialog holds, on strips the tests' simulated film
// makes: frames counted across strips, a frame moved by hand sampled again
// where it now lies, a strip that cannot be read left out and named, and a
// roll with no frame left that has no film to write.
#include "ui/RollSession.h"
#include "tests/io/ScratchDir.h"
#include "tests/measure/SyntheticStrip.h"

#include <gtest/gtest.h>

namespace roll_session_test {

namespace {

namespace fs = std::filesystem;
using striptest::StripPlan;
using striptest::SyntheticStrip;

constexpr double kPixelsPerMm = 4.0;

StripPlan Strip(std::size_t frames, bool along) {
    StripPlan plan;
    plan.pixelsPerMm = kPixelsPerMm;
    plan.frames.resize(frames);
    plan.alongRows = along;
    return plan;
}

fs::path Write(const ScratchDir& scratch, const std::string& name, const StripPlan& plan) {
    EXPECT_TRUE(striptest::WritePnm(SyntheticStrip(plan), (scratch / name).string()));
    return scratch / name;
}

} // namespace

TEST(RollSession, FramesAreCountedAlongTheStripsInOrder) {
    const ScratchDir scratch;
    RollSession roll(FilmMode::ColourNegative);
    EXPECT_TRUE(roll.Open({Write(scratch, "a.pnm", Strip(3, false)),
                           Write(scratch, "b.pnm", Strip(2, true))})
                    .empty());
    const std::vector<RollFrame> frames = roll.Frames();
    ASSERT_EQ(frames.size(), 5u);
    const std::pair<std::size_t, std::size_t> places[] = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}};
    for (std::size_t k = 0; k < frames.size(); ++k) {
        EXPECT_EQ(roll.Place(k), places[k]) << k;
        EXPECT_EQ(frames[k].strip, places[k].first);
    }
    EXPECT_EQ(frames[3].number, "04");
}

TEST(RollSession, AFrameMovedIsSampledAgainWhereItNowLies) {
    const ScratchDir scratch;
    RollSession roll(FilmMode::ColourNegative);
    roll.Open({Write(scratch, "a.pnm", Strip(3, false))});
    const std::vector<RollFrame> before = roll.Frames();
    ASSERT_EQ(before.size(), 3u);
    std::vector<PixelRect> moved = roll.Strips()[0].frames.frames;
    moved[1].left += moved[1].width / 2; // half on the next frame
    roll.SetFrames(0, moved);
    const std::vector<RollFrame> after = roll.Frames();
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[1].rect, moved[1]);
    EXPECT_NE(after[1].film, before[1].film);
    EXPECT_EQ(after[0].rect, before[0].rect);
}

TEST(RollSession, AFrameDrawnByHandTakesItsPlaceAlongTheStrip) {
    const ScratchDir scratch;
    RollSession roll(FilmMode::ColourNegative);
    roll.Open({Write(scratch, "a.pnm", Strip(2, false)), Write(scratch, "b.pnm", Strip(2, true))});
    for (std::size_t strip = 0; strip < 2; ++strip) {
        std::vector<PixelRect> frames = roll.Strips()[strip].frames.frames;
        const PixelRect first = frames[0];
        PixelRect drawn{1, 1, 20, 20}; // before the first, whichever way the strip runs
        frames.push_back(drawn);
        roll.SetFrames(strip, frames);
        ASSERT_EQ(roll.Strips()[strip].frames.frames.size(), 3u);
        EXPECT_EQ(roll.Strips()[strip].frames.frames[0], drawn) << strip;
        EXPECT_EQ(roll.Strips()[strip].frames.frames[1], first) << strip;
    }
    EXPECT_EQ(roll.Frames()[3].rect, (PixelRect{1, 1, 20, 20}));
}

TEST(RollSession, AStripThatCannotBeReadIsNamedAndTheOthersStay) {
    const ScratchDir scratch;
    RollSession roll(FilmMode::ColourNegative);
    const auto unread =
        roll.Open({scratch / "missing.pnm", Write(scratch, "a.pnm", Strip(2, false))});
    ASSERT_EQ(unread.size(), 1u);
    EXPECT_EQ(unread[0].first, scratch / "missing.pnm");
    EXPECT_EQ(unread[0].second.Code, ReasonCode::CannotOpen);
    EXPECT_EQ(roll.Strips().size(), 1u);
    EXPECT_EQ(roll.Frames().size(), 2u);
}

TEST(RollSession, ARollWithNoFrameLeftHasNoFilm) {
    const ScratchDir scratch;
    RollSession roll(FilmMode::ColourNegative);
    roll.Open({Write(scratch, "a.pnm", Strip(2, false))});
    ASSERT_TRUE(roll.Fit());
    roll.SetFrames(0, {});
    EXPECT_FALSE(roll.Fit());
    EXPECT_TRUE(roll.Frames().empty());
}

} // namespace roll_session_test
