// An area is checked against the bed before anything is set: each edge may
// lie beyond it by half a step at most (what rounding to the step moves it),
// and a span must keep at least one step once rounded. Texts name
// millimetres with two decimals at most, whatever the locale.
#include "scan/ScanArea.h"

#include "scan/BedGeometry.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace {

// Rounding in the conversion may put an edge this far past the bed.
constexpr double kLeewayMm = 0.005;
constexpr int kShownDecimals = 2;

Reason AreaRefused(const std::string& why) {
    return {ReasonCode::Unsupported, 0, "area: " + why};
}

// "12.5", "200": trailing zeros dropped.
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

// Why [low, high] does not fit the axis [bedLow, bedHigh], or no reason.
Reason CheckSpan(const BedGeometry& bed, const BedAxis& axis, double low, double high,
                 double bedLow, double bedHigh, const char* direction) {
    const double leeway = std::max(kLeewayMm, bed.StepMm(axis) / 2);
    if (low < bedLow - leeway || high > bedHigh + leeway) {
        return AreaRefused(MmText(low) + ".." + MmText(high) + " mm " + direction +
                           " is outside the bed's " + MmText(bedLow) + ".." + MmText(bedHigh) +
                           " mm");
    }
    if (bed.Word(axis, high) <= bed.Word(axis, low)) {
        return AreaRefused(MmText(high - low) + " mm " + direction +
                           " is less than the device's step of " + MmText(bed.StepMm(axis)) +
                           " mm");
    }
    return {};
}

Reason SetWord(OptionDevice& device, const char* name, std::int32_t word) {
    return device.Set(name, OptionValue{{word}, {}});
}

// The top-left edge never passes the bottom-right one on the way: where the
// new top-left lies beyond the present bottom-right, that goes first.
Reason SetEdges(OptionDevice& device, const char* lowName, const char* highName, std::int32_t low,
                std::int32_t high) {
    const auto present = device.Words(highName);
    const bool highFirst = present && !present->empty() && low >= present->front();
    if (Reason reason = SetWord(device, highFirst ? highName : lowName, highFirst ? high : low)) {
        return reason;
    }
    return SetWord(device, highFirst ? lowName : highName, highFirst ? low : high);
}

} // namespace

Reason SetScanArea(OptionDevice& device, const ScanArea& area) {
    if (!(area.Width() > 0) || !(area.Height() > 0) || !std::isfinite(area.right) ||
        !std::isfinite(area.bottom) || !std::isfinite(area.left) || !std::isfinite(area.top)) {
        return AreaRefused("the width and height must be above 0 mm");
    }
    const BedRead read = BedOf(device);
    if (read.reason) {
        return read.reason;
    }
    const BedGeometry& bed = read.bed;
    const ScanArea whole = bed.Whole();
    if (Reason reason =
            CheckSpan(bed, bed.x, area.left, area.right, whole.left, whole.right, "across")) {
        return reason;
    }
    if (Reason reason =
            CheckSpan(bed, bed.y, area.top, area.bottom, whole.top, whole.bottom, "down")) {
        return reason;
    }
    const std::array<std::int32_t, 4> words = AreaWords(bed, area);
    if (Reason reason =
            SetEdges(device, kTopLeftXOption, kBottomRightXOption, words[0], words[2])) {
        return reason;
    }
    return SetEdges(device, kTopLeftYOption, kBottomRightYOption, words[1], words[3]);
}
