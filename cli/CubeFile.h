// The three tables as a 1D LUT file (.cube), which video and photo tools read.
#pragma once

#include "curve/ChannelParams.h"
#include "io/AtomicWrite.h"

#include <filesystem>
#include <string>
#include <vector>

// The lines of the file, each ended by a line feed: a title, LUT_1D_SIZE 256,
// then per input level "r g b", the entries divided by 255 with six decimals.
std::vector<std::string> FormatCubeFile(const GammaTableSet& tables);

// Written whole or not at all, through the safe replacement of io/.
WriteResult WriteCubeFile(const std::filesystem::path& path, const GammaTableSet& tables);
