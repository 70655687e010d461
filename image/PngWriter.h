// PNG output through libpng: RGB, 8 or 16 bits per sample (16-bit samples
// handed over big-endian, as PNG stores them), zlib at its fastest level and
// no row filter, the file written in order through the safe replacement.
#pragma once

#include "image/Bmp24Writer.h"
#include "image/RgbOutput.h"

// The producer's reason, DamagedData with libpng's words when it refuses the
// image, or the output's.
Reason WritePng(const RgbShape& shape, const RgbProducer& produce, const Replacement& output);
