// One page from a device: sane_start, the frame parameters, sane_read until
// the end of the last frame, sane_cancel, the data as rows of samples.
#pragma once

#include "image/SampleImage.h"
#include "io/Reason.h"
#include "scan/SaneDevice.h"

#include <atomic>
#include <functional>

// The share of the page read so far, 0..1; unknown heights report nothing.
using ScanProgress = std::function<void(double fraction)>;

struct ScanResult {
    Reason reason; // SANE's status, Cancelled, or Unsupported (a depth other than 8 or 16)
    SampleImage image;
};

// Reads the page with the options as set. Grey and RGB frames give 1 and 3
// channels; red, green and blue frames of a three-pass scanner are woven
// into one RGB image; a hand scanner's unknown height is read to the end of
// the data. `cancel` is looked at between reads: once it is true the scan
// is cancelled and the result is Cancelled. The device is idle again on
// return, whatever happened.
ScanResult ScanPage(SaneDevice& device, const std::atomic<bool>& cancel,
                    const ScanProgress& progress = {});
