// The parameter model of the three colour channels: slider positions, the real
// curve parameters derived from them, their ranges, defaults and label texts.
#pragma once

#include "curve/FilmStage.h"
#include "curve/GammaTable.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>

enum class Param { Black, White, Alpha, Gamma };

inline constexpr std::size_t kParamCount = 4;
inline constexpr std::array<Param, kParamCount> kAllParams = {Param::Black, Param::White,
                                                              Param::Alpha, Param::Gamma};

// One declaration per parameter: name, inclusive position range, default
// position, the mapping value = position / divisor + offset, and the label format.
struct ParamSpec {
    const char* name;
    int minPos;
    int maxPos;
    int defaultPos;
    double divisor;
    double offset;
    const char* format; // printf-style, with the leading blank the labels show
};

inline constexpr std::array<ParamSpec, kParamCount> kParamSpecs = {{
    {"Black", 0, 100, 0, 10.0, 0.0, " %.1f"},
    {"White", 200, 255, 255, 1.0, 0.0, " %.0f"},
    {"Alpha", 0, 200, 99, 1000.0, 1.0, " %.3f"},
    {"Gamma", 150, 250, 200, 100.0, 0.0, " %.2f"},
}};

constexpr const ParamSpec& SpecOf(Param p) {
    return kParamSpecs[static_cast<std::size_t>(p)];
}

constexpr bool IsInRange(Param p, int pos) {
    return pos >= SpecOf(p).minPos && pos <= SpecOf(p).maxPos;
}

// Channel numbering shared by the tabs, the tables and the files.
enum Channel : int { kRed = 0, kGreen = 1, kBlue = 2 };
inline constexpr std::size_t kChannelCount = 3;

// The four slider positions of one channel, in parameter order.
struct ParamPositions {
    int black = SpecOf(Param::Black).defaultPos;
    int white = SpecOf(Param::White).defaultPos;
    int alpha = SpecOf(Param::Alpha).defaultPos;
    int gamma = SpecOf(Param::Gamma).defaultPos;

    int& operator[](Param p);
    int operator[](Param p) const;
    friend bool operator==(const ParamPositions&, const ParamPositions&) = default;
};

// The slider positions of all three channels, indexed by Channel.
using ParamPositionSet = std::array<ParamPositions, kChannelCount>;

// Positions and the values mapped from them; every writer sets both together.
// A negative's film stage goes in front of the curve; none for a positive.
struct ChannelParams {
    int BlackPos;
    int WhitePos;
    int AlphaPos;
    int GammaPos;
    double Black;
    double White;
    double Alpha;
    double Gamma;
    std::optional<FilmStage> Film;
};

// Black = pos / 10, White = pos, Alpha = pos / 1000 + 1, Gamma = pos / 100, in
// doubles and in exactly this form (the division first, then the offset).
constexpr double PositionToValue(Param p, int pos) {
    // Adding a zero offset is exact, so Black, White and Gamma keep their plain forms.
    return static_cast<double>(pos) / SpecOf(p).divisor + SpecOf(p).offset;
}

// The label text of a real value, e.g. " 1.099" for Alpha.
std::string FormatValue(Param p, double value);

constexpr ChannelParams MakeChannelParams(const ParamPositions& pos,
                                          std::optional<FilmStage> film = std::nullopt) {
    return ChannelParams{
        pos.black,
        pos.white,
        pos.alpha,
        pos.gamma,
        PositionToValue(Param::Black, pos.black),
        PositionToValue(Param::White, pos.white),
        PositionToValue(Param::Alpha, pos.alpha),
        PositionToValue(Param::Gamma, pos.gamma),
        film,
    };
}

ParamPositions PositionsOf(const ChannelParams& channel);
double ValueOf(const ChannelParams& channel, Param p);

inline constexpr ChannelParams kDefaultChannelParams = MakeChannelParams(ParamPositions{});

// ComputeGammaTable(White, table, 1 / Gamma, Alpha, Black) from stored values;
// with a film stage, the stage and then the same curve (ComputeFilmCurveTable).
void ComputeChannelTable(const ChannelParams& channel, GammaTable& table);

using ChannelParamsSet = std::array<ChannelParams, kChannelCount>;
using GammaTableSet = std::array<GammaTable, kChannelCount>;

// All channels' curves back to the defaults; the tables from the constant
// defaults (white 255, exponent 0.5, alpha 1.099, black 0), which give the
// same entries. A film stage stays: the film is the roll's, not the curve's.
void ResetToDefaults(ChannelParamsSet& channels, GammaTableSet& tables);
