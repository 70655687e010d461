// Histogram columns under the curves, in the plot's pixel layout.
#include "ui/HistogramView.h"

#include "platform/GdiDraw.h"
#include "ui/CurvePlot.h"
#include "ui/DeviceScale.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

HistogramView theHistogramView;

namespace {

constexpr int kPlotHeight = 256; // output levels 0..255, one pixel each
// Light red, green and blue (0x00BBGGRR); multiplied where they overlap, two
// give a pale mix and all three a mid grey, each darker than a single one.
constexpr std::uint32_t kColumnColours[kChannelCount] = {0xB4B4FF, 0xB4FFB4, 0xFFB4B4};

std::uint64_t LargestCount(const LevelHistogram& histogram) {
    std::uint64_t largest = 0;
    for (const LevelCounts& counts : histogram.channels) {
        largest = std::max(largest, *std::max_element(counts.begin(), counts.end()));
    }
    return largest;
}

} // namespace

std::optional<LevelHistogram> HistogramToDraw(const HistogramView& view,
                                              const GammaTableSet& tables) {
    if (!view.shown || !view.input) {
        return std::nullopt;
    }
    return view.output ? OutputHistogram(*view.input, tables) : *view.input;
}

int ColumnHeight(std::uint64_t count, std::uint64_t largest) {
    if (count == 0 || largest == 0) {
        return 0;
    }
    const double share = std::log1p(static_cast<double>(count)) /
                         std::log1p(static_cast<double>(largest));
    return std::clamp(static_cast<int>(std::lround(share * kPlotHeight)), 1, kPlotHeight);
}

void DrawHistogram(QPainter& dc, const LevelHistogram& histogram, double scale) {
    const std::uint64_t largest = LargestCount(histogram);
    const QPainter::CompositionMode oldMode = dc.compositionMode();
    dc.setCompositionMode(QPainter::CompositionMode_Multiply);
    const int bottom = ToDevice(kPlotBottom + 1, scale);
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        for (int level = 0; level < static_cast<int>(kLevelCount); ++level) {
            const int height = ColumnHeight(histogram.channels[c][level], largest);
            if (height == 0) {
                continue;
            }
            const int x = kPlotOrigin + level;
            FillSolidRect(dc, ToDevice(x, scale), ToDevice(kPlotBottom + 1 - height, scale),
                          ToDevice(x + 1, scale), bottom, kColumnColours[c]);
        }
    }
    dc.setCompositionMode(oldMode);
}
