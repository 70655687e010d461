// What the kept picture is shown through: an 8-bit picture the window's
// 256-entry tables, a 16-bit one the same channels' 65536-entry curves, the
// ones `apply` takes (made only for a 16-bit picture: they cost 196,608
// curve values).
#pragma once

#include "curve/ChannelParams.h"
#include "curve/WideCurves.h"
#include "image/rows/KeptImage.h"

struct PictureTables {
    GammaTableSet Levels{};
    // Empty for an 8-bit picture, and for a 16-bit one seen as it is.
    WideCurveSet Curves;

    // The tables alone, as an 8-bit picture takes them.
    PictureTables(const GammaTableSet& levels, WideCurveSet curves = {})
        : Levels(levels), Curves(std::move(curves)) {}
};

// Each channel whole, its film stage and its curve: `tables`, the window's
// tables of `channels`, and their curves for a 16-bit picture.
PictureTables WholeTables(const KeptImage& picture, const GammaTableSet& tables,
                          const ChannelParamsSet& channels);

// Each channel's film stage alone, the positive before the curve: every
// level as it is without a film (a 16-bit picture's own samples).
PictureTables PositiveTables(const KeptImage& picture, const ChannelParamsSet& channels);
