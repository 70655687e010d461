// The tables an image went through, as ColourProfile takes them: each
// channel's outputs over its inputs, both scaled to 0..1.
#pragma once

#include "curve/ChannelParams.h"
#include "image/formats/ColourProfile.h"

#include <array>
#include <cstdint>
#include <span>

// The window's 256-entry tables of levels 0..255.
ChannelTables ChannelTablesOf(const GammaTableSet& tables);

// Tables of any length whose entries run 0..maxLevel.
ChannelTables
ChannelTablesOf(const std::array<std::span<const std::uint16_t>, kChannelCount>& tables,
                int maxLevel);
