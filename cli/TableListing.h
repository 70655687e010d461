// The three tables as text for scripts: one line per input level.
#pragma once

#include "curve/ChannelParams.h"

#include <string>

// 256 lines "level red green blue", single spaces, each ended by a line feed.
std::string FormatTableListing(const GammaTableSet& tables);
