// The simulated scans' pixels, kept out of the test programs' own
// unoptimised units: a chart scan is quick to make only when optimised.
#include "tests/measure/SimulatedScanner.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace simscan {

namespace {

// The Mersenne twister under a name of this file's own: the distributions'
// code is then compiled here, optimised, and not taken from an unoptimised
// test program that draws numbers too (the same numbers come out).
struct Engine : std::mt19937 {
    using std::mt19937::mt19937;
};

} // namespace

ChartScan Scan(const Scanner& s, const ChartLayout& layout, const ChartReference& ref,
               const ChartCorners& corners, int width, int height) {
    const ChartMap map = *ChartMap::Make(corners, layout.columns, layout.rows);
    const PatchFinder patchAt(layout);
    std::vector<Vector3> patchLevels;
    for (const ChartPatch& patch : layout.patches) {
        patchLevels.push_back(LevelsOf(s, ref.Find(patch.id)->lab));
    }
    const Vector3 card = LevelsOf(s, s.card);
    const Vector3 bed = LevelsOf(s, s.bed);
    const ChartBox e = ExtentOf(layout);
    const auto onCard = [&](ImagePoint p) {
        return p.x >= e.left - s.cardMargin && p.x < e.right + s.cardMargin &&
               p.y >= e.top - s.cardMargin && p.y < e.bottom + s.cardMargin;
    };
    Engine random(s.seed);
    std::normal_distribution<double> noise(0.0, s.noise);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    const double top = s.depth == 16 ? 65535.0 : 255.0;
    ChartScan scan{width, height, std::vector<std::uint16_t>(std::size_t(width) * height * 3)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const ImagePoint at = map.ToChart({x + 0.5, y + 0.5});
            const int patch = patchAt(at);
            const Vector3& levels = patch >= 0   ? patchLevels[std::size_t(patch)]
                                    : onCard(at) ? card
                                                 : bed;
            const bool dust = uniform(random) < s.dustShare;
            for (int c = 0; c < 3; ++c) {
                double level = dust ? (x % 2 ? 255.0 : 0.0) : levels[c] + noise(random);
                const double v = std::clamp(std::round(level / 255.0 * top), 0.0, top);
                scan.rgb[(std::size_t(y) * width + x) * 3 + c] =
                    std::uint16_t(s.depth == 16 ? v : v * 257);
            }
        }
    }
    return scan;
}

ChartScan Painted(const ChartLayout& layout, const ChartCorners& corners, int width, int height,
                  const std::function<Vector3(int patch, int x, int y)>& value) {
    const ChartMap map = *ChartMap::Make(corners, layout.columns, layout.rows);
    const PatchFinder patchAt(layout);
    ChartScan scan{width, height, std::vector<std::uint16_t>(std::size_t(width) * height * 3)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Vector3 v = value(patchAt(map.ToChart({x + 0.5, y + 0.5})), x, y);
            for (std::size_t c = 0; c < 3; ++c) {
                scan.rgb[(std::size_t(y) * width + x) * 3 + c] =
                    std::uint16_t(std::lround(std::clamp(v[c], 0.0, 1.0) * 65535.0));
            }
        }
    }
    return scan;
}

} // namespace simscan
