// A table of outputs over evenly spaced inputs 0..1 (entry i of N stands
// for i / (N - 1)), read between its two nearest entries.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

// At least two entries; inputs outside 0..1 read the end entries.
inline double TableAt(const std::vector<double>& table, double input) {
    const double at = std::clamp(input, 0.0, 1.0) * double(table.size() - 1);
    const auto i = std::min(std::size_t(at), table.size() - 2);
    return table[i] + (at - double(i)) * (table[i + 1] - table[i]);
}
