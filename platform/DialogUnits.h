// Dialog units -> pixels: a horizontal unit is a quarter of the font's average
// character width, a vertical unit an eighth of its height (the base units).
#pragma once

#include <QFont>
#include <QRect>

struct BaseUnits {
    int x; // average width of A-Z a-z, in pixels
    int y; // character height, in pixels
};

// Average width is measured over the 52 Latin letters and rounded the way the
// classic dialog manager does: (width / 26 + 1) / 2.
BaseUnits MeasureBaseUnits(const QFont& font);

int DialogUnitsToPixelsX(int units, const BaseUnits& base);
int DialogUnitsToPixelsY(int units, const BaseUnits& base);
// The rectangle (x, y) to (x + cx, y + cy) in pixels.
QRect DialogUnitsToPixels(int x, int y, int cx, int cy, const BaseUnits& base);
