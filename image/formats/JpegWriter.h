// JPEG output through libjpeg-turbo: grey stays grey and RGB is coded as
// YCbCr, at 8 bits (16-bit rows are rounded: round(v * 255 / 65535)); the
// quality 1..100 (92 when none is asked for), chroma 4:4:4 at 90 and above
// and 4:2:0 below; the resolution as the JFIF density in dots per inch, and
// the ICC profile in APP2 markers where it describes the image's channels.
// Bands of whole MCU rows are encoded on every core and joined with restart
// markers into one baseline JPEG.
#pragma once

#include "image/formats/RowWriter.h"

// About this much of 8-bit rows to a band: a band's restart marker and
// libjpeg-turbo's set-up cost little beside it.
inline constexpr std::int64_t kJpegBandBytes = std::int64_t{1} << 20;

// The JPEG of the rows (grey or R, G, B; 8 bits, or 16 in the shape's byte
// order) handed to `sink` in order, in bands of about `bandBytes`.
// Unsupported for an image JPEG cannot hold (no pixels, a side above 65535)
// before anything is handed on; the producer's reason; DamagedData when
// libjpeg-turbo fails; WriteFailed when the sink stopped.
Reason EncodeJpeg(const RowShape& shape, const RowProducer& produce, const WriteOptions& options,
                  const ByteSink& sink, std::int64_t bandBytes = kJpegBandBytes);

// The same written through the safe replacement.
Reason WriteJpeg(const RowShape& shape, const RowProducer& produce, const Replacement& output,
                 const WriteOptions& options);
