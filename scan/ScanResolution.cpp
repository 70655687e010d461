// SANE gives resolutions in SANE_UNIT_DPI, as Int or as 16.16 Fixed words.
#include "scan/ScanResolution.h"

#include "scan/OptionValue.h"
#include "scan/ScanJob.h"

#include <algorithm>

namespace {

std::optional<double> DpiOf(OptionDevice& device, const char* name) {
    const std::optional<OptionDescriptor> option = device.Find(name);
    if (!option) {
        return std::nullopt;
    }
    const auto words = device.Words(name);
    if (!words || words->empty()) {
        return std::nullopt;
    }
    return ValueOfWord(option->type, words->front());
}

} // namespace

int HighestDpiOf(const std::optional<OptionDescriptor>& resolution) {
    if (!resolution) {
        return 0;
    }
    std::int32_t highest = 0;
    if (const auto* list = std::get_if<OptionWordList>(&resolution->constraint)) {
        if (list->empty()) {
            return 0;
        }
        highest = *std::max_element(list->begin(), list->end());
    } else if (const auto* range = std::get_if<OptionRange>(&resolution->constraint)) {
        highest = range->max;
    } else {
        return 0;
    }
    return static_cast<int>(ValueOfWord(resolution->type, highest));
}

std::optional<ScanResolution> ResolutionOf(OptionDevice& device) {
    const std::optional<double> both = DpiOf(device, kResolutionOption);
    const std::optional<double> x = DpiOf(device, kXResolutionOption);
    const std::optional<double> y = DpiOf(device, kYResolutionOption);
    const std::optional<double> across = x ? x : both;
    const std::optional<double> down = y ? y : (both ? both : x);
    if (!across || !down) {
        return std::nullopt;
    }
    return ScanResolution{*across, *down};
}
