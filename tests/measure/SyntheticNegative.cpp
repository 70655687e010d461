// The negative's pixels, kept out of the test programs' own unoptimised
// units: a test negative is quick to make only when optimised.
#include "tests/measure/SyntheticNegative.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace filmtest {

namespace {

// The Mersenne twister under a name of this file's own: the distributions'
// code is then compiled here, optimised, and not taken from an unoptimised
// test program that draws numbers too (the same numbers come out).
struct Engine : std::mt19937 {
    using std::mt19937::mt19937;
};

} // namespace

ChannelValues Transmission(const Film& film, const ChannelValues& exposure) {
    ChannelValues t{};
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        t[c] = film.base[c] * std::pow((exposure[c] + film.fog) / film.fog, -film.gamma[c]);
    }
    return t;
}

Negative MakeNegative(const std::vector<ChannelValues>& scene, const Film& film, double noise,
                      Layout layout) {
    Negative n;
    n.layout = layout;
    const int rows = (static_cast<int>(scene.size()) + layout.columns - 1) / layout.columns;
    const int step = layout.size + layout.gap;
    n.width = layout.gap + layout.columns * step;
    n.height = layout.gap + rows * step;
    n.samples.resize(std::size_t(n.width) * n.height * 3);
    Engine random(7);
    std::normal_distribution<double> deviate(0.0, noise);
    for (int y = 0; y < n.height; ++y) {
        for (int x = 0; x < n.width; ++x) {
            const int col = (x - layout.gap) / step, row = (y - layout.gap) / step;
            const bool inside = x >= layout.gap && y >= layout.gap &&
                                (x - layout.gap) % step < layout.size &&
                                (y - layout.gap) % step < layout.size;
            const std::size_t i = std::size_t(row) * layout.columns + col;
            const ChannelValues e = inside && i < scene.size() ? scene[i] : ChannelValues{};
            const ChannelValues t = Transmission(film, e);
            for (std::size_t c = 0; c < kChannelCount; ++c) {
                const double v = std::clamp(t[c] * (1.0 + deviate(random)), 0.0, 1.0);
                n.samples[(std::size_t(y) * n.width + x) * 3 + c] =
                    static_cast<std::uint16_t>(std::lround(v * 65535.0));
            }
        }
    }
    return n;
}

} // namespace filmtest
