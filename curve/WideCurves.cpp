// ComputeChannelCurve at 65536 entries for the whole; the stage's positive
// at every entry for the film alone. 65536 entries cost a few milliseconds a
// channel: a channel like one before it takes that one's table, and the
// others are made side by side.
#include "curve/WideCurves.h"

#include "curve/ChannelCurve.h"
#include "curve/FilmTables.h"

#include <functional>
#include <thread>
#include <vector>

namespace {

// The curve values a channel's table is made of (its positions only name them).
bool SameCurve(const ChannelParams& a, const ChannelParams& b) {
    return a.Black == b.Black && a.White == b.White && a.Alpha == b.Alpha && a.Gamma == b.Gamma &&
           a.Film == b.Film;
}

// `make(c, table)` for each channel unlike every one before it, the first
// on this thread and the others on threads of their own; a channel like an
// earlier one copies its table.
WideCurveSet MakeCurves(const ChannelParamsSet& channels,
                        const std::function<void(std::size_t, WideCurve&)>& make) {
    WideCurveSet curves;
    std::vector<std::size_t> own;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        curves[c].resize(kWideCurveEntries);
        if (c == 0 || !SameCurve(channels[c], channels[c - 1])) {
            own.push_back(c);
        }
    }
    std::vector<std::jthread> others;
    for (std::size_t i = 1; i < own.size(); ++i) {
        others.emplace_back([&, c = own[i]] { make(c, curves[c]); });
    }
    make(own.front(), curves[own.front()]);
    others.clear(); // joined
    for (std::size_t c = 1; c < kChannelCount; ++c) {
        if (SameCurve(channels[c], channels[c - 1])) {
            curves[c] = curves[c - 1];
        }
    }
    return curves;
}

} // namespace

WideCurveSet WholeCurves(const ChannelParamsSet& channels) {
    return MakeCurves(channels, [&](std::size_t c, WideCurve& curve) {
        ComputeChannelCurve(channels[c], curve, kWideCurveTop);
    });
}

WideCurveSet FilmCurves(const ChannelParamsSet& channels) {
    return MakeCurves(channels, [&](std::size_t c, WideCurve& curve) {
        for (std::size_t j = 0; j < kWideCurveEntries; ++j) {
            curve[j] = static_cast<std::uint16_t>(
                PositiveLevel(channels[c].Film, static_cast<std::int32_t>(j), kWideCurveTop));
        }
    });
}
