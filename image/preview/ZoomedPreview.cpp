// Zoomed out, shown pixel d of m covers source pixels [d × s / m, (d + 1) ×
// s / m) of s on each axis; each source pixel weighs the length it has in
// that span, as 16-bit fractions summing to 65536 (a box filter of exact
// width). The source is the smallest pyramid level still at least the
// shown size, so a span holds at most three source pixels. Zoomed in, a
// shown pixel takes the one source pixel under its centre (ImageIndexOf),
// the pixel the readout reads there.
#include "image/preview/ZoomedPreview.h"

#include "image/preview/PreviewGeometry.h"
#include "image/rows/ParallelRows.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000;
constexpr std::uint32_t kWholeWeight = 1u << 16;
constexpr int kWeightBits = 16;
constexpr std::int32_t kSmallestLevel = 16; // no level is made below this size
constexpr int kChannels = 3;
constexpr int kChannelShifts[kChannels] = {0, 8, 16}; // blue, green, red of 0xFFRRGGBB
constexpr std::uint32_t kChannelMask = 0xFF;
constexpr std::uint32_t kEvenBytes = 0x00FF00FF;

// The mean of four pixels, channel by channel: blue and red (and green and
// alpha) side by side in 16-bit fields, which four bytes cannot overflow.
std::uint32_t MeanOfFour(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    constexpr std::uint32_t kHalfOfFour = 0x00020002; // rounds each field's quarter
    const std::uint32_t even =
        (a & kEvenBytes) + (b & kEvenBytes) + (c & kEvenBytes) + (d & kEvenBytes) + kHalfOfFour;
    const std::uint32_t odd = (a >> 8 & kEvenBytes) + (b >> 8 & kEvenBytes) +
                              (c >> 8 & kEvenBytes) + (d >> 8 & kEvenBytes) + kHalfOfFour;
    return kOpaque | (even >> 2 & kEvenBytes) | (odd >> 2 & kEvenBytes) << 8;
}

void HalveInto(const PreviewImage& from, PreviewImage& to) {
    const std::int32_t lastX = from.Width() - 1;
    const std::int32_t lastY = from.Height() - 1;
    ForRowRanges(to.Height(), to.Width(), [&](std::int32_t begin, std::int32_t end) {
        for (std::int32_t y = begin; y < end; ++y) {
            const std::uint32_t* upper = from.Row(2 * y);
            const std::uint32_t* lower = from.Row(std::min(2 * y + 1, lastY));
            std::uint32_t* out = to.Row(y);
            for (std::int32_t x = 0; x < to.Width(); ++x) {
                const std::int32_t left = 2 * x;
                const std::int32_t right = std::min(left + 1, lastX);
                out[x] = MeanOfFour(upper[left], upper[right], lower[left], lower[right]);
            }
        }
        return true;
    });
}

// Which source pixels each shown pixel of a window reads on one axis, and
// how much each weighs.
struct AxisTaps {
    std::vector<std::int32_t> first;    // the first source pixel of each shown pixel
    std::vector<std::int32_t> start;    // where its weights begin; one more at the end
    std::vector<std::uint32_t> weights; // fractions of kWholeWeight, summing to it
};

void AddSpan(AxisTaps& taps, double from, double to, std::int32_t source) {
    const auto firstPixel = static_cast<std::int32_t>(std::floor(from));
    const auto endPixel = std::min(source, static_cast<std::int32_t>(std::ceil(to)));
    taps.first.push_back(firstPixel);
    const std::size_t begin = taps.weights.size();
    std::uint32_t sum = 0;
    for (std::int32_t i = firstPixel; i < endPixel; ++i) {
        const double covered = std::min<double>(to, i + 1) - std::max<double>(from, i);
        const auto weight =
            static_cast<std::uint32_t>(std::lround(covered / (to - from) * kWholeWeight));
        taps.weights.push_back(weight);
        sum += weight;
    }
    // Rounding leaves the sum a little off: the largest weight takes the rest.
    auto largest = std::max_element(taps.weights.begin() + static_cast<std::ptrdiff_t>(begin),
                                    taps.weights.end());
    *largest += kWholeWeight - sum;
}

// `source` pixels that stand for `extent` of them (a level's last pixel may
// stand for less than a whole one: an odd size halved).
AxisTaps TapsOf(std::int32_t windowStart, std::int32_t windowSize, std::int32_t shown,
                std::int32_t source, double extent) {
    AxisTaps taps;
    const double span = extent / shown;
    for (std::int32_t d = windowStart; d < windowStart + windowSize; ++d) {
        taps.start.push_back(static_cast<std::int32_t>(taps.weights.size()));
        if (shown >= source) {
            taps.first.push_back(ImageIndexOf(d, shown, source));
            taps.weights.push_back(kWholeWeight);
        } else {
            AddSpan(taps, d * span, (d + 1) * span, source);
        }
    }
    taps.start.push_back(static_cast<std::int32_t>(taps.weights.size()));
    return taps;
}

bool OneTapEach(const AxisTaps& taps) {
    return taps.weights.size() + 1 == taps.start.size();
}

