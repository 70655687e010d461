// The file buttons' side of the user: the file dialogs of the table export
// and of the parameter file's save and load, the question before existing
// files are replaced, and the one message each ends with, turned from the
// file layer's result.
#pragma once

#include "curve/FilmSettings.h"
#include "io/ParamFileReader.h"

#include <optional>

class AskUser;

// The three table files (a name, then 'R', 'G' and 'B'), after the notice
// and the name; a negative's film gets the line that 8-bit tables cannot
// hold its dense parts.
void ExportTablesAsked(AskUser& ask, const GammaTableSet& tables, bool negative);

// The twelve positions and the film into the file the user names.
void SaveParamsAsked(AskUser& ask, const ParamPositionSet& positions, const FilmSettings& film);

// The file the user names, read whole; nullopt when the user cancelled or
// the file could not be read (which was told).
std::optional<ParamLoad> LoadParamsAsked(AskUser& ask);
