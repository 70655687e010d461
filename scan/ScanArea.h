// The scan area: the part of the bed a page is scanned from, given in
// millimetres and set through the device's tl-x, tl-y, br-x and br-y
// options in the device's own unit.
#pragma once

#include "io/Reason.h"
#include "scan/OptionDevice.h"

inline constexpr const char* kTopLeftXOption = "tl-x";
inline constexpr const char* kTopLeftYOption = "tl-y";
inline constexpr const char* kBottomRightXOption = "br-x";
inline constexpr const char* kBottomRightYOption = "br-y";

// A rectangle in millimetres from the bed's origin, as scanimage's
// -l -t -x -y give it.
struct ScanArea {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const ScanArea&, const ScanArea&) = default;
};

// The whole bed in millimetres: from the lowest top-left to the highest
// bottom-right the options' ranges allow.
struct BedExtent {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
    friend bool operator==(const BedExtent&, const BedExtent&) = default;
};

struct BedRead {
    Reason reason; // Unsupported: no geometry options, or ones without limits
    BedExtent bed;
};

// Options in SANE_UNIT_MM are read as they are; options in SANE_UNIT_PIXEL
// through the resolution set now (see ResolutionOf).
BedRead BedOf(OptionDevice& device);

// Sets the four options to `area`, each rounded to its option's step. An
// edge outside the bed by more than half a step, an empty area, or a
// device without the options is Unsupported, the text naming the bed's
// limits in millimetres; then nothing is set.
Reason SetScanArea(OptionDevice& device, const ScanArea& area);
