// One channel's stored parameters as a table of any shape.
#pragma once

#include "curve/ChannelParams.h"
#include "curve/CurveTable.h"

#include <cstdint>
#include <span>

// ComputeCurveTable(White, table, maxLevel, 1 / Gamma, Alpha, Black), the
// arguments ComputeChannelTable passes for the window's table; with a film
// stage, ComputeFilmCurveTable with the same arguments.
bool ComputeChannelCurve(const ChannelParams& channel, std::span<std::uint16_t> table,
                         int maxLevel);
