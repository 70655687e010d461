// What `roll` writes into OUTDIR, each file through the safe replacement:
// frames.txt, one line per frame in order along the strips,
// "STRIP NN LEFT,TOP,WIDTH,HEIGHT" (NN as in the frame's file names, the
// rectangle in the strip's pixels); roll.tvp, PARAMS' twelve positions and
// the roll's film; and per frame NN.tvp, the roll's film with that frame's
// exposure, and NN.EXT, its positive cropped to the frame. NN counts from
// 01, with as many digits as the last number needs.
#pragma once

#include "image/ApplyCrops.h"
#include "io/ParamKeys.h"
#include "measure/RollFit.h"

#include <filesystem>
#include <iosfwd>
#include <span>
#include <string>
#include <vector>

struct RollFrame {
    std::size_t strip = 0; // among the roll's strips
    PixelRect rect;
    FilmSettings film;
    std::string number;
};

// Every frame of every strip, in order, with its film and number.
std::vector<RollFrame> NumberFrames(const std::vector<std::vector<PixelRect>>& frames,
                                    const RollFit& fit);

struct RollTarget {
    std::filesystem::path folder;
    std::vector<std::filesystem::path> strips;
    ParamPositionSet positions{};
    ImageFormat format = ImageFormat::Tiff;
    ApplyOptions options;
};

// roll.tvp, frames.txt and every frame's NN.tvp. False when any failed
// (each said on `err`); the others are written.
bool WriteRollFiles(const RollTarget& target, const FilmSettings& roll,
                    std::span<const RollFrame> frames, std::ostream& err);

// NN.EXT of the frames of one strip, the strip read once for all of them.
// False when any failed (each said on `err`); the others are written.
bool WriteStripPositives(const RollTarget& target, std::size_t strip,
                         std::span<const RollFrame> frames, std::ostream& err);
