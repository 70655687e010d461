// The three channels' parameters a command works with: the start-up
// positions (--defaults) or a parameter file, all or nothing.
#pragma once

#include "cli/CliArgs.h"
#include "curve/ChannelParams.h"

#include <iosfwd>
#include <optional>

// The channels, or nullopt after the failure was reported on `err`.
std::optional<ChannelParamsSet> ChannelsOrReport(const CliCommand& command, std::ostream& err);
