// Binary PNM output: P6 for RGB, P5 for grey; maxval 255 (8-bit samples) or
// 65535 (16-bit, big-endian). Rows are written at their places, so runs may
// come in any order and from several threads at once.
#pragma once

#include "image/formats/Bmp24Writer.h"
#include "image/formats/RgbOutput.h"
#include "io/AtomicWrite.h"

#include <cstdint>
#include <string>

// RGB images are P6; a grey image (one sample per pixel, so rows of
// RowBytes() / 3 bytes) is P5.
enum class PnmSamples { Rgb, Grey };

// "P6\n<width> <height>\n<maxval>\n", P5 for grey.
std::string FormatPnmHeader(const RgbShape& shape, PnmSamples samples = PnmSamples::Rgb);

// The whole file through `output`: the header, then every row the producer
// makes (16-bit samples already big-endian). The producer's reason, or the
// output's.
Reason WritePnm(const RgbShape& shape, const RgbProducer& produce, const Replacement& output,
                PnmSamples samples = PnmSamples::Rgb);
