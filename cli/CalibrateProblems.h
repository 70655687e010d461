// What calibrate and assess say when a chart cannot be measured: each
// problem of the core in the user's words, on standard error with the file
// it is about, and the exit status it ends with (bad usage for corners that
// bound nothing, failure for the rest).
#pragma once

#include "cli/CliArgs.h"
#include "measure/Calibration.h"
#include "measure/ChartFinder.h"

#include <iosfwd>
#include <string>

int ReportCalibrationProblem(const CliCommand& command, const CalibrationProblem& problem,
                             std::ostream& err);

// "no IT8.7/2 chart found: looked for ...", naming the grid that was found
// instead, if any.
std::string NotFoundText(ChartKind chart, const ChartNotFound& found);

// "corners: X1,Y1,...,X4,Y4\n", one decimal each, as --corners takes them.
std::string CornersLine(const ChartCorners& corners);
