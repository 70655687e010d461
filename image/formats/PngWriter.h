// PNG output: RGB, 8 or 16 bits per sample (16-bit samples handed over
// big-endian, as PNG stores them), every row filtered Up, the image data
// deflated on every core in independent segments of literals joined into
// one zlib stream; pHYs (pixels per metre), iCCP and a Software text written
// before it. The file is written in order through the safe replacement.
#pragma once

#include "image/formats/RowWriter.h"

// The producer's reason, DamagedData when zlib cannot compress the ICC
// profile, Unsupported with kNoPixels for an image without rows or columns (which
// PNG cannot hold), or the output's.
Reason WritePng(const RowShape& shape, const RowProducer& produce, const Replacement& output,
                const WriteOptions& options);
