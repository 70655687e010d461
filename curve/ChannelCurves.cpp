// Each channel's curve through ComputeChannelCurve, in storage of its own.
#include "curve/ChannelCurves.h"

#include "curve/ChannelCurve.h"

Curve CurveOf(const ChannelParams& channel, TableShape shape) {
    Curve curve(shape.entries);
    ComputeChannelCurve(channel, curve, shape.maxLevel);
    return curve;
}

ChannelCurves CurvesOf(const ChannelParamsSet& channels, TableShape shape) {
    ChannelCurves curves;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        curves[c] = CurveOf(channels[c], shape);
    }
    return curves;
}
