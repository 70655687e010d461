// Resolutions may be Int or Fixed options; both are offered as whole dpi.
#include "scan/DeviceChoices.h"

#include "io/Letters.h"
#include "scan/ScanJob.h"

#include <algorithm>
#include <array>
#include <set>

namespace {

constexpr std::array<int, 9> kUsualDpi = {75, 100, 150, 200, 300, 600, 1200, 2400, 4800};
constexpr std::array<const char*, 2> kModes = {"Color", "Gray"};
constexpr std::array<int, 2> kDepths = {8, 16};
constexpr int kFixedShift = 16;
constexpr int kLowestOfferedDpi = 25;

int DpiOf(const OptionDescriptor& option, std::int32_t word) {
    return option.type == OptionType::Fixed ? word >> kFixedShift : word;
}

std::vector<int> Resolutions(const std::optional<OptionDescriptor>& option) {
    std::set<int> dpi;
    if (!option) {
        return {};
    }
    if (const auto* list = std::get_if<OptionWordList>(&option->constraint)) {
        for (const std::int32_t word : *list) {
            dpi.insert(DpiOf(*option, word));
        }
    } else if (const auto* range = std::get_if<OptionRange>(&option->constraint)) {
        const int low = DpiOf(*option, range->min);
        const int high = DpiOf(*option, range->max);
        for (const int usual : kUsualDpi) {
            if (usual >= low && usual <= high) {
                dpi.insert(usual);
            }
        }
        dpi.insert(std::max(low, 1));
        dpi.insert(high);
    }
    // A few dpi make a page of a handful of pixels: offered only when the
    // device offers nothing finer.
    const auto usable = dpi.lower_bound(kLowestOfferedDpi);
    if (usable != dpi.end()) {
        dpi.erase(dpi.begin(), usable);
    }
    return {dpi.begin(), dpi.end()};
}

} // namespace

DeviceChoices ChoicesOf(OptionDevice& device) {
    DeviceChoices choices;
    choices.resolutions = Resolutions(device.Find(kResolutionOption));
    if (const auto mode = device.Find(kModeOption)) {
        if (const auto* list = std::get_if<OptionStringList>(&mode->constraint)) {
            for (const char* wanted : kModes) {
                for (const std::string& offered : *list) {
                    if (SameLetters(offered, wanted)) {
                        choices.modes.push_back(offered);
                    }
                }
            }
        }
    }
    if (const auto depth = device.Find(kDepthOption)) {
        if (const auto* list = std::get_if<OptionWordList>(&depth->constraint)) {
            for (const int wanted : kDepths) {
                if (std::find(list->begin(), list->end(), wanted) != list->end()) {
                    choices.depths.push_back(wanted);
                }
            }
        }
    }
    return choices;
}
