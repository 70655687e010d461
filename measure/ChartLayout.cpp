// The two built-in charts. ColorChecker 24: 6 x 4 cells A01..D06, each patch
// centred in its cell and filling 88 % of it; row D is the grey scale, white
// to black. IT8.7/2: 22 x 12 patches A01..L22 without gaps, and below them
// the grey scale GS00 (white) .. GS23 (black), 24 patches of one pitch wide
// and two tall, 0.96 pitch below the grid and starting 1.04 pitches left of it.
#include "measure/ChartLayout.h"

#include "io/Letters.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

// Each patch is sampled over the central half of its width and height.
constexpr double kSampledShare = 0.5;

constexpr int kCheckerColumns = 6;
constexpr int kCheckerRows = 4;
constexpr double kCheckerPatchShare = 0.88; // of the cell
constexpr int kCheckerGreyRow = 3;          // row D

constexpr int kIt8Columns = 22;
constexpr int kIt8Rows = 12;
constexpr int kIt8Greys = 24;
constexpr double kIt8GreyHeight = 2.0;   // pitches
constexpr double kIt8GreyGap = 0.96;     // from the grid's bottom edge to the strip's top
constexpr double kIt8GreyOffset = -1.04; // the strip's left edge from the grid's left edge

constexpr std::size_t kIdBytes = 8;

// The central half of a patch whose box is given.
ChartBox Sampled(double left, double top, double width, double height) {
    const double marginX = width * (1.0 - kSampledShare) / 2.0;
    const double marginY = height * (1.0 - kSampledShare) / 2.0;
    return {left + marginX, top + marginY, left + width - marginX, top + height - marginY};
}

std::string GridId(int row, int column) {
    char id[kIdBytes];
    std::snprintf(id, sizeof id, "%c%02d", 'A' + row, column + 1);
    return id;
}

ChartLayout MakeColorChecker() {
    ChartLayout layout{ChartKind::ColorChecker24,
                       "colorchecker",
                       "ColorChecker 24",
                       kCheckerColumns,
                       kCheckerRows,
                       {},
                       {}};
    const double inset = (1.0 - kCheckerPatchShare) / 2.0;
    for (int row = 0; row < kCheckerRows; ++row) {
        for (int column = 0; column < kCheckerColumns; ++column) {
            const bool grey = row == kCheckerGreyRow;
            if (grey) {
                layout.greys.push_back(layout.patches.size());
            }
            layout.patches.push_back(
                {GridId(row, column),
                 Sampled(column + inset, row + inset, kCheckerPatchShare, kCheckerPatchShare),
                 grey});
        }
    }
    return layout;
}

ChartLayout MakeIt8() {
    ChartLayout layout{ChartKind::It8, "it8", "IT8.7/2", kIt8Columns, kIt8Rows, {}, {}};
    for (int row = 0; row < kIt8Rows; ++row) {
        for (int column = 0; column < kIt8Columns; ++column) {
            layout.patches.push_back({GridId(row, column), Sampled(column, row, 1.0, 1.0), false});
        }
    }
    const double stripTop = kIt8Rows + kIt8GreyGap;
    for (int step = 0; step < kIt8Greys; ++step) {
        char id[kIdBytes];
        std::snprintf(id, sizeof id, "GS%02d", step);
        layout.greys.push_back(layout.patches.size());
        layout.patches.push_back(
            {id, Sampled(kIt8GreyOffset + step, stripTop, 1.0, kIt8GreyHeight), true});
    }
    return layout;
}

constexpr std::array<ChartKind, 2> kCharts = {ChartKind::ColorChecker24, ChartKind::It8};

} // namespace

const ChartLayout& LayoutOf(ChartKind kind) {
    static const ChartLayout checker = MakeColorChecker();
    static const ChartLayout it8 = MakeIt8();
    return kind == ChartKind::It8 ? it8 : checker;
}

std::optional<ChartKind> ChartNamed(std::string_view name) {
    for (const ChartKind kind : kCharts) {
        if (SameLetters(name, LayoutOf(kind).name)) {
            return kind;
        }
    }
    return std::nullopt;
}

ChartBox ExtentOf(const ChartLayout& layout) {
    ChartBox extent{0, 0, double(layout.columns), double(layout.rows)};
    for (const ChartPatch& patch : layout.patches) {
        const ChartBox& s = patch.sample;
        const double halfWidth = (s.right - s.left) / 2;
        const double halfHeight = (s.bottom - s.top) / 2;
        extent.left = std::min(extent.left, s.left - halfWidth);
        extent.top = std::min(extent.top, s.top - halfHeight);
        extent.right = std::max(extent.right, s.right + halfWidth);
        extent.bottom = std::max(extent.bottom, s.bottom + halfHeight);
    }
    return extent;
}

std::span<const ChartKind> AllCharts() {
    return kCharts;
}
