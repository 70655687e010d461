// The ICC profile a scan's file carries, from the scanner's input profile
// (which describes the linear scan): the window's scan dialog and tamrel-cli
// both call these.
#pragma once

#include "curve/ChannelParams.h"
#include "image/Outcome.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

// The bytes of an ICC profile file that LittleCMS opens, describing RGB or
// grey: CannotOpen (Value = errno), ReadFailed, or CheckProfile's reason.
Outcome<std::vector<std::uint8_t>> ReadProfileFile(const std::filesystem::path& path);

// For a linear scan (no curves) the input profile as it is; for a scan
// through the curves, in the device or on the rows alike, the profile
// rewritten for the curves at the scan's depth (8 or 16 bits), without their
// film stages (a negative's file is its positive); a grey profile for the
// green curve, which a grey page goes through, and kept grey. The writers
// fit it to the page's channels (ProfileForChannels). Empty in, empty out.
Outcome<std::vector<std::uint8_t>> ScanFileProfile(std::span<const std::uint8_t> inputProfile,
                                                   const std::optional<ChannelParamsSet>& curves,
                                                   int depth);
