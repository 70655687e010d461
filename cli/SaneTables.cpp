// A front end sets every entry of a table option from one argument; a table
// is printed whole at the device's size, or not at all.
#include "cli/SaneTables.h"

namespace {

SanePlan Checked(SanePlan plan) {
    for (const SaneTable& table : plan.line.tables) {
        const std::size_t bytes = JoinEntries(table.entries).size() + 1;
        if (bytes > kMaxArgumentBytes) {
            return {SaneTableProblem::TooLong, table.option, bytes, {}};
        }
    }
    return plan;
}

SanePlan ChannelTables(const ChannelParamsSet& channels,
                       const std::array<TableShape, kChannelCount>& shapes, bool customGamma) {
    SanePlan plan;
    plan.line.customGamma = customGamma;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        plan.line.tables.push_back({kChannelTableOptions[c], CurveOf(channels[c], shapes[c])});
    }
    return Checked(std::move(plan));
}

SanePlan IntensityTable(const ChannelParamsSet& channels, TableShape shape, bool customGamma,
                        std::optional<Channel> channel) {
    const ChannelCurves curves = CurvesOf(channels, shape);
    if (!channel && (curves[kRed] != curves[kGreen] || curves[kRed] != curves[kBlue])) {
        return {SaneTableProblem::ChannelsDiffer, kIntensityTableOption, 0, {}};
    }
    SanePlan plan;
    plan.line.customGamma = customGamma;
    plan.line.tables.push_back({kIntensityTableOption, curves[channel.value_or(kRed)]});
    return Checked(std::move(plan));
}

} // namespace

SanePlan PlanForShape(const ChannelParamsSet& channels, TableShape shape) {
    return ChannelTables(channels, {shape, shape, shape}, true);
}

SanePlan PlanForDevice(const GammaOptions& device, const ChannelParamsSet& channels,
                       std::optional<Channel> channel) {
    const auto& [red, green, blue] = device.channels;
    if (red && green && blue) {
        return ChannelTables(channels, {*red, *green, *blue}, device.customGamma);
    }
    if (device.intensity) {
        return IntensityTable(channels, *device.intensity, device.customGamma, channel);
    }
    return {SaneTableProblem::NoTables, {}, 0, {}};
}

std::string ProblemText(const SanePlan& plan) {
    switch (plan.problem) {
    case SaneTableProblem::None:
        break;
    case SaneTableProblem::NoTables:
        return "the device takes no gamma tables";
    case SaneTableProblem::ChannelsDiffer:
        return "the device takes one table for all channels (" + plan.option +
               ") and the red, green and blue curves differ; pick one with --channel "
               "red|green|blue";
    case SaneTableProblem::TooLong:
        return plan.option + ": the table's text (" + std::to_string(plan.textBytes) +
               " bytes) does not fit in one command-line argument (" +
               std::to_string(kMaxArgumentBytes) +
               " bytes); use 'tamrel-cli scan', which sets tables through libsane directly";
    }
    return {};
}
