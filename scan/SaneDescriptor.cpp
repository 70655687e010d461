// Copies a descriptor out of the backend's memory, which stays valid only
// until the device is closed or its options change.
#include "scan/SaneDescriptor.h"

namespace {

OptionType TypeOf(SANE_Value_Type type) {
    switch (type) {
    case SANE_TYPE_BOOL:
        return OptionType::Bool;
    case SANE_TYPE_INT:
        return OptionType::Int;
    case SANE_TYPE_FIXED:
        return OptionType::Fixed;
    case SANE_TYPE_STRING:
        return OptionType::String;
    case SANE_TYPE_BUTTON:
        return OptionType::Button;
    case SANE_TYPE_GROUP:
        return OptionType::Group;
    }
    return OptionType::Group; // an unknown type is treated as carrying no value
}

OptionUnit UnitOf(SANE_Unit unit) {
    switch (unit) {
    case SANE_UNIT_PIXEL:
        return OptionUnit::Pixel;
    case SANE_UNIT_BIT:
        return OptionUnit::Bit;
    case SANE_UNIT_MM:
        return OptionUnit::Mm;
    case SANE_UNIT_DPI:
        return OptionUnit::Dpi;
    case SANE_UNIT_PERCENT:
        return OptionUnit::Percent;
    case SANE_UNIT_MICROSECOND:
        return OptionUnit::Microsecond;
    case SANE_UNIT_NONE:
        break;
    }
    return OptionUnit::None;
}

// A word list starts with the number of words that follow.
OptionWordList WordsOf(const SANE_Word* list) {
    if (list == nullptr || list[0] < 0) {
        return {};
    }
    return OptionWordList(list + 1, list + 1 + list[0]);
}

// A string list ends with a null pointer.
OptionStringList StringsOf(const SANE_String_Const* list) {
    OptionStringList strings;
    for (; list != nullptr && *list != nullptr; ++list) {
        strings.emplace_back(*list);
    }
    return strings;
}

OptionConstraint ConstraintOf(const SANE_Option_Descriptor& sane) {
    switch (sane.constraint_type) {
    case SANE_CONSTRAINT_RANGE:
        if (sane.constraint.range == nullptr) {
            return {};
        }
        return OptionRange{sane.constraint.range->min, sane.constraint.range->max,
                           sane.constraint.range->quant};
    case SANE_CONSTRAINT_WORD_LIST:
        return WordsOf(sane.constraint.word_list);
    case SANE_CONSTRAINT_STRING_LIST:
        return StringsOf(sane.constraint.string_list);
    case SANE_CONSTRAINT_NONE:
        break;
    }
    return {};
}

} // namespace

OptionDescriptor DescriptorOf(int index, const SANE_Option_Descriptor& sane) {
    OptionDescriptor option;
    option.index = index;
    option.name = sane.name != nullptr ? sane.name : "";
    option.type = TypeOf(sane.type);
    option.unit = UnitOf(sane.unit);
    option.size = sane.size > 0 ? static_cast<std::size_t>(sane.size) : 0;
    option.active = SANE_OPTION_IS_ACTIVE(sane.cap);
    option.settable = SANE_OPTION_IS_SETTABLE(sane.cap);
    option.constraint = ConstraintOf(sane);
    return option;
}
