// A strip's map as a picture: one pixel per cell, its mean transmission
// through the start-up curve, 8-bit RGB, so that a strip of a gigabyte is
// shown from the few megabytes of its map.
#pragma once

#include "image/rows/SampleImage.h"
#include "measure/StripMap.h"

// map.columns x map.rows pixels; empty for an empty map.
SampleImage StripPicture(const StripMap& map);
