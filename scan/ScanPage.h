// One page from a device: sane_start, the frame parameters, sane_read until
// the end of the last frame, sane_cancel, the data as rows of samples.
#pragma once

#include "image/rows/SampleImage.h"
#include "io/Reason.h"
#include "scan/SaneDevice.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>

// The share of the page read so far, 0..1; unknown heights report nothing.
using ScanProgress = std::function<void(double fraction)>;

struct ScanResult {
    Reason reason; // SANE's status, Cancelled, or Unsupported (a depth other than 8 or 16)
    SampleImage image;
};

// Whole rows of the page, in order, RowBytes() apart; the sink may change
// them in place. False stops the scan.
using PageRowSink = std::function<bool(std::span<std::uint8_t> rows)>;
// Reads every row of the page into the sink: the scan's reason, or
// WriteFailed when the sink stopped it.
using PageReader = std::function<Reason(const PageRowSink& sink)>;
// What is done with a page once its shape is known, reading it through
// `read`; its reason is the scan's.
using PageUse = std::function<Reason(const SampleLayout& layout, const PageReader& read)>;

// What follows a page read whole: sane_cancel, which ends the scan (and a
// document feeder's batch: some feeders drop the pages left on it), or
// nothing, so that the next sane_start takes the feeder's next page. A page
// that fails is always cancelled.
enum class AfterPage { Cancel, NextPage };

// Scans the page into `use`. A single frame of known height is streamed as
// sane_read gives it, never held whole; a three-pass or hand scan is read
// whole first, since its shape is known only at its end. A device that ends
// the page before the lines it promised fails with SANE_STATUS_EOF's reason.
Reason ScanPage(SaneDevice& device, const std::atomic<bool>& cancel, const ScanProgress& progress,
                const PageUse& use, AfterPage after = AfterPage::Cancel);

// A use that keeps the whole page in `image`.
PageUse CollectInto(SampleImage& image);

// Reads the page with the options as set. Grey and RGB frames give 1 and 3
// channels; red, green and blue frames of a three-pass scanner are woven
// into one RGB image; a hand scanner's unknown height is read to the end of
// the data. `cancel` is looked at between reads: once it is true the scan
// is cancelled and the result is Cancelled. The device is idle again on
// return, whatever happened.
ScanResult ScanPage(SaneDevice& device, const std::atomic<bool>& cancel,
                    const ScanProgress& progress = {});
