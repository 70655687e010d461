// The tone curve of GammaTable.h as a function of a continuous input level
// (0..255 of a gamma-1.0 scan) to an unrounded output of 0..top (1, or a
// table's top level): what the tables hold before rounding, for the sized
// tables, a film stage that hands the curve levels between entries, and fits
// that need the curve between levels.
#pragma once

#include "curve/ChannelParams.h"

// The offset k, the tangent point L0 on the normalised input and the value
// V0 there, for the exponent p = 1 / Gamma and Alpha:
// k = (0.45 / p)^2 * (1 - alpha), L0 = (-k / ((1 - p) * (1 - k)))^(1 / p),
// V0 = (1 - k) * L0^p + k.
struct CurveTangent {
    double k;
    double l0;
    double v0;
};

CurveTangent TangentOf(double exponent, double alpha);

class ToneCurve {
public:
    ToneCurve(double white, double exponent, double alpha, double black, double top = 1.0);
    explicit ToneCurve(const ChannelParams& channel);

    // 0 at or below Black, the toe's line below the tangent point, the
    // offset power law from it on, times top; clamped to 0..top.
    double operator()(double level) const;

private:
    double black_;
    double span_;
    double exponent_;
    double top_;
    CurveTangent tangent_;
    double toeEnd_;   // the tangent point on the input scale
    double toeSlope_; // output per input level on the toe
};
