// A roll's strip as a value, for the tool and the window alike: the scan
// and its size, its map (kept, a few megabytes, so that a frame moved,
// added or removed by hand is sampled again without reading the scan), its
// frames and the medians of the picks' rectangles on it; and the roll's
// film fitted to its strips as they stand.
#pragma once

#include "measure/RollFit.h"

#include <filesystem>
#include <optional>
#include <span>
#include <vector>

struct RollStrip {
    std::filesystem::path scan;
    std::int32_t width = 0; // the scan's pixels
    std::int32_t height = 0;
    StripMap map;
    StripFrames frames;                 // as found, until set anew
    std::vector<ChannelValues> medians; // of each region asked for, as the film's mode reads a pick
};

struct StripReading {
    Reason why;                          // the scan could not be read
    std::optional<std::size_t> offImage; // the region that lies (partly) off the scan
    RollStrip strip;
};

// The scan read once: mapped, its frames found, the regions counted. Every
// region must fit the scan, or nothing is read (offImage names the first
// that does not).
StripReading ReadRollStrip(const std::filesystem::path& scan, std::span<const PixelRect> regions,
                           FilmMode mode);

// The roll's film: each strip's frames sampled on its map, then fitted.
RollFit FitStrips(FilmMode mode, std::span<const RollStrip> strips, const RollPicks& picks);
