// What every command does the same way: warn of a negative in narrow
// tables, print to standard output and notice when that fails, and report
// bad usage.
#pragma once

#include "cli/CliArgs.h"
#include "curve/CurveTable.h"

#include <iosfwd>
#include <string>
#include <string_view>

// One line on `err` when a negative's curves go into tables of 256 entries
// or fewer, which cannot hold a dense negative's shadows.
void WarnNarrowNegative(bool negative, TableShape shape, std::ostream& err);

// Writes and flushes `text`; a full disk or a closed pipe is reported on
// `err` and gives the failure status.
int PrintAll(std::string_view text, std::ostream& out, std::ostream& err);

// "COMMAND: MESSAGE" and the usage hint on `err`; the bad-usage status.
int ReportUsage(const CliCommand& command, const std::string& message, std::ostream& err);
