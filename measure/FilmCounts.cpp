// Rows are made 16-bit R, G, B steps in a worker's buffer, then counted: the
// whole row into the frame, its part inside each rectangle into that one.
// Each run counts into counts of its own, added to the totals under a lock.
#include "measure/FilmCounts.h"

#include "image/rows/ImageBuffer.h"
#include "image/rows/Pipeline.h"
#include "measure/RowSteps.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numeric>
#include <optional>

namespace {

constexpr std::int64_t kSteps = kStepsPerPixel;

RunCounts EmptyRunCounts() {
    RunCounts counts;
    for (auto& channel : counts) {
        channel.assign(kTransmissionSteps, 0);
    }
    return counts;
}

void CountSteps(const std::uint16_t* steps, std::int32_t from, std::int32_t to, RunCounts& counts) {
    std::uint32_t* red = counts[kRed].data();
    std::uint32_t* green = counts[kGreen].data();
    std::uint32_t* blue = counts[kBlue].data();
    for (std::int64_t x = from; x < to; ++x) {
        ++red[steps[x * kSteps]];
        ++green[steps[x * kSteps + 1]];
        ++blue[steps[x * kSteps + 2]];
    }
}

void AddCounts(const RunCounts& from, ChannelCounts& to) {
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        std::transform(from[c].begin(), from[c].end(), to[c].begin(), to[c].begin(),
                       [](std::uint32_t a, std::uint64_t b) { return a + b; });
    }
}

// Larger runs than the pipeline's own: each run's counts are cleared and
// added once, which costs more than the cache that small runs would keep.
constexpr std::int64_t kCountRunBytes = std::int64_t{8} << 20;

// The totals the runs add to, and the rectangles they count.
struct Totals {
    std::span<const PixelRect> regions;
    FrameCounts counts;
    std::mutex mutex;
};

// Stored rows first .. first + count - 1 counted into their run's own counts.
void CountRun(const RowSteps& convert, const RowLayout& layout, std::int32_t first,
              std::int32_t count, const std::uint8_t* rows, std::uint8_t* buffer, Totals& totals) {
    const std::int64_t width = layout.Width;
    auto* steps = reinterpret_cast<std::uint16_t*>(buffer + width * kImageBytesPerPixel);
    RunCounts frame = EmptyRunCounts();
    RegionTally regions(totals.regions);
    for (std::int32_t k = 0; k < count; ++k) {
        convert.Convert(rows + k * layout.Stride, buffer, steps);
        CountSteps(steps, 0, layout.Width, frame);
        regions.Count(layout.UprightRow(first + k), steps);
    }
    const std::lock_guard lock(totals.mutex);
    AddCounts(frame, totals.counts.frame);
    regions.AddTo(totals.counts.regions);
}

} // namespace

RegionTally::RegionTally(std::span<const PixelRect> regions)
    : regions_(regions), counts_(regions.size()) {}

void RegionTally::Count(std::int32_t y, const std::uint16_t* steps) {
    for (std::size_t r = 0; r < regions_.size(); ++r) {
        const PixelRect& rect = regions_[r];
        if (y >= rect.top && y < rect.top + rect.height) {
            if (!counts_[r]) {
                counts_[r] = EmptyRunCounts();
            }
            CountSteps(steps, rect.left, rect.left + rect.width, *counts_[r]);
        }
    }
}

void RegionTally::AddTo(std::vector<ChannelCounts>& totals) const {
    for (std::size_t r = 0; r < counts_.size(); ++r) {
        if (counts_[r]) {
            AddCounts(*counts_[r], totals[r]);
        }
    }
}

ChannelCounts EmptyChannelCounts() {
    ChannelCounts counts;
    for (TransmissionCounts& channel : counts) {
        channel.assign(kTransmissionSteps, 0);
    }
    return counts;
}

std::vector<ChannelCounts> EmptyRegionCounts(std::size_t regions) {
    return std::vector<ChannelCounts>(regions, EmptyChannelCounts());
}

Outcome<FrameCounts> CountFrame(const RowSource& source, std::span<const PixelRect> regions) {
    Totals totals{regions, {EmptyChannelCounts(), EmptyRegionCounts(regions.size())}, {}};
    const RowLayout& layout = source.Layout();
    if (!layout.HasRows()) {
        return std::move(totals.counts);
    }
    PipelineOptions options;
    options.RunBytes = kCountRunBytes;
    // One row's widened pixels, then its steps.
    const std::int64_t rowBytes = std::int64_t{layout.Width} * (kImageBytesPerPixel + 2 * kSteps);
    const Outcome<RowRuns> runs = RowRuns::Plan(source, rowBytes, options);
    if (!runs) {
        return runs.Why();
    }
    const RowSteps convert(source);
    const Reason failed = runs->Run(
        [&](std::int32_t first, std::int32_t count, const std::uint8_t* rows, std::uint8_t* out) {
            CountRun(convert, layout, first, count, rows, out, totals);
            return true;
        });
    if (failed) {
        return failed;
    }
    return std::move(totals.counts);
}

double TransmissionAt(const TransmissionCounts& counts, double share) {
    const std::uint64_t n = std::accumulate(counts.begin(), counts.end(), std::uint64_t{0});
    const double wanted = share * static_cast<double>(n);
    std::uint64_t below = 0;
    for (std::size_t step = 0; step < counts.size(); ++step) {
        below += counts[step];
        if (below > 0 && static_cast<double>(below) >= wanted) {
            return static_cast<double>(step) / kTopTransmissionStep;
        }
    }
    return 1.0;
}

double ShareAbove(const TransmissionCounts& counts, double t) {
    const auto first = static_cast<std::size_t>(std::lround(t * kTopTransmissionStep)) + 1;
    const std::uint64_t n = std::accumulate(counts.begin(), counts.end(), std::uint64_t{0});
    const std::uint64_t above = std::accumulate(
        counts.begin() + static_cast<std::ptrdiff_t>(std::min(first, counts.size())), counts.end(),
        std::uint64_t{0});
    return n == 0 ? 0.0 : static_cast<double>(above) / static_cast<double>(n);
}

TransmissionCounts Pooled(const ChannelCounts& counts) {
    TransmissionCounts pooled(kTransmissionSteps, 0);
    for (const TransmissionCounts& channel : counts) {
        std::transform(channel.begin(), channel.end(), pooled.begin(), pooled.begin(),
                       std::plus<>());
    }
    return pooled;
}
