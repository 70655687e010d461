// The three curves as a 1D LUT file (.cube), which video and photo tools read.
#pragma once

#include "curve/ChannelCurves.h"
#include "io/AtomicWrite.h"

#include <filesystem>
#include <string>
#include <vector>

// The curve shape of a LUT of `entries` lines: at 256 the window's table of
// 0..255, as the tool has always written; at any other size 16-bit levels.
TableShape CubeShapeOf(std::size_t entries);

// The lines of the file, each ended by a line feed: a title, LUT_1D_SIZE N,
// then per entry "r g b", the levels divided by `maxLevel`, six decimals.
std::vector<std::string> FormatCubeFile(const ChannelCurves& curves, int maxLevel);

// Written whole or not at all, through the safe replacement of io/.
WriteResult WriteCubeFile(const std::filesystem::path& path, const ChannelCurves& curves,
                          int maxLevel);
