// The help texts of tamrel-cli: an overview and one page per command.
#pragma once

#include "cli/CliArgs.h"

#include <optional>
#include <string>

// The page for one command, or the overview of all when none is named.
std::string HelpText(std::optional<CommandKind> command);

// The line printed after a usage error.
std::string UsageHint();
