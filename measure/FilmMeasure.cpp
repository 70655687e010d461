// Rectangles first, so that a bad one costs no pass over the frame.
#include "measure/FilmMeasure.h"

ChannelValues MediansOf(const ChannelCounts& counts, FilmMode mode) {
    constexpr double kMedian = 0.5;
    ChannelValues medians{};
    if (mode == FilmMode::BlackAndWhite) {
        medians.fill(TransmissionAt(Pooled(counts), kMedian));
        return medians;
    }
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        medians[c] = TransmissionAt(counts[c], kMedian);
    }
    return medians;
}

FilmMeasurement MeasureFilm(const RowSource& source, const FilmRequest& request) {
    const RowLayout& layout = source.Layout();
    std::vector<PixelRect> regions;
    if (request.base) {
        regions.push_back(*request.base);
    }
    const bool picks = request.mode == FilmMode::ColourNegative;
    if (picks) {
        regions.insert(regions.end(), request.neutrals.begin(), request.neutrals.end());
    }
    const std::size_t first = request.base ? 0 : 1; // the number the first region has
    for (std::size_t r = 0; r < regions.size(); ++r) {
        if (!FitsImage(regions[r], layout.Width, layout.Height)) {
            return {{}, {FilmFault::RectangleOffImage, r + first, 0.0}, {}};
        }
    }
    Outcome<FrameCounts> counts = CountFrame(source, regions);
    if (!counts) {
        return {counts.Why(), {}, {}};
    }
    FilmSamples samples;
    samples.frame = &counts->frame;
    samples.basePicked = request.base.has_value();
    samples.base =
        request.base ? MediansOf(counts->regions.front(), request.mode) : request.knownBase;
    for (std::size_t r = request.base ? 1 : 0; r < regions.size(); ++r) {
        samples.neutrals.push_back(MediansOf(counts->regions[r], request.mode));
    }
    if (request.neutrals.empty()) {
        samples.neutrals = request.knownNeutrals;
    }
    const FilmFit fit = FitFilm(request.mode, samples);
    return {{}, fit.problem, fit.film};
}
