// The tone curve at N entries of 0..M. Entry j stands for the input level
// x = j * 255 / (N - 1); with W = white - black and L = (x - black) / W,
//   0                                  for x <= black,
//   (x - black) * M * V0 / (L0 * W)    below the tangent point L0 itself,
//   M * ((1 - k) * L^p + k)            from it on,
// each rounded half up and clamped to 0..M. The toe ends at the tangent point,
// not at a rounded index: at large N a rounded index would put power-law values
// below L0, where the offset power law lies far under the toe, and the table
// would drop by thousands of levels.
#include "curve/CurveTable.h"

#include "curve/GammaTable.h"
#include "curve/ToneCurve.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTopInputLevel = 255.0;

// Round half up, then clamp to 0..maxLevel; clamping first keeps NaN and huge
// values out of the integer conversion and gives the same level.
std::uint16_t ToLevel(double raw, int maxLevel) {
    const double biased = raw + kRoundingBias;
    if (!(biased > 0.0)) {
        return 0;
    }
    if (biased >= maxLevel) {
        return static_cast<std::uint16_t>(maxLevel);
    }
    return static_cast<std::uint16_t>(biased);
}

// The window's table, copied; its entries already lie in 0..255 for every
// slider setting, the clamp only keeps other settings inside 0..M as promised.
void CopyWindowTable(double white, std::span<std::uint16_t> table, double exponent, double alpha,
                     double black) {
    GammaTable window{};
    ComputeGammaTable(white, window, exponent, alpha, black);
    std::transform(window.begin(), window.end(), table.begin(), [](std::int16_t entry) {
        return static_cast<std::uint16_t>(std::clamp<int>(entry, 0, kWindowShape.maxLevel));
    });
}

} // namespace

bool ComputeCurveTable(double white, std::span<std::uint16_t> table, int maxLevel, double exponent,
                       double alpha, double black) {
    const TableShape shape{table.size(), maxLevel};
    if (!IsValidShape(shape)) {
        return false;
    }
    if (shape == kWindowShape) {
        CopyWindowTable(white, table, exponent, alpha, black);
        return true;
    }
    const ToneCurve curve(white, exponent, alpha, black, maxLevel);
    const double last = static_cast<double>(table.size() - 1);
    for (std::size_t j = 0; j < table.size(); ++j) {
        table[j] = ToLevel(curve(static_cast<double>(j) * kTopInputLevel / last), maxLevel);
    }
    return true;
}

// Film at least as clear as the base gives a positive of at most 0, and the
// densest film one of at least 1: both clamp, so their levels are worked
// out once and only the film between goes through the stage and the curve
// entry by entry (a third of a 16-bit table on a typical negative).
bool ComputeFilmCurveTable(const FilmStage& film, double white, std::span<std::uint16_t> table,
                           int maxLevel, double exponent, double alpha, double black) {
    if (!IsValidShape({table.size(), maxLevel})) {
        return false;
    }
    const ToneCurve curve(white, exponent, alpha, black, maxLevel);
    const double last = static_cast<double>(table.size() - 1);
    const double highlights = FilmHighlights(film);
    const std::uint16_t bottom = ToLevel(curve(0.0), maxLevel);
    const std::uint16_t top = ToLevel(curve(kTopInputLevel), maxLevel);
    for (std::size_t j = 0; j < table.size(); ++j) {
        const double t = static_cast<double>(j) / last;
        const double positive = t >= film.base ? 0.0 : FilmPositive(film, t, highlights);
        table[j] = positive <= 0.0   ? bottom
                   : positive >= 1.0 ? top
                                     : ToLevel(curve(kTopInputLevel * positive), maxLevel);
    }
    return true;
}
