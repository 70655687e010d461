// Source names are the backend's own words ("Flatbed", "ADF Duplex",
// "Automatic Document Feeder"); they are matched without regard to case, as
// a user types them, and set in the device's spelling.
#include "scan/ScanSource.h"

#include "io/Letters.h"

#include <algorithm>

namespace {

constexpr std::string_view kFlatbedWord = "flatbed";
constexpr std::string_view kNameSeparator = ", ";

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : std::string(kNameSeparator)) + name;
    }
    return text;
}

} // namespace

std::vector<std::string> SourcesOf(OptionDevice& device) {
    const std::optional<OptionDescriptor> option = device.Find(kSourceOption);
    if (!option || option->type != OptionType::String) {
        return {};
    }
    const auto* list = std::get_if<OptionStringList>(&option->constraint);
    return list != nullptr ? *list : std::vector<std::string>{};
}

Reason SetSource(OptionDevice& device, std::string_view name) {
    const std::vector<std::string> sources = SourcesOf(device);
    if (sources.empty()) {
        return {ReasonCode::Unsupported, 0, "source: the device offers no choice of source"};
    }
    const auto found = std::find_if(sources.begin(), sources.end(), [&](const std::string& s) {
        return LowerCase(s) == LowerCase(name);
    });
    if (found == sources.end()) {
        return {ReasonCode::Unsupported, 0,
                "source: '" + std::string(name) + "' is not one of " + Joined(sources)};
    }
    const Reason reason = device.Set(kSourceOption, OptionValue{{}, *found});
    device.Reload();
    return reason;
}

bool IsFlatbedSource(OptionDevice& device) {
    const std::optional<std::string> source = device.Text(kSourceOption);
    return source && NamesFlatbed(*source);
}

bool NamesFlatbed(std::string_view source) {
    return LowerCase(std::string(source)).find(kFlatbedWord) != std::string::npos;
}
