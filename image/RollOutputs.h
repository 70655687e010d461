// What a roll writes into its folder, each file through the safe
// replacement: frames.txt, one line per frame in order along the strips,
// "STRIP NN LEFT,TOP,WIDTH,HEIGHT" (NN as in the frame's file names, the
// rectangle in the strip's pixels); roll.tvp, the twelve positions and the
// roll's film; and per frame NN.tvp, the roll's film with that frame's
// exposure, and NN.EXT, its positive cropped to the frame. NN counts from
// 01, with as many digits as the last number needs. The tool and the
// window write a roll through this one road.
#pragma once

#include "curve/FilmSettings.h"
#include "image/ApplyCrops.h"
#include "io/ParamKeys.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

struct RollFrame {
    std::size_t strip = 0; // among the roll's strips
    PixelRect rect;
    FilmSettings film;
    std::string number;
};

// Every frame of every strip, in order, with its film (`films` as the
// frames, per strip) and number.
std::vector<RollFrame> NumberFrames(const std::vector<std::vector<PixelRect>>& frames,
                                    const std::vector<std::vector<FilmSettings>>& films);

struct RollTarget {
    std::filesystem::path folder;
    std::vector<std::filesystem::path> strips;
    ParamPositionSet positions{};
    ImageFormat format = ImageFormat::Tiff;
    ApplyOptions options;
};

// A file of the roll that was not written. `output` is the file (empty
// when a strip could not be read), `strip` the scan it came from (empty
// for the small files); `replacesStrip` when the output is a strip of the
// roll, refused before anything was written.
struct RollProblem {
    std::filesystem::path output;
    std::filesystem::path strip;
    Reason why;
    bool replacesStrip = false;
};

// How a roll's writing is followed and stopped: `rowsRead` after each band
// of a strip (its rows read of its total), on the reading thread; a set
// `cancel` stops the strip being read at its next band and skips the
// others. Frames whose rows were all read by then are still written whole.
struct RollControl {
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(std::size_t strip, std::int32_t done, std::int32_t total)> rowsRead;
};

// Frame NN's positive in the target's folder.
std::filesystem::path PositiveOf(const RollTarget& target, const RollFrame& frame);

// Everything above: the small files on a thread of their own while each
// strip is read once for its frames' positives. The problems, each once;
// the other files are written.
std::vector<RollProblem> WriteRoll(const RollTarget& target, const FilmSettings& roll,
                                   std::span<const RollFrame> frames,
                                   const RollControl& control = {});
