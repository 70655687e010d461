// TIFF output through libtiff: RGB or grey, 8 or 16 bits per sample in the machine's
// byte order, chunky strips of about 1 MiB, uncompressed, or Deflate or LZW
// after the horizontal predictor with the strips compressed on every core;
// resolution (dots per inch), ICC profile, Software and DateTime tagged; the
// file written through the safe replacement. libtiff's messages are never
// printed.
#pragma once

#include "image/formats/RowWriter.h"

// The producer's reason, DamagedData with libtiff's words when it refuses the
// image, or the output's.
Reason WriteTiff(const RowShape& shape, const RowProducer& produce, const Replacement& output,
                 const WriteOptions& options);
