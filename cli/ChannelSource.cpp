// Channels from positions, mapped to values as the window's store does,
// with the film's stage in front of each.
#include "cli/ChannelSource.h"

#include "cli/Messages.h"
#include "io/ParamFileReader.h"

#include <ostream>

namespace {

ChannelParamsSet ChannelsFrom(const CommandParams& params) {
    ChannelParamsSet channels{};
    GammaTableSet tables{};
    ApplyFilm(params.film, channels, tables);
    ApplyPositionSet(params.positions, channels, tables);
    return channels;
}

} // namespace

std::optional<CommandParams> ParamsOrReport(const CliCommand& command, std::ostream& err) {
    if (command.defaults) {
        return CommandParams{};
    }
    const ParamLoad load = LoadParamFile(command.params);
    if (load.result != LoadResult::Ok) {
        err << FileError(command.params, load.why ? ReasonText(load.why) : ReasonOf(load.result));
        return std::nullopt;
    }
    return CommandParams{load.positions, load.film};
}

std::optional<ChannelParamsSet> ChannelsOrReport(const CliCommand& command, std::ostream& err) {
    const std::optional<CommandParams> params = ParamsOrReport(command, err);
    if (!params) {
        return std::nullopt;
    }
    return ChannelsFrom(*params);
}
