// The options that hand the three tables to a SANE scanner front end.
#pragma once

#include "curve/ChannelParams.h"

#include <string>

// "--custom-gamma=yes --red-gamma-table V0,...,V255 --green-gamma-table ...
// --blue-gamma-table ..." on one line, ended by a line feed.
std::string FormatSaneOptions(const GammaTableSet& tables);
