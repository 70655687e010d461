// Gamma table files: a title line, the entry count 256, then one signed
// decimal entry per line, CR LF after every line; one file per colour channel.
#pragma once

#include "curve/ChannelParams.h"
#include "curve/GammaTable.h"
#include "io/AtomicWrite.h"
#include "io/ExportNames.h"
#include "io/TableChannels.h"
#include "io/TextLine.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The pieces of one file, each to be written with one call: the title and
// count lines together, then one piece per entry.
std::vector<std::string> FormatTableFile(const GammaTable& table, std::string_view title);

// Writes one table file; `title` is line 1 without its line end, short enough
// to fit the line buffer together with the count line.
WriteOutcome WriteTableFile(const std::filesystem::path& path, const GammaTable& table,
                            std::string_view title);

// The outcome of the three files, and the name of the one that failed.
struct TableFilesOutcome : WriteOutcome {
    std::filesystem::path FailedFile; // empty when all were written
};

// Writes the red, green and blue files in turn under their own titles and
// stops at the first that fails, whose outcome and name it returns; later
// files are not begun.
TableFilesOutcome WriteTableFiles(const ExportNames& names, const GammaTableSet& tables);
