// Lines are walked in steps of at most one pixel along their longer axis;
// labels stand above each box's top-left corner, in the patch's own margin
// (the box is its central half, so the margin is half the box's height),
// with a dark shadow one pixel down and right so they read on any patch.
#include "measure/ChartPicture.h"

#include "curve/ChannelCurve.h"
#include "curve/ChannelParams.h"
#include "measure/PatchFont.h"

#include <algorithm>
#include <cmath>

namespace {

using Rgb = std::array<std::uint8_t, 3>;

constexpr Rgb kPlainColour = {255, 255, 255};
constexpr Rgb kGoodColour = {0, 220, 0};
constexpr Rgb kFairColour = {255, 220, 0};
constexpr Rgb kPoorColour = {255, 0, 0};
constexpr Rgb kShadowColour = {0, 0, 0};
constexpr std::size_t kScanLevels = 65536;
constexpr int kLabelGap = 2; // pixels between a label and its box
constexpr std::size_t kMarkCorners = 4;

void Put(SampleImage& picture, int x, int y, const Rgb& colour) {
    const SampleLayout& l = picture.layout;
    if (x < 0 || y < 0 || x >= l.width || y >= l.height) {
        return;
    }
    std::uint8_t* at = picture.bytes.data() + std::size_t(y) * l.RowBytes() + std::size_t(x) * 3;
    std::copy(colour.begin(), colour.end(), at);
}

void DrawLine(SampleImage& picture, ImagePoint a, ImagePoint b, const Rgb& colour) {
    const int steps =
        std::max(1, int(std::ceil(std::max(std::abs(b.x - a.x), std::abs(b.y - a.y)))));
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        Put(picture, int(std::floor(a.x + t * (b.x - a.x))), int(std::floor(a.y + t * (b.y - a.y))),
            colour);
    }
}

void DrawText(SampleImage& picture, int left, int top, int scale, const std::string& text,
              const Rgb& colour) {
    for (std::size_t k = 0; k < text.size(); ++k) {
        const Glyph& glyph = GlyphOf(text[k]);
        for (int row = 0; row < kGlyphHeight * scale; ++row) {
            for (int col = 0; col < kGlyphWidth * scale; ++col) {
                if (glyph[std::size_t(row / scale)] >> (kGlyphWidth - 1 - col / scale) & 1) {
                    Put(picture, left + int(k) * kGlyphAdvance * scale + col, top + row, colour);
                }
            }
        }
    }
}

void DrawLabel(SampleImage& picture, const MarkedPatch& patch, const Rgb& colour) {
    double left = patch.outline[0].x, right = left, top = patch.outline[0].y, bottom = top;
    for (const ImagePoint& p : patch.outline) {
        left = std::min(left, p.x), right = std::max(right, p.x);
        top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    }
    const double room = (bottom - top) / 2 - kLabelGap;
    const int byHeight = int(room / kGlyphHeight);
    const int byWidth = int(2 * (right - left) / std::max(1, TextWidth(patch.id)));
    const int scale = std::min(byHeight, byWidth);
    if (scale < 1) {
        return;
    }
    const int x = int(std::floor(left));
    const int y = int(std::floor(top)) - kLabelGap - kGlyphHeight * scale;
    DrawText(picture, x + 1, y + 1, scale, patch.id, kShadowColour);
    DrawText(picture, x, y, scale, patch.id, colour);
}

} // namespace

PatchMark MarkOf(double deltaE) {
    return deltaE < kGoodDeltaE ? PatchMark::Good
                                : (deltaE < kFairDeltaE ? PatchMark::Fair : PatchMark::Poor);
}

std::array<std::uint8_t, 3> MarkColour(PatchMark mark) {
    switch (mark) {
    case PatchMark::Good:
        return kGoodColour;
    case PatchMark::Fair:
        return kFairColour;
    case PatchMark::Poor:
        return kPoorColour;
    case PatchMark::Plain:
        break;
    }
    return kPlainColour;
}

std::vector<MarkedPatch> MarksOf(const Calibration& calibration) {
    std::vector<MarkedPatch> marks;
    for (const PatchResult& p : calibration.patches) {
        marks.push_back({p.sample.outline, p.id, MarkOf(p.deltaE)});
    }
    return marks;
}

std::vector<std::uint16_t> StartUpLevels() {
    std::vector<std::uint16_t> curve(kScanLevels);
    ComputeChannelCurve(kDefaultChannelParams, curve, kWindowShape.maxLevel);
    return curve;
}

SampleImage ChartBackdrop(const ChartScan& scan) {
    const std::vector<std::uint16_t> curve = StartUpLevels();
    SampleImage picture{{scan.width, scan.height, kRgbChannels, kByteDepth}, {}};
    picture.bytes.resize(scan.rgb.size());
    std::transform(scan.rgb.begin(), scan.rgb.end(), picture.bytes.begin(),
                   [&](std::uint16_t v) { return static_cast<std::uint8_t>(curve[v]); });
    return picture;
}

void DrawMarks(SampleImage& picture, std::span<const MarkedPatch> patches) {
    for (const MarkedPatch& patch : patches) {
        const Rgb colour = MarkColour(patch.mark);
        for (std::size_t i = 0; i < kMarkCorners; ++i) {
            DrawLine(picture, patch.outline[i], patch.outline[(i + 1) % kMarkCorners], colour);
        }
        DrawLabel(picture, patch, colour);
    }
}
