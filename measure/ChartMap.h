// The projective map between a chart's own units (patch pitches from the
// top-left corner of its grid) and the scan's pixels, fixed by the grid's
// four corners as they lie in the scan. Pixel (i, j) covers [i, i + 1) x
// [j, j + 1), so its centre is at (i + 0.5, j + 0.5).
#pragma once

#include "measure/Matrix3.h"

#include <array>
#include <optional>

struct ImagePoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const ImagePoint&, const ImagePoint&) = default;
};

// Four corners in the scan, clockwise on the chart from its top-left: the
// grid's (top-left of the first patch, top-right of the first row's last,
// bottom-right of the last row's last, bottom-left of the last row's first)
// or a sampled box's own.
using ChartCorners = std::array<ImagePoint, 4>;

class ChartMap {
public:
    // Null when the corners do not bound a convex quadrilateral of some area
    // (three in a line, crossed, folded, or coinciding).
    static std::optional<ChartMap> Make(const ChartCorners& corners, int columns, int rows);

    // A point of the chart (x across, y down, in pitches) in the scan.
    ImagePoint ToImage(double chartX, double chartY) const;
    // A point of the scan in chart units.
    ImagePoint ToChart(ImagePoint image) const;

private:
    // x' = (a u + b v + c) / w, y' = (d u + e v + f) / w, w = g u + h v + 1,
    // with (u, v) the unit square's coordinates; `inverse` undoes it.
    ChartMap(const Matrix3& forward, const Matrix3& inverse, int columns, int rows)
        : forward_(forward), inverse_(inverse), columns_(columns), rows_(rows) {}

    Matrix3 forward_;
    Matrix3 inverse_;
    int columns_;
    int rows_;
};
