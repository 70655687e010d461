// The roll the roll dialog holds: its strips as read (each with its map,
// so that a frame moved, added or removed is sampled again without reading
// the scan), the roll's film fitted to the frames as they stand, and the
// frames numbered as the roll's files name them. No widget: the dialog
// shows it and hands it the user's edits.
#pragma once

#include "image/RollOutputs.h"
#include "measure/RollStrip.h"

#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

class RollSession {
public:
    explicit RollSession(FilmMode mode) : mode_(mode) {}

    // Each strip read and its frames found; those that could not be read
    // are left out and returned with why. The film is fitted anew.
    std::vector<std::pair<std::filesystem::path, Reason>>
    Open(const std::vector<std::filesystem::path>& scans);

    const std::vector<RollStrip>& Strips() const { return strips_; }
    // A strip's frames as the user left them (each must fit the strip), put
    // in order along it; every frame is measured again on the maps and the
    // film fitted anew.
    void SetFrames(std::size_t strip, std::vector<PixelRect> frames);

    // The roll's film, none while no strip shows a frame.
    const std::optional<RollFit>& Fit() const { return fit_; }
    // Every frame in order along the strips, numbered, with its own film;
    // empty without a fit.
    std::vector<RollFrame> Frames() const;
    // The strip a frame of Frames() is on, and its index on that strip.
    std::pair<std::size_t, std::size_t> Place(std::size_t frame) const;
    std::vector<std::filesystem::path> Scans() const;

private:
    void Refit();

    FilmMode mode_;
    std::vector<RollStrip> strips_;
    std::optional<RollFit> fit_;
};
