// Where the page comes from: the device's "source" option (a flatbed, a
// document feeder, a transparency unit), by the names the device gives.
#pragma once

#include "io/Reason.h"
#include "scan/OptionDevice.h"

#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kSourceOption = "source";

// The source option's string-list values in the device's order; empty for
// a device without one (or one whose source is not a list of names).
std::vector<std::string> SourcesOf(OptionDevice& device);

// Sets the source named `name` in any letter case. An unknown name, or a
// device without sources, is Unsupported with the valid names in its text.
// The descriptors are read anew afterwards: a source often brings its own
// bed size, resolutions or modes.
Reason SetSource(OptionDevice& device, std::string_view name);

// Whether the source now set names a flatbed, which has no feeder to run
// out of documents ("Flatbed", "flatbed (duplex)" and the like).
bool IsFlatbedSource(OptionDevice& device);

// The same for a source's name as the device words it.
bool NamesFlatbed(std::string_view source);
