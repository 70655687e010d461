// Every option of a device as text: its name, its value now and what it
// accepts, so that a user sees what to set.
#pragma once

#include "io/Reason.h"
#include "scan/OptionDevice.h"

#include <string>
#include <vector>

struct OptionLine {
    std::string name;
    std::string value;      // "yes", "300", "50.5", "Color"; "(inactive)", "(button)", "(N values)"
    std::string constraint; // "1..1200 dpi", "0..200 mm", "8|16", "Gray|Color"; empty when free
    friend bool operator==(const OptionLine&, const OptionLine&) = default;
};

struct OptionListing {
    Reason reason;
    std::vector<OptionLine> lines; // in the device's order, groups left out
};

OptionListing ListOptions(OptionDevice& device);

// What the option accepts, as the listing shows it ("1..1200 dpi", "8|16");
// empty when it takes anything.
std::string ConstraintText(const OptionDescriptor& option);
