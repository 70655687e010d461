// The three channels' parameters a command works with: the start-up
// positions (--defaults) or a parameter file with its film, all or nothing.
#pragma once

#include "cli/CliArgs.h"
#include "curve/ChannelParams.h"
#include "curve/FilmSettings.h"
#include "io/ParamKeys.h"

#include <iosfwd>
#include <optional>

// The twelve positions and the film, as the file holds them.
struct CommandParams {
    ParamPositionSet positions{};
    FilmSettings film;
};

// The parameters, or nullopt after the failure was reported on `err`.
std::optional<CommandParams> ParamsOrReport(const CliCommand& command, std::ostream& err);

// The channels, each with its film stage, or nullopt after the failure was
// reported on `err`.
std::optional<ChannelParamsSet> ChannelsOrReport(const CliCommand& command, std::ostream& err);
