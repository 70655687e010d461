// A calibration in words, as tamrel-cli prints it and writes its report:
// the twelve positions, the summary, a line for every patch, and the
// verdict of the imaging guidelines on the scan through what was fitted.
#pragma once

#include "measure/Calibration.h"

#include <string>

// The positions as the sliders show them, one line per channel.
std::string PositionsText(const Calibration& calibration);

// CIEDE2000 mean, 90th percentile and largest, on the patches the profile
// was fitted to and held out (with a warning when the held-out mean is
// more than twice the other); each channel's grey error in output levels
// at the start-up positions and at the fitted ones.
std::string SummaryText(const Calibration& calibration);

// The positions, the summary, then one line per patch: its ID, the
// reference Lab, the Lab through the profile, their CIEDE2000 and the
// held-out one; last the verdict.
std::string ReportText(const Calibration& calibration);
