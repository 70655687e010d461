// The scan is read through its format's reader into a map bounded in size
// (StripMap), so a strip of any size costs a few megabytes.
#include "measure/RollStrip.h"

#include "image/formats/FileRows.h"
#include "measure/FilmMeasure.h"

namespace {

StripReading FromRows(const RowSource& rows, std::span<const PixelRect> regions, FilmMode mode) {
    StripReading read;
    RollStrip& strip = read.strip;
    strip.width = rows.Layout().Width;
    strip.height = rows.Layout().Height;
    for (std::size_t r = 0; r < regions.size(); ++r) {
        if (!FitsImage(regions[r], strip.width, strip.height)) {
            read.offImage = r;
            return read;
        }
    }
    Outcome<StripMap> map = MapStrip(rows, regions);
    if (!map) {
        read.why = map.Why();
        return read;
    }
    strip.map = std::move(*map);
    strip.frames = FindFrames(strip.map);
    for (const ChannelCounts& counts : strip.map.regions) {
        strip.medians.push_back(MediansOf(counts, mode));
    }
    strip.map.regions.clear(); // 1.5 MB each, and counted into the medians
    return read;
}

} // namespace

StripReading ReadRollStrip(const std::filesystem::path& scan, std::span<const PixelRect> regions,
                           FilmMode mode) {
    Outcome<StripReading> read =
        UseFileRows(scan, ReadFormatOf(scan), [&](const RowSource& rows) -> Outcome<StripReading> {
            return FromRows(rows, regions, mode);
        });
    if (!read) {
        StripReading failed;
        failed.why = read.Why();
        failed.strip.scan = scan;
        return failed;
    }
    read->strip.scan = scan;
    return std::move(*read);
}

RollFit FitStrips(FilmMode mode, std::span<const RollStrip> strips, const RollPicks& picks) {
    std::vector<StripSample> samples;
    for (const RollStrip& strip : strips) {
        samples.push_back(SampleStrip(strip.map, strip.frames));
    }
    return FitRoll(mode, samples, picks);
}
