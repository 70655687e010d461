// Histogram columns under the curves, in the plot's pixel layout.
#include "ui/HistogramView.h"

#include "curve/FilmTables.h"
#include "platform/GdiDraw.h"
#include "ui/DeviceScale.h"
#include "ui/PlotGeometry.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

HistogramView theHistogramView;

namespace {

constexpr int kPlotHeight = 256; // output levels 0..255, one pixel each
// Light red, green and blue (0x00BBGGRR); multiplied where they overlap, two
// give a pale mix and all three a mid grey, each darker than a single one.
constexpr std::uint32_t kColumnColours[kChannelCount] = {0xD0D0FF, 0xD0FFD0, 0xFFD0D0};

std::uint64_t LargestCount(const LevelHistogram& histogram) {
    std::uint64_t largest = 0;
    for (const LevelCounts& counts : histogram.channels) {
        largest = std::max(largest, *std::max_element(counts.begin(), counts.end()));
    }
    return largest;
}

// One colour per set of channels whose columns reach a pixel (bit c for
// channel c): white for none, else the product of their colours, each
// channel as (a * b + 127) / 255.
std::array<QRgb, 8> MixedColours() {
    std::array<QRgb, 8> mixed{};
    for (std::size_t set = 0; set < mixed.size(); ++set) {
        int rgb[3] = {255, 255, 255};
        for (std::size_t c = 0; c < kChannelCount; ++c) {
            if (set & (std::size_t{1} << c)) {
                const QColor colour = ColorFromRef(kColumnColours[c]);
                const int parts[3] = {colour.red(), colour.green(), colour.blue()};
                for (int i = 0; i < 3; ++i) {
                    rgb[i] = (rgb[i] * parts[i] + 127) / 255;
                }
            }
        }
        mixed[set] = qRgb(rgb[0], rgb[1], rgb[2]);
    }
    return mixed;
}

// The plot's inside, levels 0..255 by output levels 255..0, in device pixels:
// white, with each level's columns from the bottom up. Drawn as one image, as
// a slider move redraws it and per-column painting would cost tens of ms.
QImage HistogramImage(const LevelHistogram& histogram, double scale) {
    static const std::array<QRgb, 8> kMixed = MixedColours();
    const int left = ToDevice(kPlotOrigin, scale);
    const int top = ToDevice(kPlotBottom + 1 - kPlotHeight, scale);
    const int bottom = ToDevice(kPlotBottom + 1, scale);
    QImage image(ToDevice(kPlotOrigin + static_cast<int>(kLevelCount), scale) - left, bottom - top,
                 QImage::Format_RGB32);
    image.fill(kMixed[0]);
    const std::uint64_t largest = LargestCount(histogram);
    for (int level = 0; level < static_cast<int>(kLevelCount); ++level) {
        int tops[kChannelCount];
        for (std::size_t c = 0; c < kChannelCount; ++c) {
            const int height = ColumnHeight(histogram.channels[c][level], largest);
            tops[c] = ToDevice(kPlotBottom + 1 - height, scale) - top;
        }
        const int x0 = ToDevice(kPlotOrigin + level, scale) - left;
        const int x1 = ToDevice(kPlotOrigin + level + 1, scale) - left;
        for (int y = std::min({tops[0], tops[1], tops[2]}); y < bottom - top; ++y) {
            const std::size_t set =
                (y >= tops[0] ? 1u : 0u) | (y >= tops[1] ? 2u : 0u) | (y >= tops[2] ? 4u : 0u);
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            std::fill(row + x0, row + x1, kMixed[set]);
        }
    }
    return image;
}

} // namespace

LevelHistogram PositiveLevels(const PictureCounts& counts, const KeptImage& picture,
                              const ChannelParamsSet& channels) {
    if (!HasFilm(channels)) {
        return counts.Levels;
    }
    return CountsThrough(counts, PositiveTables(picture, channels));
}

std::optional<LevelHistogram> HistogramToDraw(const HistogramView& view, const KeptImage& picture,
                                              const GammaTableSet& tables,
                                              const ChannelParamsSet& channels) {
    if (!view.shown || !view.input) {
        return std::nullopt;
    }
    if (view.output) {
        return CountsThrough(*view.input, WholeTables(picture, tables, channels));
    }
    return PositiveLevels(*view.input, picture, channels);
}

int ColumnHeight(std::uint64_t count, std::uint64_t largest) {
    if (count == 0 || largest == 0) {
        return 0;
    }
    const double share =
        std::log1p(static_cast<double>(count)) / std::log1p(static_cast<double>(largest));
    return std::clamp(static_cast<int>(std::lround(share * kPlotHeight)), 1, kPlotHeight);
}

void DrawHistogram(QPainter& dc, const LevelHistogram& histogram, double scale) {
    const QImage columns = HistogramImage(histogram, scale);
    dc.drawImage(
        QPoint(ToDevice(kPlotOrigin, scale), ToDevice(kPlotBottom + 1 - kPlotHeight, scale)),
        columns);
}
