// The three table file names derived from the one name the user picks, and
// the test whether any of them is already there.
#pragma once

#include "curve/ChannelParams.h"

#include <array>
#include <filesystem>
#include <span>

// Red, green, blue.
using ExportNames = std::array<std::filesystem::path, kChannelCount>;

// folder / (title + suffix + extension), where the title is the picked name
// up to its last dot and the extension what follows that dot: "a.b.tvk" gives
// "a.bR.tvk", and "curve" (no dot) gives "curveR.".
ExportNames DeriveExportNames(const std::filesystem::path& picked);

// True when the path names something other than a directory. A symbolic
// link counts as existing even when what it names does not: writing there
// would put a file where the link points, which the user must be asked about.
bool ExistsAsFile(const std::filesystem::path& path);

// True for a symbolic link whose target does not exist.
bool IsDanglingLink(const std::filesystem::path& path);

// True when any of the paths exists as a file; looks no further than the first.
bool AnyExistsAsFile(std::span<const std::filesystem::path> paths);
