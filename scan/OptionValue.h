// A value for one option, made from the text a user types and checked
// against what the option accepts before it goes to the device.
#pragma once

#include "io/Reason.h"
#include "scan/OptionDescriptor.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Bool, Int and Fixed options take words (Fixed in 16.16); String options text.
struct OptionValue {
    std::vector<std::int32_t> words;
    std::string text;
    friend bool operator==(const OptionValue&, const OptionValue&) = default;
};

struct ParsedValue {
    Reason reason; // Unsupported, its text naming the option and the value
    OptionValue value;
};

// "yes"/"no" for Bool; decimal numbers, comma-separated for a vector, for Int
// and Fixed; a string-list entry in any letter case, taken in the device's
// spelling. Every word must lie within the constraint.
ParsedValue ParseOptionValue(const OptionDescriptor& option, std::string_view text);

// Why `value` does not suit `option` (its type, its size, its constraint),
// or no reason.
Reason CheckOptionValue(const OptionDescriptor& option, const OptionValue& value);

// A word as a user types it: Fixed in decimals ("50.5"), others whole.
std::string OptionWordText(OptionType type, std::int32_t word);

// 16.16 fixed point, as SANE_FIX.
std::int32_t FixedOf(double value);

// Words per unit of an option's number: 65536 for Fixed (16.16), else 1.
double WordsPerUnit(OptionType type);
// The number a word stands for.
double ValueOfWord(OptionType type, std::int32_t word);
