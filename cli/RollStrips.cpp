// The strip is read through its format's reader into a map bounded in
// size (measure/StripMap), so a strip of any size costs a few megabytes.
#include "cli/RollStrips.h"

#include "image/formats/FileRows.h"
#include "measure/FilmMeasure.h"

namespace {

StripRead FromRows(const RowSource& rows, std::span<const PixelRect> regions, FilmMode mode) {
    StripRead read;
    read.width = rows.Layout().Width;
    read.height = rows.Layout().Height;
    for (std::size_t r = 0; r < regions.size(); ++r) {
        if (!FitsImage(regions[r], read.width, read.height)) {
            read.offImage = r;
            return read;
        }
    }
    Outcome<StripMap> map = MapStrip(rows, regions);
    if (!map) {
        read.why = map.Why();
        return read;
    }
    read.frames = FindFrames(*map);
    read.sample = SampleStrip(*map, read.frames);
    for (const ChannelCounts& counts : map->regions) {
        read.medians.push_back(MediansOf(counts, mode));
    }
    return read;
}

} // namespace

StripRead ReadStrip(const std::filesystem::path& strip, std::span<const PixelRect> regions,
                    FilmMode mode) {
    const Outcome<StripRead> read =
        UseFileRows(strip, ReadFormatOf(strip), [&](const RowSource& rows) -> Outcome<StripRead> {
            return FromRows(rows, regions, mode);
        });
    if (!read) {
        StripRead failed;
        failed.why = read.Why();
        return failed;
    }
    return *read;
}
