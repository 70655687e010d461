// The fit takes every frame of every strip at once (the base and the grey
// axis are the roll's), so any edit fits the whole roll again from the
// maps: a few milliseconds, not a read of the scans.
#include "ui/RollSession.h"

#include <algorithm>

namespace fs = std::filesystem;

std::vector<std::pair<fs::path, Reason>> RollSession::Open(const std::vector<fs::path>& scans) {
    std::vector<std::pair<fs::path, Reason>> unread;
    for (const fs::path& scan : scans) {
        StripReading read = ReadRollStrip(scan, {}, mode_);
        if (read.why) {
            unread.emplace_back(scan, read.why);
        } else {
            strips_.push_back(std::move(read.strip));
        }
    }
    Refit();
    return unread;
}

// A frame drawn by hand takes its place along the strip, as the found ones
// stand, so that the numbers follow the film.
void RollSession::SetFrames(std::size_t strip, std::vector<PixelRect> frames) {
    StripFrames& found = strips_.at(strip).frames;
    const bool along = found.alongRows;
    std::stable_sort(frames.begin(), frames.end(), [along](const PixelRect& a, const PixelRect& b) {
        return along ? a.top < b.top : a.left < b.left;
    });
    found.frames = std::move(frames);
    Refit();
}

void RollSession::Refit() {
    const bool anyFrame = std::any_of(strips_.begin(), strips_.end(), [](const RollStrip& strip) {
        return !strip.frames.frames.empty();
    });
    fit_.reset();
    if (anyFrame) {
        fit_ = FitStrips(mode_, strips_, {});
    }
}

std::vector<RollFrame> RollSession::Frames() const {
    if (!fit_) {
        return {};
    }
    std::vector<std::vector<PixelRect>> rects;
    for (const RollStrip& strip : strips_) {
        rects.push_back(strip.frames.frames);
    }
    return NumberFrames(rects, fit_->frames);
}

std::pair<std::size_t, std::size_t> RollSession::Place(std::size_t frame) const {
    std::size_t strip = 0;
    while (strip < strips_.size() && frame >= strips_[strip].frames.frames.size()) {
        frame -= strips_[strip].frames.frames.size();
        ++strip;
    }
    return {strip, frame};
}

std::vector<fs::path> RollSession::Scans() const {
    std::vector<fs::path> scans;
    for (const RollStrip& strip : strips_) {
        scans.push_back(strip.scan);
    }
    return scans;
}
