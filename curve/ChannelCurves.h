// The three channels' curves at one table shape, for the text formats.
#pragma once

#include "curve/ChannelParams.h"
#include "curve/CurveTable.h"

#include <array>
#include <cstdint>
#include <vector>

using Curve = std::vector<std::uint16_t>;
using ChannelCurves = std::array<Curve, kChannelCount>; // by Channel

// `shape` must satisfy IsValidShape; the command line checks it.
Curve CurveOf(const ChannelParams& channel, TableShape shape);
ChannelCurves CurvesOf(const ChannelParamsSet& channels, TableShape shape);
