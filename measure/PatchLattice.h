// The lattice a chart's patches make in a scan: the square-shaped flat
// regions (measure/FlatRegions.h) that lie one pitch apart along two
// square directions, each numbered by its column and row. The pitch and
// the turn come from the regions themselves: every pair of similar regions
// between one and two of their sides apart votes for its direction, folded
// into one quarter turn, and its length; the most voted direction and
// length are the lattice's. Regions are then linked to a neighbour found
// within a third of a pitch of where one pitch along either direction puts
// it, and numbered outwards from any region through the links; the largest
// set so linked is the lattice.
#pragma once

#include "measure/ChartMap.h"
#include "measure/FlatRegions.h"

#include <optional>
#include <span>
#include <vector>

struct LatticeNode {
    int column = 0; // from 0, along the first direction
    int row = 0;    // from 0, along the second, a quarter turn clockwise from the first
    ImagePoint centre;
};

struct PatchLattice {
    std::vector<LatticeNode> nodes;
    int columns = 0; // the extent of the numbers
    int rows = 0;
    double pitch = 0;   // scan pixels
    double degrees = 0; // the first direction from the scan's x axis, -45..45, clockwise
};

// Directions are searched within kMostTurnDegrees of the scan's axes (the
// chart lies square to the scan within a few degrees). Nothing when no two
// regions lie a pitch apart.
inline constexpr double kMostTurnDegrees = 10.0;
std::optional<PatchLattice> FindLattice(std::span<const SquareRegion> regions);
