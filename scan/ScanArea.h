// The scan area: the one description of a part of the bed that the tool's
// --area, the scan dialog, the choices it remembers and the scan job share,
// in millimetres on the device's own axes; and setting it on a device
// through tl-x, tl-y, br-x and br-y (the conversion is BedGeometry's).
#pragma once

#include "io/Reason.h"
#include "scan/OptionDevice.h"

inline constexpr const char* kTopLeftXOption = "tl-x";
inline constexpr const char* kTopLeftYOption = "tl-y";
inline constexpr const char* kBottomRightXOption = "br-x";
inline constexpr const char* kBottomRightYOption = "br-y";

// A rectangle by its edges, in millimetres from where tl-x and tl-y read 0,
// as scanimage's -l and -t count (a bed whose options start above 0 starts
// there too).
struct ScanArea {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;

    // From a corner and a size, as -l -t -x -y and --area give it.
    static ScanArea OfSize(double left, double top, double width, double height) {
        return {left, top, left + width, top + height};
    }
    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
    friend bool operator==(const ScanArea&, const ScanArea&) = default;
};

// Sets the four options to `area`, each rounded to its option's step. An
// edge outside the bed by more than half a step, an empty area, or a device
// without the options is Unsupported, the text naming the bed's limits in
// millimetres; then nothing is set.
Reason SetScanArea(OptionDevice& device, const ScanArea& area);
