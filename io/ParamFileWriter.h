// Writes a parameter file: ";Tamrel Parameter", then the twelve key=position
// lines in key order, CR LF after every line.
#pragma once

#include "io/AtomicWrite.h"
#include "io/ParamKeys.h"

#include <filesystem>
#include <string>
#include <vector>

// The thirteen lines, each to be written with one call.
std::vector<std::string> FormatParamFile(const ParamPositionSet& positions);

WriteOutcome SaveParamFile(const std::filesystem::path& path, const ParamPositionSet& positions);
