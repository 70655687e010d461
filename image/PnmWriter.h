// Binary PNM output: P6 with maxval 255 (8-bit samples) or 65535 (16-bit,
// big-endian), rows written at their places, several runs at once.
#pragma once

#include "image/Bmp24Writer.h"
#include "image/RgbOutput.h"

#include <string>

// "P6\n<width> <height>\n<maxval>\n".
std::string FormatPnmHeader(const RgbShape& shape);

// The whole file through `output`: the header, then every row the producer
// makes (16-bit samples already big-endian). The producer's reason, or the
// output's.
Reason WritePnm(const RgbShape& shape, const RgbProducer& produce, const Replacement& output);
