// Device words <-> millimetres: a Fixed word is value × 65536; a value is
// millimetres, or pixels at the device's grid (unitsPerMm = dpi / 25.4).
// Areas are kept relative to the bed's corner (the ranges' minimum), so a
// device whose ranges start above zero still shows its bed from 0 mm.
#include "scan/BedGeometry.h"

#include "scan/OptionValue.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

std::int32_t WordOfValue(OptionType type, double value) {
    return static_cast<std::int32_t>(std::lround(value * WordsPerUnit(type)));
}

// The word's value as text that reads back to the same word: a Fixed word's
// value is an exact double, written in its shortest round-trip form.
std::string TextOfWord(OptionType type, std::int32_t word) {
    char buffer[32];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, ValueOfWord(type, word));
    return error == std::errc() ? std::string(buffer, end) : std::to_string(word);
}

bool IsGeometry(const std::optional<OptionDescriptor>& option) {
    return option && option->active && option->settable && option->WordCount() == 1 &&
           (option->type == OptionType::Fixed || option->type == OptionType::Int) &&
           (option->unit == OptionUnit::Millimetre || option->unit == OptionUnit::Pixel) &&
           std::holds_alternative<OptionRange>(option->constraint);
}

// The smallest step an axis takes, in words: its quantum, or one word.
std::int32_t StepOf(const OptionRange& axis) {
    return std::max<std::int32_t>(axis.quant, 1);
}

} // namespace

double BedGeometry::WidthMm() const {
    return MmOfWord(*this, x, x.max);
}

double BedGeometry::HeightMm() const {
    return MmOfWord(*this, y, y.max);
}

std::optional<BedGeometry> BedGeometryOf(const OptionDescriptors& options, int pixelDpi) {
    const auto tlx = FindOption(options, kTopLeftXOption);
    const auto tly = FindOption(options, kTopLeftYOption);
    const auto brx = FindOption(options, kBottomRightXOption);
    const auto bry = FindOption(options, kBottomRightYOption);
    if (!IsGeometry(tlx) || !IsGeometry(tly) || !IsGeometry(brx) || !IsGeometry(bry) ||
        brx->type != tlx->type || bry->type != tlx->type || brx->unit != tlx->unit) {
        return std::nullopt;
    }
    BedGeometry bed;
    bed.type = brx->type;
    bed.unit = brx->unit;
    bed.x = std::get<OptionRange>(brx->constraint);
    bed.y = std::get<OptionRange>(bry->constraint);
    if (bed.unit == OptionUnit::Pixel) {
        if (pixelDpi <= 0) {
            return std::nullopt;
        }
        bed.unitsPerMm = pixelDpi / kMmPerInch;
    }
    if (bed.x.max <= bed.x.min || bed.y.max <= bed.y.min) {
        return std::nullopt;
    }
    return bed;
}

BedArea WholeBed(const BedGeometry& bed) {
    return {0, 0, bed.WidthMm(), bed.HeightMm()};
}

double MmOfWord(const BedGeometry& bed, const OptionRange& axis, std::int32_t word) {
    return (ValueOfWord(bed.type, word) - ValueOfWord(bed.type, axis.min)) / bed.unitsPerMm;
}

std::int32_t WordOfMm(const BedGeometry& bed, const OptionRange& axis, double mm) {
    const double value = mm * bed.unitsPerMm + ValueOfWord(bed.type, axis.min);
    const std::int64_t word =
        std::clamp<std::int64_t>(WordOfValue(bed.type, value), axis.min, axis.max);
    const std::int64_t step = StepOf(axis);
    const std::int64_t steps = (word - axis.min + step / 2) / step;
    std::int64_t snapped = axis.min + steps * step;
    while (snapped > axis.max) {
        snapped -= step;
    }
    return static_cast<std::int32_t>(snapped);
}

namespace {

// Both edges of one axis in words: ordered, on the steps, at least a step apart.
std::pair<std::int32_t, std::int32_t> AxisWords(const BedGeometry& bed, const OptionRange& axis,
                                                double low, double high) {
    std::int32_t a = WordOfMm(bed, axis, std::min(low, high));
    std::int32_t b = WordOfMm(bed, axis, std::max(low, high));
    if (b - a < StepOf(axis)) {
        if (a + StepOf(axis) <= axis.max) {
            b = a + StepOf(axis);
        } else {
            a = b - StepOf(axis);
        }
    }
    return {a, b};
}

} // namespace

BedArea Constrained(const BedGeometry& bed, BedArea area) {
    const auto [left, right] = AxisWords(bed, bed.x, area.left, area.right);
    const auto [top, bottom] = AxisWords(bed, bed.y, area.top, area.bottom);
    return AreaOfWords(bed, left, top, right, bottom);
}

std::vector<std::pair<std::string, std::string>> AreaOptions(const BedGeometry& bed,
                                                             const BedArea& area) {
    const auto [left, right] = AxisWords(bed, bed.x, area.left, area.right);
    const auto [top, bottom] = AxisWords(bed, bed.y, area.top, area.bottom);
    return {{kTopLeftXOption, TextOfWord(bed.type, left)},
            {kTopLeftYOption, TextOfWord(bed.type, top)},
            {kBottomRightXOption, TextOfWord(bed.type, right)},
            {kBottomRightYOption, TextOfWord(bed.type, bottom)}};
}

BedArea AreaOfWords(const BedGeometry& bed, std::int32_t tlx, std::int32_t tly, std::int32_t brx,
                    std::int32_t bry) {
    return {MmOfWord(bed, bed.x, tlx), MmOfWord(bed, bed.y, tly), MmOfWord(bed, bed.x, brx),
            MmOfWord(bed, bed.y, bry)};
}
