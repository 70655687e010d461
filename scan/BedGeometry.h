// The bed as the device's geometry options (tl-x, tl-y, br-x, br-y)
// describe it, and the one conversion between a ScanArea and their words:
// millimetres, or pixels counted at the device's highest resolution (the
// grid its geometry is counted on, the same whatever resolution a page is
// scanned at).
#pragma once

#include "scan/OptionDescriptor.h"
#include "scan/ScanArea.h"

#include <array>
#include <cstdint>
#include <optional>

inline constexpr double kMmPerInch = 25.4;

// One axis: the words its edges take and how many units make a millimetre.
struct BedAxis {
    OptionRange range;     // of br-x (br-y); tl-x (tl-y) takes the same
    double unitsPerMm = 1; // 1 for millimetres, dpi / 25.4 for pixels
};

struct BedGeometry {
    OptionType type = OptionType::Fixed;
    OptionUnit unit = OptionUnit::Millimetre;
    BedAxis x;
    BedAxis y;

    // The whole bed: from the lowest word of each range to its highest step.
    ScanArea Whole() const;
    // A word of the axis in millimetres: value / unitsPerMm (a Fixed word is
    // value × 65536).
    double Mm(const BedAxis& axis, std::int32_t word) const;
    // The word nearest to `mm` that the axis takes: within its range, on its step.
    std::int32_t Word(const BedAxis& axis, double mm) const;
    // The smallest step of the axis in millimetres.
    double StepMm(const BedAxis& axis) const;
};

struct BedRead {
    Reason reason; // Unsupported, naming the option that is missing or unfit
    BedGeometry bed;
};

// The bed of a device whose four geometry options are active, settable,
// ranged numbers in millimetres or pixels (these with a resolution option).
BedRead BedGeometryOf(const OptionDescriptors& options);
BedRead BedOf(const OptionSource& device);

// tl-x, tl-y, br-x and br-y for `area`: edges in order, inside the bed, on
// the steps and at least one step apart.
std::array<std::int32_t, 4> AreaWords(const BedGeometry& bed, const ScanArea& area);
// The area four words (tl-x, tl-y, br-x, br-y) stand for.
ScanArea AreaOfWords(const BedGeometry& bed, const std::array<std::int32_t, 4>& words);
// The area as the device will scan it (AreaWords and back).
ScanArea Constrained(const BedGeometry& bed, const ScanArea& area);

// An area counted from the bed's corner (the lowest words of the ranges), as
// the scan dialog kept it in earlier versions, on the device's axes.
ScanArea AreaFromBedCorner(const BedGeometry& bed, const ScanArea& fromCorner);
