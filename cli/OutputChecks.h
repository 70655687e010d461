// The output names of the commands that write images, judged before any
// work starts: a wrong one is bad usage, and nothing is read or scanned.
#pragma once

#include "cli/CliArgs.h"

#include <string>

// apply: outputs of a known format, and no two inputs written to one file.
// Empty when they are fine, else what is wrong.
std::string CheckApplyOutputs(const CliCommand& command);

// scan: the output (a batch's first page) in a format the tool writes, BMP
// only for 8-bit samples. Empty when it is fine, else what is wrong.
std::string CheckScanOutput(const CliCommand& command);
