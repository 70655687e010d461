// The checks run in the order calibration runs them: the corners, then the
// reference. A clipped or disordered grey scale is measured, not refused:
// the verdict is what it shows.
#include "measure/Assessment.h"

AssessmentOutcome Assess(const ChartScan& scan, ChartKind chart, const ChartReference& reference,
                         const ChartCorners& corners, const Delivery& delivery) {
    const ChartLayout& layout = LayoutOf(chart);
    const auto sampled = SampleChart(scan, layout, corners);
    if (const auto* problem = std::get_if<SamplingProblem>(&sampled)) {
        return ProblemOf(*problem);
    }
    if (const std::optional<std::string> missing = MissingPatch(layout, reference)) {
        return CalibrationProblem{CalibrationFault::MissingPatch, *missing, {}, {}};
    }
    Outcome<ChartFigures> figures =
        MeasureFigures(scan, layout, corners, std::get<ChartSamples>(sampled), reference, delivery);
    if (!figures) {
        return CalibrationProblem{CalibrationFault::ProfileFailed, {}, {}, figures.Why().Text};
    }
    return std::move(*figures);
}
