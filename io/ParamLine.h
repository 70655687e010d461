// One line of a parameter file: comment test, split at '=', trimming, the
// digits-only value and the key match with its range check.
#pragma once

#include "io/ParamKeys.h"

#include <cstdint>
#include <optional>
#include <string_view>

// The positions a load has collected so far; they reach the store only when
// the load found every key.
using PendingParams = ParamPositionSet;

// Stores `value` for a known key when it lies in that parameter's range and
// sets the key's bit; an unknown key or a value out of range changes nothing.
void AcceptParamValue(std::string_view key, std::int32_t value, PendingParams& pending,
                      FoundKeys& found);

// A line's key and value text, split at the first '=' and trimmed of space,
// HT, VT and FF; nullopt for a comment, a line without '=' or an empty key.
// The text ends at a zero byte, as a C string does.
struct KeyAndValue {
    std::string_view key;
    std::string_view value;
};
std::optional<KeyAndValue> SplitParamLine(std::string_view line);

// Applies the line grammar to one line without its line end and hands a
// well-formed key and value to AcceptParamValue.
void ParseParamLine(std::string_view line, PendingParams& pending, FoundKeys& found);
