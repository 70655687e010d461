// How a device rounds an area's pixels, learnt from the device itself: the
// page size it announces (sane_get_parameters) for areas whose exact pixel
// counts end in about .75 and .25 tells rounding down, to the nearest and up
// apart on each axis.
#pragma once

#include "scan/BedGeometry.h"
#include "scan/SaneDevice.h"
#include "scan/ScanSize.h"

// Sets resolution `dpi` and two probing areas on the open device, reads the
// page size each announces, and sets the area and resolution back as they
// were. Rounding down where the device tells nothing (it names no
// resolution, announces no size, or refuses the probe).
PixelRoundings ProbeRounding(SaneDevice& device, const BedGeometry& bed, int dpi);

// The rounding of one axis from the two probes: exact counts ending in about
// .75 (high) and .25 (low), and what the device announced for each.
PixelRounding RoundingOf(double highExact, std::int64_t highAnnounced, double lowExact,
                         std::int64_t lowAnnounced);
