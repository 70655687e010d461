// A scanner's gamma-table options: whether it has a custom-gamma switch, and
// the size and range of each table it takes.
#pragma once

#include "curve/ChannelParams.h"
#include "curve/CurveTable.h"
#include "io/Reason.h"
#include "scan/OptionSource.h"

#include <array>
#include <optional>

// SANE's well-known option names.
inline constexpr const char* kCustomGammaOption = "custom-gamma";
inline constexpr const char* kIntensityTableOption = "gamma-table";
inline constexpr std::array<const char*, kChannelCount> kChannelTableOptions = {
    "red-gamma-table", "green-gamma-table", "blue-gamma-table"};

struct GammaOptions {
    bool customGamma = false;
    std::array<std::optional<TableShape>, kChannelCount> channels; // by Channel
    std::optional<TableShape> intensity; // one table for all three channels
};

struct GammaOptionsRead {
    Reason reason; // the device's failure, or Unsupported naming a table we cannot fill
    GammaOptions options;
};

// A table option is a vector of integers with a range 0..M: its size in words
// gives N. One whose N or M lies outside what the curve fills is Unsupported,
// never cut to fit.
GammaOptionsRead ReadGammaOptions(const OptionSource& source);
