// ComputeChannelCurve at 65536 entries for the whole; the stage's positive
// at every entry for the film alone.
#include "curve/WideCurves.h"

#include "curve/ChannelCurve.h"
#include "curve/FilmTables.h"

WideCurveSet WholeCurves(const ChannelParamsSet& channels) {
    WideCurveSet curves;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        curves[c].resize(kWideCurveEntries);
        ComputeChannelCurve(channels[c], curves[c], kWideCurveTop);
    }
    return curves;
}

WideCurveSet FilmCurves(const ChannelParamsSet& channels) {
    WideCurveSet curves;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        curves[c].resize(kWideCurveEntries);
        for (std::size_t j = 0; j < kWideCurveEntries; ++j) {
            curves[c][j] = static_cast<std::uint16_t>(
                PositiveLevel(channels[c].Film, static_cast<std::int32_t>(j), kWideCurveTop));
        }
    }
    return curves;
}
