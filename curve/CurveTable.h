// Input level 0..255 sampled at N evenly spaced points -> output level 0..M:
// the tone curve of GammaTable.h at any table size and output range.
#pragma once

#include "curve/FilmStage.h"

#include <cstddef>
#include <cstdint>
#include <span>

inline constexpr std::size_t kMinCurveEntries = 2;
inline constexpr std::size_t kMaxCurveEntries = 65536;
inline constexpr int kMinCurveLevel = 1;
inline constexpr int kMaxCurveLevel = 65535;

// How many entries a table has and the output level its top stands for.
struct TableShape {
    std::size_t entries = 256;
    int maxLevel = 255;
    friend bool operator==(const TableShape&, const TableShape&) = default;
};

// The shape of the window's tables: 256 entries of 0..255.
inline constexpr TableShape kWindowShape{};

constexpr bool IsValidShape(TableShape shape) {
    return shape.entries >= kMinCurveEntries && shape.entries <= kMaxCurveEntries &&
           shape.maxLevel >= kMinCurveLevel && shape.maxLevel <= kMaxCurveLevel;
}

// Fills every entry of `table` (its size is N) with levels 0..maxLevel. At
// 256 entries of 0..255 the result is exactly ComputeGammaTable's. Returns
// false, writing nothing, when N or maxLevel is outside IsValidShape.
// Allocates nothing.
bool ComputeCurveTable(double white, std::span<std::uint16_t> table, int maxLevel, double exponent,
                       double alpha, double black);

// The film stage and then the curve: entry j of N stands for the scan value
// t = j / (N - 1), and holds the curve at x = 255 * p(t), p clamped to 0..1.
// The table falls where the curve rises. False, writing nothing, as
// ComputeCurveTable.
bool ComputeFilmCurveTable(const FilmStage& film, double white, std::span<std::uint16_t> table,
                           int maxLevel, double exponent, double alpha, double black);
