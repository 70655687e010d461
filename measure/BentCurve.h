// A rising curve bent from another on their log scales, x = log(device -
// flare) and y = log(linear): where the start's slope is y_s'(x), the bent
// curve's is y_s'(x) * e^delta(x). delta is given at control points and runs
// straight between them, level beyond the end ones; between controls it is
// taken in kBendSteps equal steps, each with its mean factor, so that
//   y(x) = y(x_j) + e^delta_j * (y_s(x) - y_s(x_j))   within step j,
// which rises wherever the start rises, is the start exactly for delta = 0,
// and keeps the start's value at the anchor control.
#pragma once

#include "measure/ShaperCurve.h"

#include <cstddef>
#include <span>
#include <vector>

inline constexpr std::size_t kBendSteps = 16;

class BentCurve {
public:
    // `controls` rising in x; `anchor` indexes them. No controls: the start.
    BentCurve(const LogCurve& start, std::vector<double> controls, std::size_t anchor);

    // delta at each control; all zero at first.
    void Bend(std::span<const double> delta);

    const LogCurve& Start() const { return start_; }
    // log(linear) at x, given the start's log(linear) there.
    double LogAt(double x, double startLog) const;
    double operator()(double device) const;
    // `size` entries for the scanned values i / (size - 1).
    std::vector<double> Table(std::size_t size) const;

private:
    LogCurve start_;
    std::vector<double> controls_;
    std::size_t anchor_;
    std::vector<double> nodes_;     // the steps' ends, in x
    std::vector<double> startLogs_; // the start's y at the nodes
    std::vector<double> nodeLogs_;  // the bent curve's
    std::vector<double> factors_;   // e^delta of each step
    double below_ = 1.0;            // e^delta beyond the first control
    double above_ = 1.0;            // and beyond the last
};
