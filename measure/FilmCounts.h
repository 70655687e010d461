// A film frame's transmissions counted: each channel's histogram over the
// whole frame and over each rectangle asked for, on the 0..65535 scale of
// the 65536-entry tables (a sample of maxval m counts at (v * 65535 + m/2) / m).
#pragma once

#include "curve/ChannelParams.h"
#include "image/Outcome.h"
#include "image/rows/PixelRect.h"
#include "image/rows/StoredRows.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

inline constexpr std::size_t kTransmissionSteps = 65536;
inline constexpr double kTopTransmissionStep = 65535.0;

// Samples per step of the 0..65535 scale.
using TransmissionCounts = std::vector<std::uint64_t>;
using ChannelCounts = std::array<TransmissionCounts, kChannelCount>;

struct FrameCounts {
    ChannelCounts frame;
    std::vector<ChannelCounts> regions; // in the order they were asked for
};

// Every pixel of `source` counted once, a grey sample on all three channels;
// each rectangle must fit the image. Grey or RGB scans of 8 or 16 bits, a
// BMP's pixels and the window's kept image; the read's reason otherwise.
Outcome<FrameCounts> CountFrame(const RowSource& source, std::span<const PixelRect> regions);

// The counts of the rectangles that one run of rows crosses, kept apart
// from the totals so that runs on several threads count without a lock and
// are added once. 32 bits hold any run's samples.
using RunCounts = std::array<std::vector<std::uint32_t>, kChannelCount>;
class RegionTally {
public:
    // The rectangles must outlive the tally.
    explicit RegionTally(std::span<const PixelRect> regions);
    // Upright row y's red, green, blue steps: its part inside each rectangle.
    void Count(std::int32_t y, const std::uint16_t* steps);
    // Adds to the totals of each rectangle, in order.
    void AddTo(std::vector<ChannelCounts>& totals) const;

private:
    std::span<const PixelRect> regions_;
    std::vector<std::optional<RunCounts>> counts_; // made when a row first crosses one
};
// Counts of nothing yet, for each channel, and for each of `regions`.
ChannelCounts EmptyChannelCounts();
std::vector<ChannelCounts> EmptyRegionCounts(std::size_t regions);

// The transmission 0..1 below which `share` (0..1) of the counted samples lie:
// the step where the running count first reaches share * n.
double TransmissionAt(const TransmissionCounts& counts, double share);
// The share of the counted samples above transmission `t`.
double ShareAbove(const TransmissionCounts& counts, double t);
// The three channels' counts as one, for a film with one channel's response.
TransmissionCounts Pooled(const ChannelCounts& counts);
