// What calibrate and assess do alike with a chart scan: check the corners
// against the scan, read the reference, and name a problem with the chart
// as the user will read it.
#pragma once

#include "cli/CliArgs.h"
#include "measure/Calibration.h"

#include <iosfwd>
#include <optional>
#include <string>

// A corner off the scan, in the user's words, or empty.
std::string CornerOutsideScan(const ChartCorners& corners, const ChartScan& scan);

// The reference file, or the built-in ColorChecker without one; nullopt
// after the failure was reported on `err`.
std::optional<ChartReference> ReferenceOrReport(const CliCommand& command, std::ostream& err);

// A problem with the corners is bad usage (status 2), any other a failure
// (status 1); the exit status.
int ReportChartProblem(const CliCommand& command, const CalibrationProblem& problem,
                       std::ostream& err);
