// Binary PNM output: P6 for colour, P5 for grey; maxval 255 (8-bit samples)
// or 65535 (16-bit, big-endian). Rows are written at their places, so runs
// may come in any order and from several threads at once.
#pragma once

#include "image/formats/RowWriter.h"

#include <string>

// "P6\n<width> <height>\n<maxval>\n", P5 for grey.
std::string FormatPnmHeader(const RowShape& shape);

// The whole file through `output`: the header, then every row the producer
// makes. The producer's reason, or the output's. PNM keeps nothing of the
// options.
Reason WritePnm(const RowShape& shape, const RowProducer& produce, const Replacement& output,
                const WriteOptions& options);
