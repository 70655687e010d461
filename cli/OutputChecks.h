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

// scan without --force: the line naming the output already there (for a
// batch, the first of its pages there and how many more), or empty when
// nothing would be replaced. A scan is the one output that cannot be made
// again from its input.
std::string ExistingScanOutput(const CliCommand& command);

// scan --batch --force, once the batch has ended after page `lastPage`: the
// line naming the pages of an earlier batch of the pattern still there
// beyond it (they are not deleted), or empty when there are none.
std::string OlderPagesLeft(const CliCommand& command, int lastPage);
