// The three curves as text for scripts: one line per table entry.
#pragma once

#include "curve/ChannelCurves.h"

#include <string>

// N lines "entry red green blue", single spaces, each ended by a line feed.
std::string FormatTableListing(const ChannelCurves& curves);
