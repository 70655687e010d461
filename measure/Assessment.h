// A chart scan measured as it is delivered, fitting nothing: sampled where
// the corners put the chart, every patch looked up in the reference, and
// the figures the imaging guidelines judge taken through the delivery (the
// tables and profile the scan goes through, or none).
#pragma once

#include "measure/Calibration.h"

#include <variant>

using AssessmentOutcome = std::variant<ChartFigures, CalibrationProblem>;

// The corners' problems as calibration names them, a patch the reference
// lacks (MissingPatch), or a profile LittleCMS cannot use (ProfileFailed).
AssessmentOutcome Assess(const ChartScan& scan, ChartKind chart, const ChartReference& reference,
                         const ChartCorners& corners, const Delivery& delivery);
