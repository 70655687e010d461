// Values as a user would type them back (see ParseOptionValue): booleans as
// yes/no, Fixed words in decimals; a range as MIN..MAX with its step where
// the step is more than one unit; lists joined by '|'.
#include "scan/OptionListing.h"

namespace {

constexpr const char* kChoiceSeparator = "|";

const char* UnitText(OptionUnit unit) {
    switch (unit) {
    case OptionUnit::Pixel:
        return " px";
    case OptionUnit::Bit:
        return " bit";
    case OptionUnit::Millimetre:
        return " mm";
    case OptionUnit::Dpi:
        return " dpi";
    case OptionUnit::Percent:
        return " %";
    case OptionUnit::Microsecond:
        return " us";
    case OptionUnit::None:
        break;
    }
    return "";
}

// The step is shown where it is more than the smallest one: 1 for Int, any
// for Fixed (whose smallest is 1/65536).
std::string RangeText(const OptionDescriptor& option, const OptionRange& range) {
    std::string text =
        OptionWordText(option.type, range.min) + ".." + OptionWordText(option.type, range.max);
    const bool coarse = option.type == OptionType::Fixed ? range.quant > 0 : range.quant > 1;
    if (coarse) {
        text += " in steps of " + OptionWordText(option.type, range.quant);
    }
    return text + UnitText(option.unit);
}

std::string ValueText(OptionDevice& device, const OptionDescriptor& option) {
    if (option.type == OptionType::Button) {
        return "(button)";
    }
    if (!option.active) {
        return "(inactive)";
    }
    if (option.type == OptionType::String) {
        return device.Text(option.name).value_or("(unreadable)");
    }
    const auto words = device.Words(option.name);
    if (!words || words->empty()) {
        return "(unreadable)";
    }
    if (words->size() > 1) {
        return "(" + std::to_string(words->size()) + " values)";
    }
    if (option.type == OptionType::Bool) {
        return words->front() != 0 ? "yes" : "no";
    }
    return OptionWordText(option.type, words->front());
}

} // namespace

std::string ConstraintText(const OptionDescriptor& option) {
    if (const auto* range = std::get_if<OptionRange>(&option.constraint)) {
        return RangeText(option, *range);
    }
    std::string text;
    if (const auto* words = std::get_if<OptionWordList>(&option.constraint)) {
        for (const std::int32_t word : *words) {
            text += (text.empty() ? "" : kChoiceSeparator) + OptionWordText(option.type, word);
        }
        return text.empty() ? text : text + UnitText(option.unit);
    }
    if (const auto* strings = std::get_if<OptionStringList>(&option.constraint)) {
        for (const std::string& entry : *strings) {
            text += (text.empty() ? "" : kChoiceSeparator) + entry;
        }
    }
    return text;
}

OptionListing ListOptions(OptionDevice& device) {
    const OptionList list = device.Options();
    if (list.reason) {
        return {list.reason, {}};
    }
    OptionListing listing;
    for (const OptionDescriptor& option : list.options) {
        if (option.type == OptionType::Group || option.name.empty()) {
            continue;
        }
        listing.lines.push_back({option.name, ValueText(device, option), ConstraintText(option)});
    }
    return listing;
}
