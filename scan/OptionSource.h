// Anything that describes a scanner's options: an open SANE device, or a
// described device in tests.
#pragma once

#include "io/Reason.h"
#include "scan/OptionDescriptor.h"

// The options as they stand now, or why they could not be read.
struct OptionList {
    Reason reason;
    OptionDescriptors options; // meaningful only without a reason
};

class OptionSource {
public:
    virtual ~OptionSource() = default;
    // Read afresh on every call: setting one option may change the others.
    virtual OptionList Options() const = 0;
};
