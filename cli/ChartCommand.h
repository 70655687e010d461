// What calibrate and assess do alike with a chart scan: read it, check the
// corners given against it or find the chart, and read the reference.
#pragma once

#include "cli/CliArgs.h"
#include "measure/ChartReference.h"
#include "measure/ChartScan.h"

#include <iosfwd>
#include <optional>
#include <string>

// A corner off the scan, in the user's words, or empty.
std::string CornerOutsideScan(const ChartCorners& corners, const ChartScan& scan);

// The reference file, or the built-in ColorChecker without one; nullopt
// after the failure was reported on `err`.
std::optional<ChartReference> ReferenceOrReport(const CliCommand& command, std::ostream& err);

// The corners given, or those of the chart found in the scan; printed on
// `out` either way, so that a later run can give them. Null after saying
// on `err` that no chart was found.
std::optional<ChartCorners> SettleCorners(const CliCommand& command, const ChartScan& scan,
                                          const ChartReference& reference, std::ostream& out,
                                          std::ostream& err);
