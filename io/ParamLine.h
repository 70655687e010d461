// One line of a parameter file: comment test, split at '=', trimming, the
// digits-only value and the key match with its range check.
#pragma once

#include "io/ParamKeys.h"

#include <cstdint>
#include <string_view>

// The positions a load has collected so far; they reach the store only when
// the load found every key.
using PendingParams = ParamPositionSet;

// Stores `value` for a known key when it lies in that parameter's range and
// sets the key's bit; an unknown key or a value out of range changes nothing.
void AcceptParamValue(std::string_view key, std::int32_t value, PendingParams& pending,
                      FoundKeys& found);

// Applies the line grammar to one line without its line end and hands a
// well-formed key and value to AcceptParamValue.
void ParseParamLine(std::string_view line, PendingParams& pending, FoundKeys& found);
