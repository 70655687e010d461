// Profiles of a strip's map: one value per line of cells across or along
// the strip (a share of cells, a median density), and what is read off
// them: a percentile, and the runs of lines that stand above a level.
#pragma once

#include <cstdint>
#include <vector>

using Profile = std::vector<double>;

// [begin, end) in lines of cells.
struct LineRun {
    std::int32_t begin = 0;
    std::int32_t end = 0;
    std::int32_t Length() const { return end - begin; }
    friend bool operator==(const LineRun&, const LineRun&) = default;
};

// The value below which `share` (0..1) of the values lie (nearest rank); 0
// for none.
double PercentileOf(std::vector<double> values, double share);

// Runs of lines at `low` or more that hold at least one line at `high` or
// more (hysteresis): each run ends where the profile falls below `low`, so
// a run's edge is where its level is lost, not where it first dips.
std::vector<LineRun> RunsAbove(const Profile& profile, double high, double low);
