// Gamma tables as SANE describes them: SANE_TYPE_INT, size = entries *
// sizeof(SANE_Word), a range constraint whose maximum is the top level.
#include "scan/GammaOptions.h"

#include <string>

namespace {

Reason Unfillable(const OptionDescriptor& option, const std::string& why) {
    return {ReasonCode::Unsupported, 0, option.name + " " + why};
}

// The shape of a table option, or why the curve cannot fill it.
Reason ShapeOf(const OptionDescriptor& option, std::optional<TableShape>& shape) {
    const auto* range = std::get_if<OptionRange>(&option.constraint);
    if (option.type != OptionType::Int || range == nullptr) {
        return Unfillable(option, "is not a table of integers with a range");
    }
    const TableShape found{option.WordCount(), range->max};
    if (range->min > 0 || !IsValidShape(found)) {
        return Unfillable(option, "takes " + std::to_string(found.entries) + " entries of " +
                                      std::to_string(range->min) + ".." +
                                      std::to_string(range->max) + ", outside 2..65536 of 0..M " +
                                      "with M in 1..65535");
    }
    shape = found;
    return {};
}

Reason TableOf(const OptionDescriptors& options, const char* name,
               std::optional<TableShape>& shape) {
    const std::optional<OptionDescriptor> option = FindOption(options, name);
    return option ? ShapeOf(*option, shape) : Reason{};
}

} // namespace

GammaOptionsRead ReadGammaOptions(const OptionSource& source) {
    const OptionList list = source.Options();
    if (list.reason) {
        return {list.reason, {}};
    }
    GammaOptionsRead read;
    read.options.customGamma = FindOption(list.options, kCustomGammaOption).has_value();
    for (std::size_t channel = 0; channel < kChannelCount && !read.reason; ++channel) {
        read.reason =
            TableOf(list.options, kChannelTableOptions[channel], read.options.channels[channel]);
    }
    if (!read.reason) {
        read.reason = TableOf(list.options, kIntensityTableOption, read.options.intensity);
    }
    return read;
}
