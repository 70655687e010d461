// Device words <-> millimetres on the device's axes: a Fixed word is
// value × 65536; a value is millimetres, or pixels at the highest resolution
// (unitsPerMm = dpi / 25.4). A word is on its axis's steps when it is
// min + k × quant.
#include "scan/BedGeometry.h"

#include "scan/OptionValue.h"
#include "scan/ScanJob.h"
#include "scan/ScanResolution.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

Reason BedRefused(const std::string& why) {
    return {ReasonCode::Unsupported, 0, "area: " + why};
}

// The smallest step an axis takes, in words: its quantum, or one word.
std::int64_t WordStep(const OptionRange& range) {
    return std::max<std::int32_t>(range.quant, 1);
}

// The highest word on the range's steps.
std::int32_t HighestStep(const OptionRange& range) {
    const std::int64_t span = std::int64_t{range.max} - range.min;
    return static_cast<std::int32_t>(range.min + span / WordStep(range) * WordStep(range));
}

Reason CheckGeometry(const OptionDescriptors& options, const char* name) {
    const auto option = FindOption(options, name);
    if (!option || !option->active || !option->settable) {
        return BedRefused(std::string("the device has no ") + name + " option to set it");
    }
    const bool number = option->type == OptionType::Fixed || option->type == OptionType::Int;
    const auto* range = std::get_if<OptionRange>(&option->constraint);
    if (!number || option->WordCount() != 1 || !range || range->max <= range->min) {
        return BedRefused(std::string(name) + " is not a number with limits");
    }
    if (option->unit != OptionUnit::Millimetre && option->unit != OptionUnit::Pixel) {
        return BedRefused(std::string(name) + " is in neither millimetres nor pixels");
    }
    return {};
}

// The highest dpi of `axisName` (x-resolution, y-resolution) where the
// device has it active, else of its one resolution.
int GridDpi(const OptionDescriptors& options, const char* axisName) {
    const auto axis = FindOption(options, axisName);
    const int own = axis && axis->active ? HighestDpiOf(axis) : 0;
    return own > 0 ? own : HighestDpiOf(FindOption(options, kResolutionOption));
}

} // namespace

ScanArea BedGeometry::Whole() const {
    return {Mm(x, x.range.min), Mm(y, y.range.min), Mm(x, HighestStep(x.range)),
            Mm(y, HighestStep(y.range))};
}

double BedGeometry::Mm(const BedAxis& axis, std::int32_t word) const {
    return ValueOfWord(type, word) / axis.unitsPerMm;
}

std::int32_t BedGeometry::Word(const BedAxis& axis, double mm) const {
    const double wanted = mm * axis.unitsPerMm * WordsPerUnit(type);
    const OptionRange& range = axis.range;
    const double steps = std::round((wanted - range.min) / static_cast<double>(WordStep(range)));
    const double word = range.min + steps * static_cast<double>(WordStep(range));
    return static_cast<std::int32_t>(
        std::clamp(word, static_cast<double>(range.min), static_cast<double>(HighestStep(range))));
}

double BedGeometry::StepMm(const BedAxis& axis) const {
    return static_cast<double>(WordStep(axis.range)) / WordsPerUnit(type) / axis.unitsPerMm;
}

BedRead BedGeometryOf(const OptionDescriptors& options) {
    BedRead read;
    for (const char* name :
         {kTopLeftXOption, kTopLeftYOption, kBottomRightXOption, kBottomRightYOption}) {
        if ((read.reason = CheckGeometry(options, name))) {
            return read;
        }
    }
    const auto tlx = FindOption(options, kTopLeftXOption);
    const auto brx = FindOption(options, kBottomRightXOption);
    const auto bry = FindOption(options, kBottomRightYOption);
    if (brx->type != tlx->type || bry->type != tlx->type || brx->unit != tlx->unit ||
        bry->unit != tlx->unit) {
        read.reason = BedRefused("tl-x, tl-y, br-x and br-y differ in their kind of number");
        return read;
    }
    BedGeometry& bed = read.bed;
    bed.type = brx->type;
    bed.unit = brx->unit;
    bed.x.range = std::get<OptionRange>(brx->constraint);
    bed.y.range = std::get<OptionRange>(bry->constraint);
    if (bed.unit == OptionUnit::Pixel) {
        const int across = GridDpi(options, kXResolutionOption);
        const int down = GridDpi(options, kYResolutionOption);
        if (across <= 0 || down <= 0) {
            read.reason = BedRefused("tl-x counts pixels, but the device names no resolution");
            return read;
        }
        bed.x.unitsPerMm = across / kMmPerInch;
        bed.y.unitsPerMm = down / kMmPerInch;
    }
    return read;
}

BedRead BedOf(const OptionSource& device) {
    const OptionList list = device.Options();
    if (list.reason) {
        return {list.reason, {}};
    }
    return BedGeometryOf(list.options);
}

namespace {

// Both edges of one axis in words: ordered, on the steps, at least a step apart.
std::pair<std::int32_t, std::int32_t> EdgeWords(const BedGeometry& bed, const BedAxis& axis,
                                                double low, double high) {
    std::int32_t a = bed.Word(axis, std::min(low, high));
    std::int32_t b = bed.Word(axis, std::max(low, high));
    const std::int64_t step = WordStep(axis.range);
    if (b - a < step) {
        if (a + step <= HighestStep(axis.range)) {
            b = static_cast<std::int32_t>(a + step);
        } else {
            a = static_cast<std::int32_t>(b - step);
        }
    }
    return {a, b};
}

} // namespace

std::array<std::int32_t, 4> AreaWords(const BedGeometry& bed, const ScanArea& area) {
    const auto [left, right] = EdgeWords(bed, bed.x, area.left, area.right);
    const auto [top, bottom] = EdgeWords(bed, bed.y, area.top, area.bottom);
    return {left, top, right, bottom};
}

ScanArea AreaOfWords(const BedGeometry& bed, const std::array<std::int32_t, 4>& words) {
    return {bed.Mm(bed.x, words[0]), bed.Mm(bed.y, words[1]), bed.Mm(bed.x, words[2]),
            bed.Mm(bed.y, words[3])};
}

ScanArea Constrained(const BedGeometry& bed, const ScanArea& area) {
    return AreaOfWords(bed, AreaWords(bed, area));
}

ScanArea AreaFromBedCorner(const BedGeometry& bed, const ScanArea& fromCorner) {
    const double x = bed.Mm(bed.x, bed.x.range.min);
    const double y = bed.Mm(bed.y, bed.y.range.min);
    return {fromCorner.left + x, fromCorner.top + y, fromCorner.right + x, fromCorner.bottom + y};
}
