// SANE gives resolutions in SANE_UNIT_DPI, as Int or as 16.16 Fixed words.
#include "scan/ScanResolution.h"

#include "scan/OptionValue.h"
#include "scan/ScanJob.h"

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
