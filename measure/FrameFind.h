// The frames of a film strip found on its map: where the film lies in its
// opaque holder, which way it runs, each frame's picture as a rectangle of
// pixels, and the cells of unexposed film (the base) between and around
// the frames, without the sprocket holes, the holder or dust. Frame sizes
// and gaps are read off the scan (24 x 36, 6 x 6, 6 x 4.5 alike).
#pragma once

#include "curve/FilmSettings.h"
#include "measure/StripMap.h"

#include <vector>

struct StripFrames {
    bool alongRows = false;        // the strip runs down the scan: frames one above another
    std::vector<PixelRect> frames; // in order along the strip, from the scan's top or left
    ChannelCounts base;            // the base cells' mean steps; empty without frames
    std::int32_t cell = 1;         // the map's cell side, in pixels
};

// How a cell is taken: the holder's opaque plastic, film clearer than the
// base (a sprocket hole), the base, or the picture (and dust).
enum class CellKind : std::uint8_t { Holder, Clear, Base, Image };

// A cell is the holder when even its clearest channel is this much denser
// than the clearest film on the scan: beyond any negative's highlights.
inline constexpr double kHolderDensity = 2.5;
// A cell is the picture when its three densities above the base add up to
// more than this, and clearer film when they add up to less than its
// negative: well beyond grain, and below a scene's deepest shadow.
inline constexpr double kImageDensity = 0.1;

// The frames found; none when the scan shows no film or no picture.
StripFrames FindFrames(const StripMap& map);
