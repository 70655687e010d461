// A ColorChecker frame's positive read back against its scene: each patch's
// output levels through the inverse of the start-up curve to linear light,
// one global exponent and gain fitted (the film's contrast and the frame's
// exposure are the user's to choose), then CIEDE2000 against the scene and
// the six greys' a* and b*.
#pragma once

#include "curve/ChannelCurve.h"
#include "image/rows/PixelRect.h"
#include "image/rows/StoredRows.h"
#include "tests/measure/SyntheticNegative.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace striptest {

// The median of each channel of `rect`, 0..1, from 16-bit RGB rows.
inline ChannelValues MedianOf(const RowSource& rows, const PixelRect& rect) {
    const RowLayout& layout = rows.Layout();
    std::vector<std::uint8_t> scratch(std::size_t(rows.ScratchBytes(rect.height)));
    const FetchedRows fetched = rows.Rows(rect.top, rect.height, scratch.data());
    std::array<std::vector<double>, 3> values;
    for (std::int32_t y = 0; y < rect.height; ++y) {
        for (std::int32_t x = rect.left; x < rect.left + rect.width; ++x) {
            for (std::size_t c = 0; c < 3; ++c) {
                std::uint16_t v = 0;
                std::memcpy(&v, fetched.First + y * layout.Stride + (x * 3 + std::int64_t(c)) * 2,
                            2);
                if (layout.Format.BigEndian) {
                    v = std::uint16_t(v >> 8 | v << 8);
                }
                values[c].push_back(v / double(layout.MaxValue));
            }
        }
    }
    ChannelValues medians{};
    for (std::size_t c = 0; c < 3; ++c) {
        std::nth_element(values[c].begin(), values[c].begin() + values[c].size() / 2,
                         values[c].end());
        medians[c] = values[c][values[c].size() / 2];
    }
    return medians;
}

// The start-up curve at 65536 entries, and the linear level (0..1) whose
// output it is.
inline double StartUpInverse(double output) {
    static const std::vector<std::uint16_t> curve = [] {
        std::vector<std::uint16_t> c(65536);
        ComputeChannelCurve(kDefaultChannelParams, c, 65535);
        return c;
    }();
    const auto level =
        static_cast<std::uint16_t>(std::lround(std::clamp(output, 0.0, 1.0) * 65535));
    const auto at = std::lower_bound(curve.begin(), curve.end(), level);
    return double(at - curve.begin()) / 65535.0;
}

struct Fidelity {
    double meanDeltaE = 0.0;
    double worstGreyAb = 0.0; // the largest |a*| or |b*| of the six greys
    double exponent = 1.0;    // the global exponent fitted
};

// `outputs`: each patch's output levels 0..1; `scene`: its linear light.
// p = g * linear^k with ln g and k fitted by least squares on logarithms.
inline Fidelity FidelityOf(const std::vector<ChannelValues>& outputs,
                           const std::vector<ChannelValues>& scene) {
    std::vector<ChannelValues> linear;
    double sx = 0, sy = 0, sxx = 0, sxy = 0, n = 0;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        ChannelValues p{};
        for (std::size_t c = 0; c < 3; ++c) {
            p[c] = std::max(StartUpInverse(outputs[i][c]), 1e-6);
            const double x = std::log(p[c]), y = std::log(scene[i][c]);
            sx += x, sy += y, sxx += x * x, sxy += x * y, n += 1;
        }
        linear.push_back(p);
    }
    Fidelity f;
    f.exponent = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    const double gain = std::exp((sy - f.exponent * sx) / n);
    const filmtest::LabSpace space;
    for (std::size_t i = 0; i < linear.size(); ++i) {
        ChannelValues p{};
        for (std::size_t c = 0; c < 3; ++c) {
            p[c] = gain * std::pow(linear[i][c], f.exponent);
        }
        const cmsCIELab got = space.Lab(p);
        const cmsCIELab want = space.Lab(scene[i]);
        f.meanDeltaE += cmsCIE2000DeltaE(&got, &want, 1, 1, 1) / double(linear.size());
        if (i >= filmtest::kFirstGrey) {
            f.worstGreyAb = std::max({f.worstGreyAb, std::abs(got.a), std::abs(got.b)});
        }
    }
    return f;
}

} // namespace striptest
