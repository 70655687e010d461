// One channel's tone curve through a chart's grey patches: the linear value
// (0..1) of every scanned value (0..1), as a table, rising and of any shape.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

struct ShaperPoint {
    double device; // as scanned, 0..1
    double linear; // what it stands for, above 0
};

// The device's zero-light value f (its flare) is taken from a fit of
// device = f + g * linear^e; the curve then runs through the points on
// log(device - f) against log(linear) by a monotone cubic (Fritsch and
// Carlson), continued beyond the end points as the power laws of its end
// pieces, 0 at and below f. `size` entries for the scanned values
// i / (size - 1), scaled so that the last is 1. Fewer than two usable
// points give a straight line.
std::vector<double> ShaperThrough(std::span<const ShaperPoint> points, std::size_t size);
