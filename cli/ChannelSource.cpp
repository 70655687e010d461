// Channels from positions, mapped to values as the window's store does.
#include "cli/ChannelSource.h"

#include "cli/Messages.h"
#include "io/ParamFileReader.h"

#include <ostream>

namespace {

ChannelParamsSet ChannelsFrom(const ParamPositionSet& positions) {
    ChannelParamsSet channels{};
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        channels[c] = MakeChannelParams(positions[c]);
    }
    return channels;
}

} // namespace

std::optional<ChannelParamsSet> ChannelsOrReport(const CliCommand& command, std::ostream& err) {
    if (command.defaults) {
        return ChannelsFrom(ParamPositionSet{});
    }
    const ParamLoad load = LoadParamFile(command.params);
    if (load.result != LoadResult::Ok) {
        err << FileError(command.params, load.why ? ReasonText(load.why) : ReasonOf(load.result));
        return std::nullopt;
    }
    return ChannelsFrom(load.positions);
}
