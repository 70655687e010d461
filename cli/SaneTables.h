// Which gamma tables the sane command prints, at which sizes, or why it
// cannot: the tables a device takes, or three tables of a given shape.
#pragma once

#include "cli/SaneOptions.h"
#include "curve/ChannelParams.h"
#include "scan/GammaOptions.h"

#include <cstddef>
#include <optional>
#include <string>

// Linux limits one argument to 32 pages (MAX_ARG_STRLEN), terminating zero
// included; a longer table cannot reach a front end on its command line.
inline constexpr std::size_t kMaxArgumentBytes = 131072;

enum class SaneTableProblem {
    None,
    NoTables,       // neither red, green and blue tables nor an intensity table
    ChannelsDiffer, // one intensity table, three different curves, no --channel
    TooLong,        // a table's text would not fit in one argument
};

struct SanePlan {
    SaneTableProblem problem = SaneTableProblem::None;
    std::string option;        // TooLong: the table that does not fit
    std::size_t textBytes = 0; // TooLong: its length with the terminating zero
    SaneLine line;             // meaningful only without a problem
};

// Red, green and blue at `shape`, with the custom-gamma switch.
SanePlan PlanForShape(const ChannelParamsSet& channels, TableShape shape);

// The device's red, green and blue tables at their own shapes; failing
// those, its intensity table with the curve of `channel`, or the one curve
// all three channels share.
SanePlan PlanForDevice(const GammaOptions& device, const ChannelParamsSet& channels,
                       std::optional<Channel> channel);

// The reason the tool prints for a problem.
std::string ProblemText(const SanePlan& plan);
