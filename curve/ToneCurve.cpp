// The curve of GammaTable.cpp without its rounding: with W = white - black
// and L = (x - black) / W, 0 for x <= black, (x - black) * M * V0 / (L0 * W)
// below the tangent point, M * ((1 - k) * L^p + k) from it on, for the top M.
// The top multiplies first, as the tables always computed it (at M = 1 it
// changes no bit).
#include "curve/ToneCurve.h"

#include "curve/GammaTable.h"

#include <algorithm>
#include <cmath>

CurveTangent TangentOf(double exponent, double alpha) {
    const double p = exponent;
    const double k = std::pow(kBt709Exponent / p, kSquare) * (1.0 - alpha);
    const double l0 = std::pow(-k / ((1.0 - p) * (1.0 - k)), 1.0 / p);
    return {k, l0, (1.0 - k) * std::pow(l0, p) + k};
}

ToneCurve::ToneCurve(double white, double exponent, double alpha, double black, double top)
    : black_(black), span_(white - black), exponent_(exponent), top_(top),
      tangent_(TangentOf(exponent, alpha)), toeEnd_(tangent_.l0 * span_ + black),
      toeSlope_(top * tangent_.v0 / (tangent_.l0 * span_)) {}

ToneCurve::ToneCurve(const ChannelParams& channel)
    : ToneCurve(channel.White, 1.0 / channel.Gamma, channel.Alpha, channel.Black) {}

double ToneCurve::operator()(double level) const {
    if (!(level > black_)) {
        return 0.0;
    }
    const double value =
        level < toeEnd_
            ? (level - black_) * toeSlope_
            : top_ *
                  ((1.0 - tangent_.k) * std::pow((level - black_) / span_, exponent_) + tangent_.k);
    return std::clamp(value, 0.0, top_);
}
