// The format of a roll's frames: --format's extension through the one
// format table, TIFF by default.
#pragma once

#include "cli/CliArgs.h"
#include "image/formats/FormatTable.h"

ImageFormat RollFormat(const CliCommand& command);
