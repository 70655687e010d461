// What a device offers for the three settings a scan dialog shows:
// resolutions, modes and depths, from the options' own constraints.
#pragma once

#include "scan/SaneDevice.h"

#include <string>
#include <vector>

struct DeviceChoices {
    std::vector<int> resolutions;   // dots per inch, rising
    std::vector<std::string> modes; // of "Color" and "Gray", as the device spells them
    std::vector<int> depths;        // of 8 and 16
};

// A word list is offered as it is; a range by the usual steps within it
// (75, 100, 150, 200, 300, 600, 1200, 2400, 4800 dpi) and its own ends.
// Resolutions under 25 dpi are left out unless there is no other.
DeviceChoices ChoicesOf(OptionDevice& device);
