// A calibration in words, as tamrel-cli prints it and writes its report:
// the twelve positions, the summary, and a line for every patch.
#pragma once

#include "measure/Calibration.h"

#include <string>

// The positions as the sliders show them, one line per channel.
std::string PositionsText(const Calibration& calibration);

// CIEDE2000 mean, 90th percentile and largest; each channel's grey error in
// output levels at the start-up positions and at the fitted ones.
std::string SummaryText(const Calibration& calibration);

// The positions, the summary, then one line per patch: its ID, the
// reference Lab, the Lab through the profile, and their CIEDE2000.
std::string ReportText(const Calibration& calibration);
