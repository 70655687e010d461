// The scan area: a rectangle on the bed in millimetres from the bed's top
// left corner, and the device's own geometry options (tl-x, tl-y, br-x,
// br-y) that carry it, counted in millimetres or in pixels.
#pragma once

#include "scan/OptionDescriptor.h"
#include "scan/ScanArea.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

inline constexpr double kMmPerInch = 25.4;

// An area on the bed by its edges, in millimetres from the bed's corner.
using BedArea = BedExtent;

// The bed as the geometry options describe it: their ranges in the device's
// words (16.16 fixed point for Fixed options), and how many of their units
// make a millimetre.
struct BedGeometry {
    OptionType type = OptionType::Fixed;
    OptionUnit unit = OptionUnit::Millimetre;
    OptionRange x; // of tl-x and br-x
    OptionRange y; // of tl-y and br-y
    double unitsPerMm = 1.0;

    double WidthMm() const;
    double HeightMm() const;
};

// The bed of a device whose four geometry options are active, settable,
// ranged and count millimetres or pixels; nothing otherwise. Pixels are taken
// at `pixelDpi`, the device's highest resolution (the grid its geometry is
// counted on).
std::optional<BedGeometry> BedGeometryOf(const OptionDescriptors& options, int pixelDpi);

// The whole bed as an area.
BedArea WholeBed(const BedGeometry& bed);

// One geometry word (a range's own words) as millimetres from the bed's edge.
double MmOfWord(const BedGeometry& bed, const OptionRange& axis, std::int32_t word);
// Millimetres from the bed's edge as the nearest word the axis takes:
// within its limits and on its step.
std::int32_t WordOfMm(const BedGeometry& bed, const OptionRange& axis, double mm);

// The area as the device will scan it: edges in order, inside the bed and on
// the device's steps, at least one step wide and high.
BedArea Constrained(const BedGeometry& bed, BedArea area);

// tl-x, tl-y, br-x and br-y as NAME=VALUE texts the device's options take.
std::vector<std::pair<std::string, std::string>> AreaOptions(const BedGeometry& bed,
                                                             const BedArea& area);

// The area the four words (tl-x, tl-y, br-x, br-y) stand for.
BedArea AreaOfWords(const BedGeometry& bed, std::int32_t tlx, std::int32_t tly, std::int32_t brx,
                    std::int32_t bry);
