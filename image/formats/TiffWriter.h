// TIFF output through libtiff: RGB, 8 or 16 bits per sample in the machine's
// byte order, chunky strips of about 1 MiB, uncompressed, or Deflate or LZW
// after the horizontal predictor with the strips compressed on every core;
// resolution (dots per inch), ICC profile, Software and DateTime tagged; the
// file written through the safe replacement. libtiff's messages are never
// printed.
#pragma once

#include "image/ImageMeta.h"
#include "image/formats/Bmp24Writer.h"
#include "image/formats/RgbOutput.h"

enum class TiffCompression { None, Deflate, Lzw };

// The producer's reason, DamagedData with libtiff's words when it refuses the
// image, or the output's.
Reason WriteTiff(const RgbShape& shape, TiffCompression compression, const RgbProducer& produce,
                 const Replacement& output, const ImageMeta& meta = {});