// Zoomed in (or 1:1): each shown pixel is a copy of one source pixel.
void CopyPixels(const PreviewImage& source, const AxisTaps& columns, const AxisTaps& rows,
                PreviewImage& out) {
    ForRowRanges(out.Height(), out.Width(), [&](std::int32_t begin, std::int32_t end) {
        for (std::int32_t v = begin; v < end; ++v) {
            const std::uint32_t* in = source.Row(rows.first[static_cast<std::size_t>(v)]);
            std::uint32_t* line = out.Row(v);
            for (std::int32_t u = 0; u < out.Width(); ++u) {
                line[u] = in[columns.first[static_cast<std::size_t>(u)]];
            }
        }
        return true;
    });
}

// One shown row: the rows it covers summed down each source column of the
// window (weighted), then the columns each shown pixel covers summed across.
void AverageRow(const PreviewImage& source, const AxisTaps& columns, const AxisTaps& rows,
                std::int32_t v, std::vector<std::uint32_t>& down, std::uint32_t* line) {
    const std::int32_t low = columns.first.front();
    const std::int32_t high =
        columns.first.back() + (columns.start.back() - columns.start[columns.start.size() - 2]);
    down.assign(static_cast<std::size_t>(high - low) * kChannels, 0);
    const auto vi = static_cast<std::size_t>(v);
    for (std::int32_t t = rows.start[vi]; t < rows.start[vi + 1]; ++t) {
        const std::uint32_t weight = rows.weights[static_cast<std::size_t>(t)];
        const std::uint32_t* in = source.Row(rows.first[vi] + (t - rows.start[vi]));
        for (std::int32_t c = low; c < high; ++c) {
            std::uint32_t* sums = &down[static_cast<std::size_t>(c - low) * kChannels];
            for (int ch = 0; ch < kChannels; ++ch) {
                sums[ch] += weight * (in[c] >> kChannelShifts[ch] & kChannelMask);
            }
        }
    }
    for (std::size_t u = 0; u + 1 < columns.start.size(); ++u) {
        std::uint64_t total[kChannels] = {};
        for (std::int32_t t = columns.start[u]; t < columns.start[u + 1]; ++t) {
            const std::uint64_t weight = columns.weights[static_cast<std::size_t>(t)];
            const std::size_t c =
                static_cast<std::size_t>(columns.first[u] + (t - columns.start[u]) - low);
            for (int ch = 0; ch < kChannels; ++ch) {
                total[ch] += weight * down[c * kChannels + static_cast<std::size_t>(ch)];
            }
        }
        std::uint32_t pixel = kOpaque;
        for (int ch = 0; ch < kChannels; ++ch) {
            const std::uint64_t mean =
                (total[ch] + (std::uint64_t{1} << (2 * kWeightBits - 1))) >> (2 * kWeightBits);
            pixel |= static_cast<std::uint32_t>(mean) << kChannelShifts[ch];
        }
        line[u] = pixel;
    }
}

// The smallest of the preview and its levels that is still at least the
// shown size, and how many times it was halved.
std::pair<const PreviewImage*, int>
SourceFor(const PreviewImage& base, const PreviewPyramid* pyramid, const ZoomWindow& window) {
    const PreviewImage* source = &base;
    int halvings = 0;
    if (pyramid) {
        for (const PreviewImage& level : pyramid->Levels()) {
            if (level.Width() < window.shownWidth || level.Height() < window.shownHeight) {
                break;
            }
            source = &level;
            ++halvings;
        }
    }
    return {source, halvings};
}

} // namespace

std::optional<PreviewPyramid> PreviewPyramid::Build(const PreviewImage& base) {
    PreviewPyramid pyramid;
    const PreviewImage* from = &base;
    while (from->Width() > kSmallestLevel && from->Height() > kSmallestLevel) {
        auto level = PreviewImage::Create((from->Width() + 1) / 2, (from->Height() + 1) / 2);
        if (!level) {
            return std::nullopt;
        }
        HalveInto(*from, *level);
        pyramid.levels_.push_back(std::move(*level));
        from = &pyramid.levels_.back();
    }
    return pyramid;
}

bool RenderZoomWindow(const PreviewImage& base, const PreviewPyramid* pyramid,
                      const ZoomWindow& window, PreviewImage& out) {
    const bool inside = window.left >= 0 && window.top >= 0 && window.width > 0 &&
                        window.height > 0 && window.left + window.width <= window.shownWidth &&
                        window.top + window.height <= window.shownHeight;
    if (!inside || out.Width() != window.width || out.Height() != window.height ||
        base.Width() <= 0 || base.Height() <= 0) {
        return false;
    }
    const auto [level, halvings] = SourceFor(base, pyramid, window);
    const PreviewImage& source = *level;
    const double scale = std::ldexp(1.0, -halvings);
    const AxisTaps columns =
        TapsOf(window.left, window.width, window.shownWidth, source.Width(), base.Width() * scale);
    const AxisTaps rows = TapsOf(window.top, window.height, window.shownHeight, source.Height(),
                                 base.Height() * scale);
    if (OneTapEach(columns) && OneTapEach(rows)) {
        CopyPixels(source, columns, rows, out);
        return true;
    }
    const std::int64_t tapsPerRow = static_cast<std::int64_t>(columns.weights.size());
    ForRowRanges(out.Height(), tapsPerRow, [&](std::int32_t begin, std::int32_t end) {
        std::vector<std::uint32_t> down;
        for (std::int32_t v = begin; v < end; ++v) {
            AverageRow(source, columns, rows, v, down, out.Row(v));
        }
        return true;
    });
    return true;
}
