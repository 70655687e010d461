// The options of `roll`: the picks on strips of the roll, --bw, and the
// frames' format with what goes with it (--compress for TIFF, --quality
// for formats that take one).
#pragma once

#include "cli/CliArgs.h"
#include "cli/OptionTable.h"

#include <string>

// Puts the options into `command`; empty when they are fine, else what is
// wrong. The strips the picks name are judged once the operands are known.
std::string TakeRollOptions(const GivenOptions& given, CliCommand& command);
