// Runs of whole cell rows on every core: each run sums its rows' steps per
// cell in 64 bits, writes a cell row's means once its last row is summed,
// and counts the rectangles its rows cross; only the rectangles' counts
// are added under a lock, since no two runs share a cell row.
#include "measure/StripMap.h"

#include "image/rows/ImageBuffer.h"
#include "image/rows/LevelRows.h"
#include "image/rows/Pipeline.h"
#include "measure/RowSteps.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

namespace {

// The step that stands for a step of 0 in a density: half of the least.
constexpr double kLeastDensityStep = 0.5;
// Runs of about this many bytes of stored rows, rounded to whole cell rows.
constexpr std::int64_t kMapRunBytes = std::int64_t{4} << 20;

struct MapTotals {
    StripMap map;
    std::span<const PixelRect> regions;
    std::mutex mutex;
};

// Adds one row's steps, step(i) for sample i, to the sums of its cell row.
template <typename StepAt>
void SumRow(const StepAt& step, const StripMap& map, std::vector<std::uint64_t>& sums) {
    for (std::int32_t column = 0; column < map.columns; ++column) {
        const std::int32_t from = column * map.cell;
        const std::int32_t to = std::min(from + map.cell, map.width);
        std::uint64_t* sum = sums.data() + std::size_t(column) * kChannelCount;
        for (std::int64_t x = from; x < to; ++x) {
            for (std::size_t c = 0; c < kChannelCount; ++c) {
                sum[c] += step(x * kStepsPerPixel + std::int64_t(c));
            }
        }
    }
}

// 16-bit R, G, B samples of full scale are their own steps (a big-endian
// one's bytes swapped): they are summed as stored, without a pass through
// the steps, unless a rectangle wants them counted.
bool SumsAsStored(const RowLayout& layout, std::size_t regions) {
    return (layout.Format == kRgb48 || layout.Format == kRgb48Be) &&
           layout.MaxValue == kMaxSample16 && regions == 0;
}

// The means of cell row `row`, whose sums hold `lines` rows; clears the sums.
void StoreCellRow(std::int32_t row, std::int32_t lines, StripMap& map,
                  std::vector<std::uint64_t>& sums) {
    for (std::int32_t column = 0; column < map.columns; ++column) {
        const std::int32_t across = std::min(map.cell, map.width - column * map.cell);
        const auto pixels = std::uint64_t(across) * std::uint64_t(lines);
        std::uint64_t* sum = sums.data() + std::size_t(column) * kChannelCount;
        CellSteps& cell = map.cells[std::size_t(row) * std::size_t(map.columns) + column];
        for (std::size_t c = 0; c < kChannelCount; ++c) {
            cell[c] = static_cast<std::uint16_t>((sum[c] + pixels / 2) / pixels);
            sum[c] = 0;
        }
    }
}

void MapRun(const RowSteps& convert, const RowLayout& layout, std::int32_t first,
            std::int32_t count, const std::uint8_t* rows, std::uint8_t* buffer, MapTotals& totals) {
    StripMap& map = totals.map;
    auto* steps =
        reinterpret_cast<std::uint16_t*>(buffer + std::int64_t{layout.Width} * kImageBytesPerPixel);
    std::vector<std::uint64_t> sums(std::size_t(map.columns) * kChannelCount, 0);
    RegionTally regions(totals.regions);
    const bool stored = SumsAsStored(layout, totals.regions.size());
    const bool swapped = layout.Format.BigEndian;
    for (std::int32_t k = 0; k < count; ++k) {
        const std::int32_t y = first + k;
        const std::uint8_t* row = rows + k * layout.Stride;
        if (stored) {
            SumRow(
                [&](std::int64_t i) {
                    std::uint16_t v = 0;
                    std::memcpy(&v, row + 2 * i, sizeof v);
                    return swapped ? std::uint16_t(v >> 8 | v << 8) : v;
                },
                map, sums);
        } else {
            convert.Convert(row, buffer, steps);
            regions.Count(y, steps);
            SumRow([&](std::int64_t i) { return steps[i]; }, map, sums);
        }
        const std::int32_t line = y % map.cell;
        if (line == map.cell - 1 || y + 1 == layout.Height) {
            StoreCellRow(y / map.cell, line + 1, map, sums);
        }
    }
    const std::lock_guard lock(totals.mutex);
    regions.AddTo(map.regions);
}

} // namespace

const std::vector<float>& StepDensities() {
    static const std::vector<float> densities = [] {
        std::vector<float> d(kTransmissionSteps);
        for (std::size_t s = 0; s < d.size(); ++s) {
            d[s] =
                float(-std::log10(std::max(double(s), kLeastDensityStep) / kTopTransmissionStep));
        }
        return d;
    }();
    return densities;
}

std::int32_t CellSideFor(std::int32_t width, std::int32_t height, std::int64_t mostCells) {
    const double pixels = double(width) * double(height);
    auto side = std::max<std::int32_t>(1, std::int32_t(std::ceil(std::sqrt(pixels / mostCells))));
    const auto cells = [&](std::int32_t s) {
        return std::int64_t((width + s - 1) / s) * std::int64_t((height + s - 1) / s);
    };
    while (cells(side) > mostCells) {
        ++side;
    }
    return side;
}

Outcome<StripMap> MapStrip(const RowSource& source, std::span<const PixelRect> regions,
                           std::int64_t mostCells) {
    const UprightRows upright(source);
    const RowLayout& layout = upright.Layout();
    MapTotals totals{{}, regions, {}};
    StripMap& map = totals.map;
    map.width = layout.Width;
    map.height = layout.Height;
    map.regions = EmptyRegionCounts(regions.size());
    if (!layout.HasRows()) {
        return std::move(totals.map);
    }
    map.cell = CellSideFor(layout.Width, layout.Height, mostCells);
    map.columns = (layout.Width + map.cell - 1) / map.cell;
    map.rows = (layout.Height + map.cell - 1) / map.cell;
    map.cells.assign(std::size_t(map.columns) * std::size_t(map.rows), CellSteps{});
    // One row's widened pixels, then its steps.
    const std::int64_t rowBytes = std::int64_t{layout.Width} * (kImageBytesPerPixel + 2 * 3);
    PipelineOptions options;
    const std::int64_t cellRowBytes = rowBytes * map.cell;
    options.RowsPerRun =
        map.cell * std::int32_t(std::max<std::int64_t>(1, kMapRunBytes / cellRowBytes));
    const Outcome<RowRuns> runs = RowRuns::Plan(upright, rowBytes, options);
    if (!runs) {
        return runs.Why();
    }
    const RowSteps convert(upright);
    const Reason failed = runs->Run(
        [&](std::int32_t first, std::int32_t count, const std::uint8_t* rows, std::uint8_t* out) {
            MapRun(convert, layout, first, count, rows, out, totals);
            return true;
        });
    if (failed) {
        return failed;
    }
    return std::move(totals.map);
}
