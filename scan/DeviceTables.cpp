// Tables as SANE takes them: a word per entry, the option's size in words
// giving N and its range's maximum the top level M.
#include "scan/DeviceTables.h"

#include "curve/ChannelCurve.h"
#include "scan/GammaOptions.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr const char* kYes = "yes";
constexpr const char* kNo = "no";

OptionValue WordsOf(const std::vector<std::uint16_t>& table) {
    return {std::vector<std::int32_t>(table.begin(), table.end()), {}};
}

std::vector<std::uint16_t> CurveAt(const ChannelParams& channel, TableShape shape) {
    std::vector<std::uint16_t> table(shape.entries);
    ComputeChannelCurve(channel, table, shape.maxLevel);
    return table;
}

// Custom-gamma first: on most devices it is what makes the tables active.
Reason SwitchCustomGamma(SaneDevice& device, const GammaOptions& options, bool on) {
    return options.customGamma ? device.Set(kCustomGammaOption, on ? kYes : kNo) : Reason{};
}

Reason LoadChannels(SaneDevice& device, const GammaOptions& options,
                    const ChannelParamsSet& channels) {
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        if (Reason reason = device.Set(kChannelTableOptions[c],
                                       WordsOf(CurveAt(channels[c], *options.channels[c])))) {
            return reason;
        }
    }
    return {};
}

bool AllCurvesEqual(const ChannelParamsSet& channels, TableShape shape) {
    const auto red = CurveAt(channels[kRed], shape);
    return red == CurveAt(channels[kGreen], shape) && red == CurveAt(channels[kBlue], shape);
}

} // namespace

std::vector<std::int32_t> IdentityTable(TableShape shape) {
    std::vector<std::int32_t> table(shape.entries);
    const std::int64_t last = static_cast<std::int64_t>(shape.entries) - 1;
    for (std::int64_t i = 0; i <= last; ++i) {
        table[static_cast<std::size_t>(i)] =
            static_cast<std::int32_t>((i * shape.maxLevel * 2 + last) / (2 * last));
    }
    return table;
}

TablesLoad LoadCurveTables(SaneDevice& device, const ChannelParamsSet& channels) {
    const GammaOptionsRead read = ReadGammaOptions(device);
    if (read.reason) {
        return {read.reason};
    }
    const GammaOptions& options = read.options;
    const bool rgb = options.channels[kRed] && options.channels[kGreen] && options.channels[kBlue];
    const bool intensity =
        !rgb && options.intensity && AllCurvesEqual(channels, *options.intensity);
    if (!rgb && !intensity) {
        return {{}, TablesLoaded::NotTaken};
    }
    if (Reason reason = SwitchCustomGamma(device, options, true)) {
        return {reason};
    }
    const Reason reason = rgb ? LoadChannels(device, options, channels)
                              : device.Set(kIntensityTableOption,
                                           WordsOf(CurveAt(channels[kRed], *options.intensity)));
    if (reason) {
        return {reason, TablesLoaded::NotTaken};
    }
    const std::size_t entries =
        rgb ? std::min({options.channels[kRed]->entries, options.channels[kGreen]->entries,
                        options.channels[kBlue]->entries})
            : options.intensity->entries;
    return {{}, TablesLoaded::InDevice, entries};
}

Reason LoadLinear(SaneDevice& device) {
    const GammaOptionsRead read = ReadGammaOptions(device);
    if (read.reason || read.options.customGamma) {
        return read.reason ? read.reason : SwitchCustomGamma(device, read.options, false);
    }
    std::array<std::pair<const char*, std::optional<TableShape>>, kChannelCount + 1> tables = {{
        {kChannelTableOptions[kRed], read.options.channels[kRed]},
        {kChannelTableOptions[kGreen], read.options.channels[kGreen]},
        {kChannelTableOptions[kBlue], read.options.channels[kBlue]},
        {kIntensityTableOption, read.options.intensity},
    }};
    for (const auto& [name, shape] : tables) {
        if (shape) {
            if (Reason reason = device.Set(name, OptionValue{IdentityTable(*shape), {}})) {
                return reason;
            }
        }
    }
    return {};
}
