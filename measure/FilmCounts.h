// A film frame's transmissions counted: each channel's histogram over the
// whole frame and over each rectangle asked for, on the 0..65535 scale of
// the 65536-entry tables (a sample of maxval m counts at (v * 65535 + m/2) / m).
#pragma once

#include "curve/ChannelParams.h"
#include "image/Outcome.h"
#include "image/rows/StoredRows.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

inline constexpr std::size_t kTransmissionSteps = 65536;
inline constexpr double kTopTransmissionStep = 65535.0;

// A rectangle of image pixels, (left, top) from the upright image's top left.
struct PixelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Within an image of width x height, and not empty.
bool FitsImage(const PixelRect& rect, std::int32_t width, std::int32_t height);

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

// The transmission 0..1 below which `share` (0..1) of the counted samples lie:
// the step where the running count first reaches share * n.
double TransmissionAt(const TransmissionCounts& counts, double share);
// The share of the counted samples above transmission `t`.
double ShareAbove(const TransmissionCounts& counts, double t);
// The three channels' counts as one, for a film with one channel's response.
TransmissionCounts Pooled(const ChannelCounts& counts);
