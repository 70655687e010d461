// Millimetres to the device's unit: an option in SANE_UNIT_MM takes them as
// they are, one in SANE_UNIT_PIXEL takes mm / 25.4 x dpi. Int options hold
// whole units, Fixed ones 16.16 fixed point. An edge is rounded to the
// nearest value its range (min + k x quant) or word list allows.
#include "scan/ScanArea.h"

#include "scan/OptionValue.h"
#include "scan/ScanResolution.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <tuple>

namespace {

constexpr double kMmPerInch = 25.4;
// Rounding in the conversion may put an edge this far past the bed.
constexpr double kLeewayMm = 0.005;
constexpr int kShownDecimals = 2;

// One edge option and how its words map to millimetres.
struct Edge {
    OptionDescriptor option;
    double mmPerUnit = 1; // 1 for millimetres, 25.4 / dpi for pixels
    std::int32_t lowest = 0;
    std::int32_t highest = 0;

    double Units(std::int32_t word) const { return ValueOfWord(option.type, word); }
    double Mm(std::int32_t word) const { return Units(word) * mmPerUnit; }
    double WordMm() const { return mmPerUnit / WordsPerUnit(option.type); }
};

struct Axis {
    Edge low;  // tl-x or tl-y
    Edge high; // br-x or br-y
    const char* direction;
};

Reason Refused(const std::string& why) {
    return {ReasonCode::Unsupported, 0, "area: " + why};
}

// "12.5", "200": two decimals at most, trailing zeros dropped, whatever the locale.
std::string MmText(double mm) {
    std::array<char, 32> text{};
    const auto [end, error] =
        std::to_chars(text.begin(), text.end(), mm, std::chars_format::fixed, kShownDecimals);
    std::string result(text.begin(), error == std::errc() ? end : text.begin());
    result.erase(result.find_last_not_of('0') + 1);
    if (!result.empty() && result.back() == '.') {
        result.pop_back();
    }
    return result == "-0" ? "0" : result;
}

// The lowest and highest words a range or a word list allows.
bool LimitsOf(const OptionDescriptor& option, std::int32_t& lowest, std::int32_t& highest) {
    if (const auto* range = std::get_if<OptionRange>(&option.constraint)) {
        lowest = range->min;
        const std::int64_t span = std::int64_t{range->max} - range->min;
        highest = range->quant > 0
                      ? static_cast<std::int32_t>(range->min + span / range->quant * range->quant)
                      : range->max;
        return lowest <= highest;
    }
    if (const auto* list = std::get_if<OptionWordList>(&option.constraint)) {
        if (list->empty()) {
            return false;
        }
        const auto [low, high] = std::minmax_element(list->begin(), list->end());
        lowest = *low;
        highest = *high;
        return true;
    }
    return false;
}

Reason EdgeOf(OptionDevice& device, const char* name, std::optional<double> dpi, Edge& edge) {
    const std::optional<OptionDescriptor> option = device.Find(name);
    if (!option || !option->active) {
        return Refused(std::string("the device has no ") + name + " option to set it");
    }
    edge.option = *option;
    const bool number = option->type == OptionType::Int || option->type == OptionType::Fixed;
    if (!number || option->WordCount() != 1 || !LimitsOf(*option, edge.lowest, edge.highest)) {
        return Refused(std::string(name) + " is not a number with limits");
    }
    if (option->unit == OptionUnit::Millimetre) {
        edge.mmPerUnit = 1;
    } else if (option->unit == OptionUnit::Pixel && dpi && *dpi > 0) {
        edge.mmPerUnit = kMmPerInch / *dpi;
    } else {
        return Refused(std::string(name) + " is in neither millimetres nor pixels at a resolution");
    }
    return {};
}

Reason AxesOf(OptionDevice& device, std::array<Axis, 2>& axes) {
    const std::optional<ScanResolution> dpi = ResolutionOf(device);
    const std::optional<double> across = dpi ? std::optional(dpi->x) : std::nullopt;
    const std::optional<double> down = dpi ? std::optional(dpi->y) : std::nullopt;
    axes[0].direction = "across";
    axes[1].direction = "down";
    Reason reason = EdgeOf(device, kTopLeftXOption, across, axes[0].low);
    for (const auto& [name, dpiOf, edge] : {std::tuple{kTopLeftYOption, down, &axes[1].low},
                                            std::tuple{kBottomRightXOption, across, &axes[0].high},
                                            std::tuple{kBottomRightYOption, down, &axes[1].high}}) {
        if (!reason) {
            reason = EdgeOf(device, name, dpiOf, *edge);
        }
    }
    return reason;
}

// The allowed word nearest to `mm`.
std::int32_t WordNear(const Edge& edge, double mm) {
    const double units = mm / edge.mmPerUnit;
    const double wanted = units * WordsPerUnit(edge.option.type);
    if (const auto* list = std::get_if<OptionWordList>(&edge.option.constraint)) {
        return *std::min_element(list->begin(), list->end(),
                                 [wanted](std::int32_t a, std::int32_t b) {
                                     return std::abs(a - wanted) < std::abs(b - wanted);
                                 });
    }
    const auto& range = std::get<OptionRange>(edge.option.constraint);
    const double step = range.quant > 0 ? range.quant : 1;
    const double steps = std::round((wanted - range.min) / step);
    const double word = std::clamp(range.min + steps * step, static_cast<double>(edge.lowest),
                                   static_cast<double>(edge.highest));
    return static_cast<std::int32_t>(word);
}

double StepMm(const Edge& edge) {
    const auto* range = std::get_if<OptionRange>(&edge.option.constraint);
    const double words = range != nullptr && range->quant > 0 ? range->quant : 1;
    return words * edge.WordMm();
}

// The two words of one axis, or why the span does not fit the bed.
Reason Place(const Axis& axis, double start, double length, std::int32_t& low, std::int32_t& high) {
    const double bedLow = axis.low.Mm(axis.low.lowest);
    const double bedHigh = axis.high.Mm(axis.high.highest);
    const double end = start + length;
    const double leeway = std::max({kLeewayMm, StepMm(axis.low) / 2, StepMm(axis.high) / 2});
    if (start < bedLow - leeway || end > bedHigh + leeway) {
        return Refused(MmText(start) + ".." + MmText(end) + " mm " + axis.direction +
                       " is outside the bed's " + MmText(bedLow) + ".." + MmText(bedHigh) + " mm");
    }
    low = WordNear(axis.low, start);
    high = WordNear(axis.high, end);
    if (axis.high.Mm(high) <= axis.low.Mm(low)) {
        return Refused(MmText(length) + " mm " + axis.direction +
                       " is less than the device's step of " +
                       MmText(std::max(StepMm(axis.low), StepMm(axis.high))) + " mm");
    }
    return {};
}

Reason SetWord(OptionDevice& device, const Edge& edge, std::int32_t word) {
    return device.Set(edge.option.name, OptionValue{{word}, {}});
}

// The top-left edge never passes the bottom-right one on the way: where the
// new top-left lies beyond the present bottom-right, that goes first.
Reason SetAxis(OptionDevice& device, const Axis& axis, std::int32_t low, std::int32_t high) {
    const auto present = device.Words(axis.high.option.name);
    const bool highFirst = present && !present->empty() && low >= present->front();
    if (Reason reason = SetWord(device, highFirst ? axis.high : axis.low, highFirst ? high : low)) {
        return reason;
    }
    return SetWord(device, highFirst ? axis.low : axis.high, highFirst ? low : high);
}

} // namespace

