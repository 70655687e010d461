// The parameters a command works with, read once into one value: the
// start-up positions (--defaults), or a parameter file's twelve positions
// and its film, all or nothing.
#pragma once

#include "cli/CliArgs.h"
#include "curve/ChannelStore.h"

#include <iosfwd>
#include <optional>

// The file read through the window's own tolerant reader and made into the
// channels and tables a load in the window makes; or nullopt after the
// failure was reported on `err`, naming the file.
std::optional<ParamSet> ParamsOrReport(const CliCommand& command, std::ostream& err);
