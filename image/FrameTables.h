// A frame's tables: PARAMS' twelve positions with the frame's film in
// front of each curve, at the window's 256 entries and at 65536 for
// 16-bit scans, and the curves alone where the positive's profile is
// rewritten for them. The one place `roll` turns loaded parameters into
// tables.
#pragma once

#include "curve/ChannelCurves.h"
#include "curve/FilmSettings.h"
#include "image/ApplyImage.h"
#include "io/ParamKeys.h"

struct FrameTables {
    GammaTableSet levels{};
    ChannelCurves wide;
    ChannelCurves positive;

    // Views of the tables above, for as long as this value lives.
    ApplyTables Apply() const;
};

// `profiled`: the strip carries a profile, which the positive's takes.
FrameTables TablesOfFrame(const ParamPositionSet& positions, const FilmSettings& film,
                          bool profiled);
