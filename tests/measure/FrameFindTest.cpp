// Frames found on simulated strips in their holders: every frame, each edge
// within 1 % of the frame's size across and along, whichever way the strip
// runs and whatever its gauge; the base measured between the frames; and
// scans that hold no frame give none.
#include "measure/FrameFind.h"
#include "measure/StripProfile.h"
#include "tests/measure/SyntheticStrip.h"

#include <gtest/gtest.h>

namespace frame_find_test {

namespace {

using striptest::FramePlan;
using striptest::Gauge;
using striptest::Scene;
using striptest::StripPlan;
using striptest::SyntheticStrip;

constexpr double kEdgeShare = 0.01;

struct StripCase {
    const char* name;
    StripPlan plan;
    friend void PrintTo(const StripCase& c, std::ostream* os) { *os << c.name; }
};

StripPlan PlanFor(Gauge gauge, bool alongRows, double pixelsPerMm = 8.0) {
    StripPlan plan;
    plan.gauge = gauge;
    plan.alongRows = alongRows;
    plan.pixelsPerMm = pixelsPerMm;
    return plan;
}

StripPlan BlackAndWhite() {
    StripPlan plan = PlanFor(Gauge::Film35, false);
    plan.blackAndWhite = true;
    plan.film.base = {0.78, 0.78, 0.78};
    plan.film.gamma = {0.62, 0.62, 0.62};
    return plan;
}

// Four frames of 120 film, some of them dark or nearly blank.
StripPlan HardFrames(Gauge gauge, bool alongRows) {
    StripPlan plan = PlanFor(gauge, alongRows, 5.0);
    plan.frames = {
        {Scene::Sunset, 0.25}, {Scene::Portrait, 0.4}, {Scene::Snow, 3.0}, {Scene::Checker, 1.0}};
    return plan;
}

// A map of cells bigger than a pixel, as a 4000-dpi scan gets.
StripPlan CoarseMap() {
    StripPlan plan = PlanFor(Gauge::Film35, false, 24.0);
    plan.frames.resize(3);
    return plan;
}

class FramesOnAStrip : public testing::TestWithParam<StripCase> {};

TEST_P(FramesOnAStrip, EveryFrameIsFoundWithItsEdgesWithinOnePercent) {
    const SyntheticStrip strip(GetParam().plan);
    const bool coarse = GetParam().plan.pixelsPerMm > 20.0;
    const Outcome<StripMap> map = MapStrip(strip, {}, coarse ? 40000 : kMostMapCells);
    ASSERT_TRUE(map);
    ASSERT_EQ(map->cell > 1, coarse);
    const StripFrames found = FindFrames(*map);
    EXPECT_EQ(found.alongRows, GetParam().plan.alongRows);
    ASSERT_EQ(found.frames.size(), strip.Plan().frames.size());
    for (std::size_t k = 0; k < found.frames.size(); ++k) {
        const PixelRect want = strip.Frame(k);
        const PixelRect& got = found.frames[k];
        const double across = kEdgeShare * want.width, down = kEdgeShare * want.height;
        EXPECT_LE(std::abs(got.left - want.left), across) << "frame " << k;
        EXPECT_LE(std::abs(got.left + got.width - want.left - want.width), across) << "frame " << k;
        EXPECT_LE(std::abs(got.top - want.top), down) << "frame " << k;
        EXPECT_LE(std::abs(got.top + got.height - want.top - want.height), down) << "frame " << k;
    }
}

TEST_P(FramesOnAStrip, TheBaseIsMeasuredOnTheFilmBetweenTheFramesNotOnTheHoles) {
    const SyntheticStrip strip(GetParam().plan);
    const Outcome<StripMap> map = MapStrip(strip, {});
    ASSERT_TRUE(map);
    const StripFrames found = FindFrames(*map);
    const ChannelValues want = strip.Plan().film.base;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        EXPECT_NEAR(TransmissionAt(found.base[c], 0.5) / want[c], 1.0, 0.003) << "channel " << c;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Gauges, FramesOnAStrip,
    testing::Values(StripCase{"Film35AcrossTheScan", PlanFor(Gauge::Film35, false)},
                    StripCase{"Film35AlongTheScan", PlanFor(Gauge::Film35, true)},
                    StripCase{"Square120AcrossTheScan", PlanFor(Gauge::Square120, false, 5.0)},
                    StripCase{"Wide645AlongTheScan", PlanFor(Gauge::Wide645, true, 5.0)},
                    StripCase{"DarkAndBrightFramesOfSquare120", HardFrames(Gauge::Square120, true)},
                    StripCase{"DarkAndBrightFramesOfWide645", HardFrames(Gauge::Wide645, false)},
                    StripCase{"BlackAndWhiteFilm", BlackAndWhite()},
                    StripCase{"CellsOfSeveralPixels", CoarseMap()}),
    [](const auto& info) { return std::string(info.param.name); });

// Rows of 16-bit RGB all at one transmission.
class Flat final : public RowSource {
public:
    Flat(std::int32_t width, std::int32_t height, std::uint16_t level) : level_(level) {
        layout_ = {width, height, kRgb48, false, std::int64_t{width} * 6, kMaxSample16};
    }
    const RowLayout& Layout() const override { return layout_; }
    const Palette& Colours() const override { return colours_; }
    std::int64_t ScratchBytes(std::int32_t count) const override { return count * layout_.Stride; }
    FetchedRows Rows(std::int32_t, std::int32_t count, std::uint8_t* scratch) const override {
        auto* samples = reinterpret_cast<std::uint16_t*>(scratch);
        std::fill_n(samples, count * layout_.Stride / 2, level_);
        return {scratch, {}};
    }

private:
    RowLayout layout_;
    Palette colours_{};
    std::uint16_t level_;
};

TEST(FrameFind, AScanWithoutPicturesHoldsNoFrame) {
    StripPlan blank = PlanFor(Gauge::Film35, false);
    blank.frames.assign(4, FramePlan{Scene::Landscape, 0.0});
    const struct {
        const char* name;
        Outcome<StripMap> map;
    } cases[] = {
        {"unexposed film", MapStrip(SyntheticStrip(blank), {})},
        {"the holder alone", MapStrip(Flat(300, 200, 20), {})},
        {"clear glass", MapStrip(Flat(300, 200, 65535), {})},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.map) << c.name;
        EXPECT_TRUE(FindFrames(*c.map).frames.empty()) << c.name;
    }
}

// Each cell is the mean of its pixels, the edge cells of fewer; the
// rectangles asked for are counted pixel by pixel.
TEST(StripMapTest, CellsAreTheMeansOfTheirPixelsAndRectanglesAreCountedWhole) {
    StripPlan plan = PlanFor(Gauge::Film35, false, 3.0);
    plan.noise = 0.02;
    const SyntheticStrip strip(plan);
    const RowLayout& layout = strip.Layout();
    const PixelRect rect{7, 5, 13, 11};
    const Outcome<StripMap> map = MapStrip(strip, std::vector{rect}, 2000);
    ASSERT_TRUE(map);
    ASSERT_GT(map->cell, 1);
    std::vector<std::uint16_t> rows(std::size_t(layout.Stride / 2) * layout.Height);
    strip.Rows(0, layout.Height, reinterpret_cast<std::uint8_t*>(rows.data()));
    const auto sample = [&](std::int32_t x, std::int32_t y, std::size_t c) {
        return rows[(std::size_t(y) * layout.Width + x) * 3 + c];
    };
    for (const auto& [cx, cy] : {std::pair{0, 0}, std::pair{map->columns - 1, map->rows - 1}}) {
        double sum = 0;
        int n = 0;
        for (std::int32_t y = cy * map->cell; y < std::min((cy + 1) * map->cell, layout.Height);
             ++y) {
            for (std::int32_t x = cx * map->cell; x < std::min((cx + 1) * map->cell, layout.Width);
                 ++x, ++n) {
                sum += sample(x, y, 1);
            }
        }
        EXPECT_NEAR(map->At(cx, cy)[1], sum / n, 0.5) << cx << "," << cy;
    }
    std::uint64_t counted = 0, below = 0;
    for (std::size_t s = 0; s < kTransmissionSteps; ++s) {
        counted += map->regions[0][kRed][s];
        below += s < 30000 ? map->regions[0][kRed][s] : 0;
    }
    std::uint64_t want = 0;
    for (std::int32_t y = rect.top; y < rect.top + rect.height; ++y) {
        for (std::int32_t x = rect.left; x < rect.left + rect.width; ++x) {
            want += sample(x, y, 0) < 30000 ? 1 : 0;
        }
    }
    EXPECT_EQ(counted, std::uint64_t(rect.width * rect.height));
    EXPECT_EQ(below, want);
}

// A run ends where its level is lost, not where it first dips; a bump
// that never reaches the high level is no run.
TEST(StripProfileTest, RunsHoldTheirHighLevelAndEndBelowTheLowOne) {
    const Profile profile = {0, 0.2, 0.9, 0.3, 0.9, 0.1, 0.3, 0.35, 0, 0.8, 0.8};
    EXPECT_EQ(RunsAbove(profile, 0.5, 0.15), (std::vector<LineRun>{{1, 5}, {9, 11}}));
    EXPECT_DOUBLE_EQ(PercentileOf({5, 1, 4, 2, 3}, 0.5), 3);
}

} // namespace

} // namespace frame_find_test
