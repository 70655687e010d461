// Slider position <-> curve parameter mapping, label texts, defaults and reset.
#include "curve/ChannelParams.h"

#include "curve/ClassicFormat.h"
#include "curve/CurveTable.h"

#include <algorithm>

namespace {

// The reset writes these constants directly rather than mapping positions.
constexpr double kResetGamma = 2.0;
constexpr double kResetWhite = 255.0;
constexpr double kResetExponent = 0.5;
constexpr double kResetAlpha = 1.099;
constexpr double kResetBlack = 0.0;
constexpr std::size_t kLabelBufferSize = 64;

} // namespace

namespace {

// One field of either constness: the switch is written once.
template <class Positions> auto& FieldOf(Positions& positions, Param p) {
    switch (p) {
    case Param::Black:
        return positions.black;
    case Param::White:
        return positions.white;
    case Param::Alpha:
        return positions.alpha;
    case Param::Gamma:
        break;
    }
    return positions.gamma;
}

} // namespace

int& ParamPositions::operator[](Param p) {
    return FieldOf(*this, p);
}

int ParamPositions::operator[](Param p) const {
    return FieldOf(*this, p);
}

std::string FormatValue(Param p, double value) {
    return FormatClassic<kLabelBufferSize>(SpecOf(p).format, value);
}

ParamPositions PositionsOf(const ChannelParams& c) {
    return ParamPositions{c.BlackPos, c.WhitePos, c.AlphaPos, c.GammaPos};
}

double ValueOf(const ChannelParams& c, Param p) {
    switch (p) {
    case Param::Black:
        return c.Black;
    case Param::White:
        return c.White;
    case Param::Alpha:
        return c.Alpha;
    case Param::Gamma:
        break;
    }
    return c.Gamma;
}

void ComputeChannelTable(const ChannelParams& c, GammaTable& table) {
    if (!c.Film) {
        ComputeGammaTable(c.White, table, 1.0 / c.Gamma, c.Alpha, c.Black);
        return;
    }
    std::array<std::uint16_t, kGammaTableSize> levels{};
    ComputeFilmCurveTable(*c.Film, c.White, levels, kWindowShape.maxLevel, 1.0 / c.Gamma, c.Alpha,
                          c.Black);
    std::copy(levels.begin(), levels.end(), table.begin());
}

void ResetToDefaults(ChannelParamsSet& channels, GammaTableSet& tables) {
    for (ChannelParams& c : channels) {
        c.Gamma = kResetGamma;
        c.Alpha = kResetAlpha;
        c.White = kResetWhite;
        c.Black = kResetBlack;
        c.GammaPos = SpecOf(Param::Gamma).defaultPos;
        c.AlphaPos = SpecOf(Param::Alpha).defaultPos;
        c.WhitePos = SpecOf(Param::White).defaultPos;
        c.BlackPos = SpecOf(Param::Black).defaultPos;
    }
    for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
        if (channels[ch].Film) {
            ComputeChannelTable(channels[ch], tables[ch]);
        } else {
            ComputeGammaTable(kResetWhite, tables[ch], kResetExponent, kResetAlpha, kResetBlack);
        }
    }
}
