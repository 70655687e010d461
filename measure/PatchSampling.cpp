// A patch's box is mapped into the scan; every pixel of the box's bounding
// rectangle whose centre maps back inside the box is taken. The middle half
// of each channel's values is averaged: with quarter q = n / 4, the values
// ranked q .. n - q - 1.
#include "measure/PatchSampling.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPixelCentre = 0.5;
constexpr std::size_t kQuarters = 4;

ChartCorners Outline(const ChartMap& map, const ChartBox& box) {
    return {map.ToImage(box.left, box.top), map.ToImage(box.right, box.top),
            map.ToImage(box.right, box.bottom), map.ToImage(box.left, box.bottom)};
}

bool Inside(const ChartBox& box, ImagePoint p) {
    return p.x >= box.left && p.x < box.right && p.y >= box.top && p.y < box.bottom;
}

bool WithinScan(const ChartCorners& outline, const ChartScan& scan) {
    return std::all_of(outline.begin(), outline.end(), [&](ImagePoint p) {
        return p.x >= 0 && p.y >= 0 && p.x <= scan.width && p.y <= scan.height;
    });
}

struct MiddleHalf {
    double mean;
    double low;
    double high;
};

// The mean, lowest and highest of the middle half of `values`, which it reorders.
MiddleHalf MiddleOf(std::vector<std::uint16_t>& values) {
    const std::size_t n = values.size();
    const std::size_t quarter = n / kQuarters;
    const auto first = values.begin() + std::ptrdiff_t(quarter);
    const auto last = values.end() - std::ptrdiff_t(quarter);
    std::nth_element(values.begin(), first, values.end());
    std::nth_element(first, last - 1, values.end());
    double sum = 0;
    std::uint16_t low = *first, high = *first;
    for (auto it = first; it != last; ++it) {
        sum += *it;
        low = std::min(low, *it), high = std::max(high, *it);
    }
    return {sum / double(last - first) / kScanTop, double(low) / kScanTop, double(high) / kScanTop};
}

// The median of `values` is at the top level: over half of them are.
bool MedianAtTop(const std::vector<std::uint16_t>& values) {
    const auto top = std::count(values.begin(), values.end(), std::uint16_t(kScanTop));
    return std::size_t(top) * 2 > values.size();
}

PatchSample Measure(const ChartScan& scan, const ChartMap& map, const ChartBox& box,
                    const ChartCorners& outline) {
    std::array<std::vector<std::uint16_t>, kScanChannels> values;
    for (const ScanPixel& pixel : PixelsIn(scan, map, box, outline)) {
        for (int c = 0; c < kScanChannels; ++c) {
            values[c].push_back(pixel[c]);
        }
    }
    PatchSample sample;
    sample.outline = outline;
    sample.pixels = int(values[0].size());
    for (int c = 0; c < kScanChannels && sample.pixels > 0; ++c) {
        sample.clipped[c] = MedianAtTop(values[c]);
        const MiddleHalf middle = MiddleOf(values[c]);
        sample.value[c] = middle.mean;
        sample.middleLow[c] = middle.low;
        sample.middleHigh[c] = middle.high;
    }
    return sample;
}

} // namespace

std::vector<ScanPixel> PixelsIn(const ChartScan& scan, const ChartMap& map, const ChartBox& box,
                                const ChartCorners& outline) {
    double minX = outline[0].x, maxX = minX, minY = outline[0].y, maxY = minY;
    for (const ImagePoint& p : outline) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    const auto x0 = std::max(0, int(std::floor(minX)));
    const auto x1 = std::min(scan.width - 1, int(std::ceil(maxX)));
    const auto y0 = std::max(0, int(std::floor(minY)));
    const auto y1 = std::min(scan.height - 1, int(std::ceil(maxY)));
    std::vector<ScanPixel> pixels;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            if (Inside(box, map.ToChart({x + kPixelCentre, y + kPixelCentre}))) {
                const std::uint16_t* pixel = scan.Pixel(x, y);
                pixels.push_back({pixel[0], pixel[1], pixel[2]});
            }
        }
    }
    return pixels;
}

std::vector<ScanPixel> PatchPixels(const ChartScan& scan, const ChartLayout& layout,
                                   const ChartCorners& corners, std::size_t patch) {
    const std::optional<ChartMap> map = ChartMap::Make(corners, layout.columns, layout.rows);
    if (!map) {
        return {};
    }
    const ChartBox& box = layout.patches[patch].sample;
    return PixelsIn(scan, *map, box, Outline(*map, box));
}

std::optional<std::vector<ChartCorners>> PatchOutlines(const ChartLayout& layout,
                                                       const ChartCorners& corners) {
    const std::optional<ChartMap> map = ChartMap::Make(corners, layout.columns, layout.rows);
    if (!map) {
        return std::nullopt;
    }
    std::vector<ChartCorners> outlines;
    outlines.reserve(layout.patches.size());
    for (const ChartPatch& patch : layout.patches) {
        outlines.push_back(Outline(*map, patch.sample));
    }
    return outlines;
}

std::variant<ChartSamples, SamplingProblem>
SampleChart(const ChartScan& scan, const ChartLayout& layout, const ChartCorners& corners) {
    const std::optional<ChartMap> map = ChartMap::Make(corners, layout.columns, layout.rows);
    if (!map) {
        return SamplingProblem{SamplingFault::Degenerate, {}};
    }
    ChartSamples samples;
    samples.reserve(layout.patches.size());
    for (const ChartPatch& patch : layout.patches) {
        const auto outline = Outline(*map, patch.sample);
        if (!WithinScan(outline, scan)) {
            return SamplingProblem{SamplingFault::OutsideScan, patch.id};
        }
        samples.push_back(Measure(scan, *map, patch.sample, outline));
        if (samples.back().pixels == 0) {
            return SamplingProblem{SamplingFault::NoPixels, patch.id};
        }
    }
    return samples;
}

std::optional<ChartSamples> SampleWithin(const ChartScan& scan, const ChartLayout& layout,
                                         const ChartCorners& corners) {
    const std::optional<ChartMap> map = ChartMap::Make(corners, layout.columns, layout.rows);
    if (!map) {
        return std::nullopt;
    }
    ChartSamples samples(layout.patches.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const ChartBox& box = layout.patches[i].sample;
        const auto outline = Outline(*map, box);
        if (WithinScan(outline, scan)) {
            samples[i] = Measure(scan, *map, box, outline);
        }
    }
    return samples;
}

ChartCorners InitialCorners(const ChartLayout& layout, int width, int height, double share) {
    const ChartBox e = ExtentOf(layout);
    const double left = width * share;
    const double top = height * share;
    const double scaleX = (width - 2 * left) / (e.right - e.left);
    const double scaleY = (height - 2 * top) / (e.bottom - e.top);
    const auto at = [&](double x, double y) {
        return ImagePoint{left + (x - e.left) * scaleX, top + (y - e.top) * scaleY};
    };
    return {at(0, 0), at(layout.columns, 0), at(layout.columns, layout.rows), at(0, layout.rows)};
}
