// What the calibration dialog says, in Japanese: the summary of a
// calibration, the one problem that stopped it, a chart not found, and the
// corners in the form tamrel-cli's --corners takes.
#pragma once

#include "measure/Calibration.h"
#include "measure/ChartFinder.h"

#include <QString>

// The CIEDE2000 figures, each channel's grey error before and after, the
// twelve positions, the held-out figures and the guidelines' verdict.
QString ChartSummaryText(const Calibration& calibration);

QString ChartProblemText(const CalibrationProblem& problem, ChartKind chart);

QString ChartNotFoundText(ChartKind chart, const ChartNotFound& found);

// "四隅: X1,Y1,...": image pixels to one decimal.
QString ChartCornersText(const ChartCorners& corners);
