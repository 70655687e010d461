// A filled rectangle of sides a and b has the principal variances a^2 / 12
// and b^2 / 12, so its area is 12 sqrt(l1 l2); a region far from that (a
// ring, a comb, a cross) is no patch's inside. Regions are labelled by
// union-find over runs of flat pixels, row by row, each run joined to the
// runs it touches in the row above; a run's sums come in closed form.
#include "measure/FlatRegions.h"

#include "measure/Lightness.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace {

constexpr double kNoiseSteps = 3.0;
constexpr std::size_t kLevels = std::size_t(kScanTop) + 1;
constexpr float kFlatStep = 1.0F;           // lightness units
constexpr std::size_t kLeastRegionArea = 9; // reduced pixels: a 3 x 3 inside at least
constexpr double kMostSpreadRatio = 2.0;
constexpr double kFilledArea = 12.0;
constexpr double kAreaTolerance = 0.2;
constexpr double kRegionPixelCentre = 0.5;

// The largest step in any channel from pixel a to pixel b, in levels.
int LevelStep(const std::uint16_t* a, const std::uint16_t* b) {
    return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

// kNoiseSteps times the median step across, in levels, at least one.
double NoiseThreshold(const ReducedScan& r) {
    std::vector<std::size_t> counts(kLevels);
    std::size_t total = 0;
    for (int y = 0; y < r.height; ++y) {
        for (int x = 0; x + 1 < r.width; ++x) {
            ++counts[std::size_t(LevelStep(r.Pixel(x, y), r.Pixel(x + 1, y)))];
            ++total;
        }
    }
    std::size_t seen = 0;
    std::size_t median = 0;
    while (median + 1 < kLevels && (seen += counts[median]) * 2 < total) {
        ++median;
    }
    return std::max(1.0, kNoiseSteps * double(median));
}

// Each level on the lightness scale, each step up no steeper than one
// flat step per noise threshold.
std::vector<float> FlatScale(double noise) {
    std::vector<float> scale(kLevels);
    const double steepest = kFlatStep / noise;
    double at = 0;
    double before = LightnessOf(0.0);
    for (std::size_t v = 1; v < kLevels; ++v) {
        const double lightness = LightnessOf(double(v) / kScanTop);
        at += std::min(lightness - before, steepest);
        before = lightness;
        scale[v] = float(at);
    }
    return scale;
}

// The largest step in any channel from pixel a to pixel b, on `scale`.
float Step(const std::vector<float>& scale, const std::uint16_t* a, const std::uint16_t* b) {
    return std::max({std::abs(scale[a[0]] - scale[b[0]]), std::abs(scale[a[1]] - scale[b[1]]),
                     std::abs(scale[a[2]] - scale[b[2]])});
}

// Row y's flat pixels (1) among the others (0).
void FlatRow(const ReducedScan& r, const std::vector<float>& scale, int y,
             std::vector<std::uint8_t>& flat) {
    for (int x = 0; x < r.width; ++x) {
        const std::uint16_t* p = r.Pixel(x, y);
        const bool steps = (x > 0 && Step(scale, p, r.Pixel(x - 1, y)) >= kFlatStep) ||
                           (x + 1 < r.width && Step(scale, p, r.Pixel(x + 1, y)) >= kFlatStep) ||
                           (y > 0 && Step(scale, p, r.Pixel(x, y - 1)) >= kFlatStep) ||
                           (y + 1 < r.height && Step(scale, p, r.Pixel(x, y + 1)) >= kFlatStep);
        flat[std::size_t(x)] = steps ? 0 : 1;
    }
}

// A run of flat pixels [x0, x1) of row y, and its union-find parent.
struct FlatRun {
    int x0;
    int x1;
    int y;
    std::uint32_t parent;
};

std::uint32_t RootOf(std::vector<FlatRun>& runs, std::uint32_t i) {
    while (runs[i].parent != i) {
        runs[i].parent = runs[runs[i].parent].parent;
        i = runs[i].parent;
    }
    return i;
}

// Joins the runs of one row that touch runs of the row above through a side.
void JoinRows(std::vector<FlatRun>& runs, std::size_t above, std::size_t row, std::size_t end) {
    std::size_t i = above;
    std::size_t j = row;
    while (i < row && j < end) {
        if (runs[i].x0 < runs[j].x1 && runs[j].x0 < runs[i].x1) {
            runs[RootOf(runs, std::uint32_t(i))].parent = RootOf(runs, std::uint32_t(j));
        }
        runs[i].x1 < runs[j].x1 ? ++i : ++j;
    }
}

std::vector<FlatRun> FlatRuns(const ReducedScan& r) {
    const std::vector<float> scale = FlatScale(NoiseThreshold(r));
    std::vector<std::uint8_t> flat(std::size_t(r.width));
    std::vector<FlatRun> runs;
    std::size_t above = 0;
    for (int y = 0; y < r.height; ++y) {
        FlatRow(r, scale, y, flat);
        const std::size_t row = runs.size();
        for (int x = 0; x < r.width;) {
            const int start = x;
            while (x < r.width && flat[std::size_t(x)]) {
                ++x;
            }
            if (x > start) {
                runs.push_back({start, x, y, std::uint32_t(runs.size())});
            }
            ++x;
        }
        JoinRows(runs, above, row, runs.size());
        above = row;
    }
    return runs;
}

// Sums of a region's pixel centres: count, x, y, x^2, y^2, xy.
using Moments = std::array<double, 6>;

// A run's n pixel centres lie one apart about their mean, so their squares
// sum to n (mean^2 + (n^2 - 1) / 12).
std::vector<Moments> RegionMoments(std::vector<FlatRun> runs) {
    constexpr std::uint32_t kNone = ~std::uint32_t{0};
    constexpr double kSpacingVariance = 12.0;
    std::vector<std::uint32_t> slot(runs.size(), kNone);
    std::vector<Moments> moments;
    for (std::uint32_t i = 0; i < runs.size(); ++i) {
        std::uint32_t& mine = slot[RootOf(runs, i)];
        if (mine == kNone) {
            mine = std::uint32_t(moments.size());
            moments.push_back({});
        }
        const FlatRun& run = runs[i];
        const double n = run.x1 - run.x0;
        const double x = (run.x0 + run.x1) / 2.0, y = run.y + kRegionPixelCentre;
        Moments& m = moments[mine];
        m[0] += n, m[1] += n * x, m[2] += n * y;
        m[3] += n * (x * x + (n * n - 1) / kSpacingVariance), m[4] += n * y * y, m[5] += n * x * y;
    }
    return moments;
}

// The region as a square candidate in the scan's pixels, or nothing.
std::optional<SquareRegion> SquareOf(const Moments& m, int factor) {
    const double n = m[0];
    if (n < double(kLeastRegionArea)) {
        return std::nullopt;
    }
    const double cx = m[1] / n, cy = m[2] / n;
    const double vxx = m[3] / n - cx * cx, vyy = m[4] / n - cy * cy, vxy = m[5] / n - cx * cy;
    const double half = (vxx + vyy) / 2;
    const double root = std::sqrt(std::max(0.0, (vxx - vyy) * (vxx - vyy) / 4 + vxy * vxy));
    const double large = half + root, small = half - root;
    if (small <= 0 || large > kMostSpreadRatio * kMostSpreadRatio * small) {
        return std::nullopt;
    }
    const double filled = kFilledArea * std::sqrt(large * small);
    if (std::abs(n / filled - 1.0) > kAreaTolerance) {
        return std::nullopt;
    }
    return SquareRegion{cx * factor, cy * factor, std::sqrt(n) * factor};
}

} // namespace

