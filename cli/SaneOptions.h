// The options that hand gamma tables to a SANE scanner front end.
#pragma once

#include "curve/ChannelCurves.h"

#include <string>
#include <vector>

struct SaneTable {
    std::string option; // the option's name, e.g. "red-gamma-table"
    Curve entries;
};

struct SaneLine {
    bool customGamma = false; // the device has the custom-gamma switch
    std::vector<SaneTable> tables;
};

// "V0,V1,...": the entries in decimal, comma-separated, no spaces.
std::string JoinEntries(const Curve& entries);

// "[--custom-gamma=yes] --NAME V0,...,VN-1 ..." on one line, ended by a line feed.
std::string FormatSaneOptions(const SaneLine& line);
