// Scanned samples of any maxval to the levels the tables take: the window's
// 8-bit levels, and the 16-bit levels of the tool's 65536-entry tables.
#pragma once

#include "image/kernels/RowKernels.h"
#include "image/rows/StoredRows.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// Level of each sample value 0..(2^bits - 1): (min(v, m) * top + m / 2) / m
// for maxval m, with top 255 (8-bit levels) or 65535 (16-bit table index).
std::vector<std::uint8_t> SampleLevels8(std::int32_t maxValue, std::int32_t bitsPerSample);

// Converts Width pixels of grey or RGB samples (kGrey8, kRgb24, kGrey16,
// kRgb48) per row to the window's R, G, B, 255 levels; a grey sample gives
// the same level on all three. Null for another format.
using LevelKernel = void (*)(const RowBlock& block, std::span<const std::uint8_t> levels);
LevelKernel LevelKernelFor(const RowFormat& format);

// Three 65536-entry tables, one per channel, from a 16-bit sample straight to
// its output sample: table[c][v] = curve[c][index(v)] with the index of
// SampleLevels16, in big-endian byte order when `bigEndian`.
using WideTable = std::vector<std::uint16_t>;
using WideTables = std::array<WideTable, kChannelCount>;
WideTables
ComposeWideTables(const std::array<std::span<const std::uint16_t>, kChannelCount>& curves,
                  std::int32_t maxValue, bool bigEndian);

// kGrey16 or kRgb48 rows to Width R, G, B 16-bit samples per row through the
// composed tables; with `channels` 1, grey rows to Width grey samples
// through the green table (for equal tables, whose output stays grey).
// Null for another format.
using WideKernel = void (*)(const RowBlock& block, const WideTables& tables);
WideKernel WideKernelFor(const RowFormat& format, std::int32_t channels = kColourChannels);
