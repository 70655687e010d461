// Gamma tables into a device: the curves of the three channels at the sizes
// it takes, or the identity for a linear (gamma 1.0) scan.
#pragma once

#include "curve/ChannelParams.h"
#include "curve/CurveTable.h"
#include "io/Reason.h"
#include "scan/SaneDevice.h"

#include <cstdint>
#include <vector>

enum class TablesLoaded {
    InDevice, // the device will apply the curves
    NotTaken, // no tables, or one intensity table and three different curves
};

struct TablesLoad {
    Reason reason;
    TablesLoaded loaded = TablesLoaded::NotTaken;
    std::size_t entries = 0; // InDevice: the fewest entries of a table loaded
};

// Turns custom-gamma on where the device has it, then fills the red, green
// and blue tables, or failing those the intensity table when all three
// curves are the same, each at its own entries and top level. NotTaken
// changes nothing, so the caller can scan linearly and map the rows itself.
TablesLoad LoadCurveTables(SaneDevice& device, const ChannelParamsSet& channels);

// Turns custom-gamma off where the device has it; otherwise loads identity
// tables into every table option it has.
Reason LoadLinear(SaneDevice& device);

// Entry i of N -> round(i * M / (N - 1)): output proportional to input.
std::vector<std::int32_t> IdentityTable(TableShape shape);
