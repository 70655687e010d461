// The three gamma tables a command works with: computed from the start-up
// positions (--defaults) or from a parameter file and its film, all or nothing.
#pragma once

#include "cli/CliArgs.h"
#include "curve/ChannelParams.h"
#include "io/ParamFileReader.h"

struct TableLoad {
    LoadResult result = LoadResult::CannotOpen;
    GammaTableSet tables{}; // meaningful only when result is Ok
    Reason why;             // what went wrong, where the reader knows more than `result`
    bool negative = false;  // the tables hold a negative's film stage
};

// Reads the parameter file through the window's own tolerant reader and
// computes the tables exactly as a load in the window does.
TableLoad LoadTables(const CliCommand& command);
