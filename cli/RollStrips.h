// Each strip of a roll read once for the roll's film: mapped, its frames
// found and sampled, and the picks' rectangles on it counted.
#pragma once

#include "measure/RollSamples.h"

#include <filesystem>
#include <optional>
#include <span>
#include <vector>

struct StripRead {
    Reason why;                          // the read failed
    std::optional<std::size_t> offImage; // the region that lies (partly) off the strip
    std::int32_t width = 0;              // the strip's pixels
    std::int32_t height = 0;
    StripFrames frames;
    StripSample sample;
    std::vector<ChannelValues> medians; // of each region, as `mode` reads a pick
};

// Every region must fit the strip, or nothing is read (offImage names the
// first that does not).
StripRead ReadStrip(const std::filesystem::path& strip, std::span<const PixelRect> regions,
                    FilmMode mode);
