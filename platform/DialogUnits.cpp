// Conversion of dialog units to pixels through the dialog font's base units.
#include "platform/DialogUnits.h"

#include <QFontMetrics>

namespace {

constexpr const char* kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kLetterPairs = 26;
constexpr int kHorizontalDivisor = 4;
constexpr int kVerticalDivisor = 8;

// units * base / divisor, rounded half away from zero like MulDiv.
int Scale(int units, int base, int divisor) {
    const long long product = static_cast<long long>(units) * base;
    const long long half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor : (product - half) / divisor);
}

} // namespace

BaseUnits MeasureBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QString::fromLatin1(kLetters));
    return BaseUnits{(width / kLetterPairs + 1) / 2, metrics.height()};
}

int DialogUnitsToPixelsX(int units, const BaseUnits& base) {
    return Scale(units, base.x, kHorizontalDivisor);
}

int DialogUnitsToPixelsY(int units, const BaseUnits& base) {
    return Scale(units, base.y, kVerticalDivisor);
}

QRect DialogUnitsToPixels(int x, int y, int cx, int cy, const BaseUnits& base) {
    // Edges are converted, not sizes: controls that touch in dialog units
    // then touch in pixels too, instead of overlapping by a rounded pixel.
    const QPoint topLeft(DialogUnitsToPixelsX(x, base), DialogUnitsToPixelsY(y, base));
    const QPoint bottomRight(DialogUnitsToPixelsX(x + cx, base),
                             DialogUnitsToPixelsY(y + cy, base));
    return QRect(topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y()));
}
