// The per-channel constants of a table export: file name suffix and title line.
#pragma once

#include "curve/ChannelParams.h"

#include <array>

// What tells the three files of one export apart, in the order they are written.
struct TableChannel {
    const char* suffix; // put between the file title and the extension
    const char* title;  // line 1 of the file
};

inline constexpr std::array<TableChannel, kChannelCount> kTableChannels = {{
    {"R.", "Gamma table by Tamrel - Red"},
    {"G.", "Gamma table by Tamrel - Green"},
    {"B.", "Gamma table by Tamrel - Blue"},
}};
