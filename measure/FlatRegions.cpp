// A filled rectangle of sides a and b has the principal variances a^2 / 12
// and b^2 / 12, so its area is 12 sqrt(l1 l2); a region far from that (a
// ring, a comb, a cross) is no patch's inside. Regions are labelled by
// union-find over the flat mask in one pass, joining each flat pixel to
// its flat neighbours above and to the left.
#include "measure/FlatRegions.h"

#include "measure/Lightness.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
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

std::vector<bool> FlatMask(const ReducedScan& r) {
    const std::vector<float> scale = FlatScale(NoiseThreshold(r));
    std::vector<bool> flat(std::size_t(r.width) * std::size_t(r.height), true);
    for (int y = 0; y < r.height; ++y) {
        for (int x = 0; x < r.width; ++x) {
            const std::size_t at = std::size_t(y) * std::size_t(r.width) + std::size_t(x);
            if (x + 1 < r.width && Step(scale, r.Pixel(x, y), r.Pixel(x + 1, y)) >= kFlatStep) {
                flat[at] = false;
                flat[at + 1] = false;
            }
            if (y + 1 < r.height && Step(scale, r.Pixel(x, y), r.Pixel(x, y + 1)) >= kFlatStep) {
                flat[at] = false;
                flat[at + std::size_t(r.width)] = false;
            }
        }
    }
    return flat;
}

class DisjointSets {
public:
    explicit DisjointSets(std::size_t n) : parent_(n) {
        std::iota(parent_.begin(), parent_.end(), std::uint32_t{0});
    }
    std::uint32_t Root(std::size_t i) {
        while (parent_[i] != i) {
            parent_[i] = parent_[parent_[i]];
            i = parent_[i];
        }
        return std::uint32_t(i);
    }
    void Join(std::size_t a, std::size_t b) { parent_[Root(a)] = Root(b); }

private:
    std::vector<std::uint32_t> parent_; // a scan's pixels number below 2^32
};

// Sums of a region's pixel centres: count, x, y, x^2, y^2, xy.
using Moments = std::array<double, 6>;

std::vector<Moments> RegionMoments(const std::vector<bool>& flat, int width, int height) {
    DisjointSets sets(flat.size());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t at = std::size_t(y) * std::size_t(width) + std::size_t(x);
            if (!flat[at]) {
                continue;
            }
            if (x > 0 && flat[at - 1]) {
                sets.Join(at - 1, at);
            }
            if (y > 0 && flat[at - std::size_t(width)]) {
                sets.Join(at - std::size_t(width), at);
            }
        }
    }
    constexpr std::uint32_t kNone = ~std::uint32_t{0};
    std::vector<std::uint32_t> slot(flat.size(), kNone);
    std::vector<Moments> moments;
    for (std::size_t at = 0; at < flat.size(); ++at) {
        if (!flat[at]) {
            continue;
        }
        std::uint32_t& mine = slot[sets.Root(at)];
        if (mine == kNone) {
            mine = std::uint32_t(moments.size());
            moments.push_back({});
        }
        const double x = double(at % std::size_t(width)) + kRegionPixelCentre;
        const double y = double(at / std::size_t(width)) + kRegionPixelCentre;
        Moments& m = moments[mine];
        m[0] += 1, m[1] += x, m[2] += y, m[3] += x * x, m[4] += y * y, m[5] += x * y;
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
    ReducedScan r{scan.width / factor, scan.height / factor, factor, {}};
    r.rgb.resize(std::size_t(r.width) * std::size_t(r.height) * kScanChannels);
    const auto area = std::uint32_t(factor * factor);
    std::vector<std::uint32_t> sums(std::size_t(r.width) * kScanChannels);
    for (int y = 0; y < r.height; ++y) {
        std::fill(sums.begin(), sums.end(), 0U);
        for (int row = y * factor; row < (y + 1) * factor; ++row) {
            const std::uint16_t* p = scan.Pixel(0, row);
            for (std::size_t i = 0; i < sums.size(); ++i) {
                const std::size_t x = i / kScanChannels, c = i % kScanChannels;
                for (int k = 0; k < factor; ++k) {
                    sums[i] += p[(x * std::size_t(factor) + std::size_t(k)) * kScanChannels + c];
                }
            }
        }
        std::uint16_t* out = r.rgb.data() + std::size_t(y) * sums.size();
        for (std::size_t i = 0; i < sums.size(); ++i) {
            out[i] = std::uint16_t((sums[i] + area / 2) / area);
        }
    }
    return r;
}

std::vector<SquareRegion> SquareRegions(const ReducedScan& reduced) {
    std::vector<SquareRegion> squares;
    for (const Moments& m : RegionMoments(FlatMask(reduced), reduced.width, reduced.height)) {
        if (const std::optional<SquareRegion> square = SquareOf(m, reduced.factor)) {
            squares.push_back(*square);
        }
    }
    return squares;
}
