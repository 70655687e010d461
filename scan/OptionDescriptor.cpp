// Options are looked up by name: a device's option numbers change between
// models and even after setting another option, the names do not.
#include "scan/OptionDescriptor.h"

#include <algorithm>

std::optional<OptionDescriptor> FindOption(const OptionDescriptors& options,
                                           std::string_view name) {
    const auto found = std::find_if(options.begin(), options.end(),
                                    [name](const OptionDescriptor& o) { return o.name == name; });
    if (found == options.end()) {
        return std::nullopt;
    }
    return *found;
}
