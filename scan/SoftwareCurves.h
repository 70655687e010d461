// The tables applied to scanned rows, for devices that take none: each
// sample looked up in its channel's curve at the sample's own depth.
#pragma once

#include "curve/ChannelParams.h"
#include "image/SampleImage.h"

// 8-bit samples go through the window's 256-entry tables, exactly as apply
// maps a BMP; 16-bit samples through the same curves at 65536 entries of
// 0..65535. A grey image takes the green curve, the one nearest brightness.
void ApplyCurves(const ChannelParamsSet& channels, SampleImage& image);
