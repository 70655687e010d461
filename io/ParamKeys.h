// The twelve keys of a parameter file: which channel and parameter each
// carries and its bit in the mask of keys found by a load.
#pragma once

#include "curve/ChannelParams.h"

#include <array>
#include <cstddef>
#include <cstdint>

// One bit per key that a load has seen with an in-range value.
using FoundKeys = std::uint32_t;

struct ParamKey {
    const char* name;
    Channel channel;
    Param param;
    FoundKeys bit;
};

inline constexpr std::size_t kParamKeyCount = kParamCount * kChannelCount;

// In the order the keys are written and matched.
inline constexpr std::array<ParamKey, kParamKeyCount> kParamKeys = {{
    {"BlackR", kRed, Param::Black, 0x001},
    {"BlackG", kGreen, Param::Black, 0x002},
    {"BlackB", kBlue, Param::Black, 0x004},
    {"WhiteR", kRed, Param::White, 0x008},
    {"WhiteG", kGreen, Param::White, 0x010},
    {"WhiteB", kBlue, Param::White, 0x020},
    {"AlphaR", kRed, Param::Alpha, 0x040},
    {"AlphaG", kGreen, Param::Alpha, 0x080},
    {"AlphaB", kBlue, Param::Alpha, 0x100},
    {"GammaR", kRed, Param::Gamma, 0x200},
    {"GammaG", kGreen, Param::Gamma, 0x400},
    {"GammaB", kBlue, Param::Gamma, 0x800},
}};

constexpr FoundKeys AllKeyBits() {
    FoundKeys all = 0;
    for (const ParamKey& key : kParamKeys) {
        all |= key.bit;
    }
    return all;
}

// A load is accepted only when every key was found.
inline constexpr FoundKeys kAllKeysFound = AllKeyBits();
static_assert(kAllKeysFound == (FoundKeys{1} << kParamKeyCount) - 1, "one distinct bit per key");