ReducedScan ReduceScan(const ChartScan& scan, int factor) {
    ReducedScan r{scan.width / factor, scan.height / factor, factor, {}, scan.rgb.data()};
    if (factor == 1) {
        return r;
    }
    r.own.resize(std::size_t(r.width) * std::size_t(r.height) * kScanChannels);
    r.rgb = r.own.data();
    const auto area = std::uint32_t(factor * factor);
    std::vector<std::uint32_t> sums(std::size_t(r.width) * kScanChannels);
    for (int y = 0; y < r.height; ++y) {
        std::fill(sums.begin(), sums.end(), 0U);
        for (int row = y * factor; row < (y + 1) * factor; ++row) {
            const std::uint16_t* p = scan.Pixel(0, row);
            for (std::size_t x = 0; x < std::size_t(r.width); ++x) {
                for (std::size_t k = 0; k < std::size_t(factor) * kScanChannels; ++k) {
                    sums[x * kScanChannels + k % kScanChannels] += *p++;
                }
            }
        }
        std::uint16_t* out = r.own.data() + std::size_t(y) * sums.size();
        for (std::size_t i = 0; i < sums.size(); ++i) {
            out[i] = std::uint16_t((sums[i] + area / 2) / area);
        }
    }
    return r;
}

std::vector<SquareRegion> SquareRegions(const ReducedScan& reduced) {
    std::vector<SquareRegion> squares;
    for (const Moments& m : RegionMoments(FlatRuns(reduced))) {
        if (const std::optional<SquareRegion> square = SquareOf(m, reduced.factor)) {
            squares.push_back(*square);
        }
    }
    return squares;
}
