// The nodes' values are summed outwards from the anchor, step by step:
// y(x_j+1) = y(x_j) + f_j * (y_s(x_j+1) - y_s(x_j)), f_j = e^((delta(x_j)
// + delta(x_j+1)) / 2).
#include "measure/BentCurve.h"

#include <algorithm>
#include <cmath>

BentCurve::BentCurve(const LogCurve& start, std::vector<double> controls, std::size_t anchor)
    : start_(start), controls_(std::move(controls)), anchor_(anchor) {
    for (std::size_t k = 0; k < controls_.size(); ++k) {
        const std::size_t steps = k + 1 < controls_.size() ? kBendSteps : 1;
        for (std::size_t s = 0; s < steps; ++s) {
            const double t = double(s) / double(kBendSteps);
            const double x = k + 1 < controls_.size()
                                 ? controls_[k] + t * (controls_[k + 1] - controls_[k])
                                 : controls_[k];
            nodes_.push_back(x);
            startLogs_.push_back(start_.LogAt(x));
        }
    }
    nodeLogs_ = startLogs_;
    factors_.assign(nodes_.empty() ? 0 : nodes_.size() - 1, 1.0);
}

void BentCurve::Bend(std::span<const double> delta) {
    if (controls_.empty()) {
        return;
    }
    std::vector<double> atNodes;
    for (std::size_t k = 0; k < controls_.size(); ++k) {
        const std::size_t steps = k + 1 < controls_.size() ? kBendSteps : 1;
        for (std::size_t s = 0; s < steps; ++s) {
            const double t = double(s) / double(kBendSteps);
            atNodes.push_back(k + 1 < controls_.size() ? delta[k] + t * (delta[k + 1] - delta[k])
                                                       : delta[k]);
        }
    }
    for (std::size_t j = 0; j < factors_.size(); ++j) {
        factors_[j] = std::exp((atNodes[j] + atNodes[j + 1]) / 2);
    }
    below_ = std::exp(delta.front());
    above_ = std::exp(delta.back());
    const std::size_t anchorNode = anchor_ * kBendSteps;
    nodeLogs_[anchorNode] = startLogs_[anchorNode];
    for (std::size_t j = anchorNode; j + 1 < nodes_.size(); ++j) {
        nodeLogs_[j + 1] = nodeLogs_[j] + factors_[j] * (startLogs_[j + 1] - startLogs_[j]);
    }
    for (std::size_t j = anchorNode; j > 0; --j) {
        nodeLogs_[j - 1] = nodeLogs_[j] - factors_[j - 1] * (startLogs_[j] - startLogs_[j - 1]);
    }
}

double BentCurve::LogAt(double x, double startLog) const {
    if (nodes_.empty()) {
        return startLog;
    }
    if (x <= nodes_.front()) {
        return nodeLogs_.front() + below_ * (startLog - startLogs_.front());
    }
    if (x >= nodes_.back()) {
        return nodeLogs_.back() + above_ * (startLog - startLogs_.back());
    }
    const auto right = std::upper_bound(nodes_.begin(), nodes_.end(), x);
    const auto j = std::size_t(right - nodes_.begin() - 1);
    return nodeLogs_[j] + factors_[j] * (startLog - startLogs_[j]);
}

double BentCurve::operator()(double device) const {
    if (device <= start_.Flare()) {
        return 0.0;
    }
    const double x = std::log(device - start_.Flare());
    return std::exp(LogAt(x, start_.LogAt(x)));
}

std::vector<double> BentCurve::Table(std::size_t size) const {
    std::vector<double> table(size);
    for (std::size_t i = 0; i < size; ++i) {
        table[i] = (*this)(double(i) / double(size - 1));
    }
    return table;
}
