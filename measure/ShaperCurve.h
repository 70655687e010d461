// One channel's tone curve: the linear value (0..1) of every scanned value
// (0..1), rising and of any shape. It lives on log scales, x = log(device -
// f) against y = log(linear), where f is the device's zero-light value (its
// flare): a power law with flare is a straight line there.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

struct ShaperPoint {
    double device; // as scanned, 0..1
    double linear; // what it stands for, above 0
};

struct LogKnot {
    double x; // log(device - flare)
    double y; // log(linear)
};

// A monotone cubic (Fritsch and Carlson) through knots rising in x and y,
// continued beyond the end knots as the power laws of its end pieces, and 0
// at and below the flare. Fewer than two knots give the straight line
// linear = device.
class LogCurve {
public:
    LogCurve();
    LogCurve(double flare, std::vector<LogKnot> knots);

    double operator()(double device) const;
    // log(linear) at x = log(device - flare), and its slope there.
    double LogAt(double x) const;
    double SlopeAt(double x) const;
    double Flare() const { return flare_; }
    std::vector<LogKnot> Knots() const;
    // The value at device 1, by which Normalised divides.
    double Top() const;
    // The same curve divided by Top(), so that device 1 gives 1.
    LogCurve Normalised() const;
    // `size` entries for the scanned values i / (size - 1).
    std::vector<double> Table(std::size_t size) const;

private:
    struct Knot {
        double x;
        double y;
        double slope;
    };
    void SetSlopes();
    std::size_t PieceAt(double x) const;

    double flare_ = 0;
    std::vector<Knot> knots_;
};

// The curve through the points: the flare f from a fit of device = f + g *
// linear^e, then a knot at every point (those that do not rise in both
// scales left out).
LogCurve CurveThrough(std::span<const ShaperPoint> points);
