// A scanner whose options can be read and set by name: an open SANE device,
// or a described device in tests. What the area, source and listing
// functions work on.
#pragma once

#include "scan/OptionSource.h"
#include "scan/OptionValue.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class OptionDevice : public OptionSource {
public:
    // The option called `name` as the device describes it now.
    virtual std::optional<OptionDescriptor> Find(std::string_view name) = 0;
    // Sets `name` to a checked value: words (bool, int, fixed, tables) or text.
    virtual Reason Set(std::string_view name, const OptionValue& value) = 0;
    // The words an active option holds now (bool, int, fixed, tables), or nullopt.
    virtual std::optional<std::vector<std::int32_t>> Words(std::string_view name) = 0;
    // The text an active string option holds now, or nullopt.
    virtual std::optional<std::string> Text(std::string_view name) = 0;
    // Forgets the descriptors read so far, so the next Find reads them anew.
    virtual void Reload() = 0;
};