BedRead BedOf(OptionDevice& device) {
    std::array<Axis, 2> axes;
    if (Reason reason = AxesOf(device, axes)) {
        return {reason, {}};
    }
    return {{},
            {axes[0].low.Mm(axes[0].low.lowest), axes[1].low.Mm(axes[1].low.lowest),
             axes[0].high.Mm(axes[0].high.highest), axes[1].high.Mm(axes[1].high.highest)}};
}

Reason SetScanArea(OptionDevice& device, const ScanArea& area) {
    if (!(area.width > 0) || !(area.height > 0) || !std::isfinite(area.left + area.width) ||
        !std::isfinite(area.top + area.height)) {
        return Refused("the width and height must be above 0 mm");
    }
    std::array<Axis, 2> axes;
    if (Reason reason = AxesOf(device, axes)) {
        return reason;
    }
    std::array<std::int32_t, 4> words{};
    if (Reason reason = Place(axes[0], area.left, area.width, words[0], words[1])) {
        return reason;
    }
    if (Reason reason = Place(axes[1], area.top, area.height, words[2], words[3])) {
        return reason;
    }
    if (Reason reason = SetAxis(device, axes[0], words[0], words[1])) {
        return reason;
    }
    return SetAxis(device, axes[1], words[2], words[3]);
}
