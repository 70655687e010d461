// The steps every scan job shares, for one page or a feeder's batch: a
// device opened and set up as the settings ask, and a page read through
// the curves where the device took none.
#pragma once

#include "scan/ScanJob.h"

#include <optional>

// Picks and opens the device, applies the settings (in the order RunScanJob
// states), loads the tables and records the resolution. Fills `outcome`'s
// device, reason, settingRefused, curvesInSoftware and resolution; the
// device is present exactly when there is no reason.
std::optional<SaneDevice> PrepareScan(const SaneSession& session, const ScanSettings& settings,
                                      ScanOutcome& outcome);

// One page into `use`; with `inSoftware` the rows go through the settings'
// curves first.
Reason ScanThroughCurves(SaneDevice& device, const ScanSettings& settings, bool inSoftware,
                         const std::atomic<bool>& cancel, const ScanProgress& progress,
                         const PageUse& use, AfterPage after = AfterPage::Cancel);
