// Writes a parameter file: ";Tamrel Parameter", then the twelve key=position
// lines in key order, then a negative's film lines, CR LF after every line.
#pragma once

#include "curve/FilmSettings.h"
#include "io/AtomicWrite.h"
#include "io/ParamKeys.h"

#include <filesystem>
#include <string>
#include <vector>

// The thirteen lines, then a negative's film lines, each to be written with
// one call; a positive's file is the thirteen lines alone.
std::vector<std::string> FormatParamFile(const ParamPositionSet& positions,
                                         const FilmSettings& film = {});

WriteOutcome SaveParamFile(const std::filesystem::path& path, const ParamPositionSet& positions,
                           const FilmSettings& film = {});
