// A scanner given by its option descriptors, for tests that need devices
// nobody has attached.
#pragma once

#include "scan/OptionSource.h"

#include <utility>

namespace scantest {

class DescribedDevice : public OptionSource {
public:
    explicit DescribedDevice(OptionDescriptors options, Reason failure = {})
        : options_(std::move(options)), failure_(std::move(failure)) {}
    OptionList Options() const override {
        return failure_ ? OptionList{failure_, {}} : OptionList{{}, options_};
    }

private:
    OptionDescriptors options_;
    Reason failure_;
};

// An integer vector option of `entries` words with the range 0..max.
inline OptionDescriptor TableOption(const char* name, std::size_t entries, int max) {
    OptionDescriptor option;
    option.name = name;
    option.type = OptionType::Int;
    option.size = entries * kOptionWordSize;
    option.constraint = OptionRange{0, max, 1};
    return option;
}

inline OptionDescriptor SwitchOption(const char* name) {
    OptionDescriptor option;
    option.name = name;
    option.type = OptionType::Bool;
    option.size = kOptionWordSize;
    return option;
}

// Red, green and blue tables of one shape.
inline OptionDescriptors ChannelTables(std::size_t entries, int max) {
    return {TableOption("red-gamma-table", entries, max),
            TableOption("green-gamma-table", entries, max),
            TableOption("blue-gamma-table", entries, max)};
}

} // namespace scantest
