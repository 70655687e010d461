// What the PNM, PNG and TIFF writers take: an upright RGB image of 8 or 16
// bits per sample, its rows produced a run at a time by the pipeline.
#pragma once

#include "io/Reason.h"

#include <cstdint>
#include <functional>

struct RgbShape {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t Bits = 8; // per sample: 8, or 16 in the byte order the writer asks for

    std::int64_t RowBytes() const { return std::int64_t{Width} * 3 * Bits / 8; }
};

// Takes upright rows first .. first + count - 1, packed RowBytes() apart.
// False fails the output.
using RgbRunSink =
    std::function<bool(std::int32_t first, std::int32_t count, const std::uint8_t* rows)>;

// Produces every row into `sink`, in order on one thread when `inOrder`, or
// in runs on several threads. The reason of a failed read, WriteFailed when
// the sink failed, None when all went through.
using RgbProducer = std::function<Reason(const RgbRunSink& sink, bool inOrder)>;

// Hands every row to `writeRow(y, row)` in order, on the calling thread, for
// encoders that take one row at a time. The rows are made on a second thread
// meanwhile, so that reading and converting overlap with encoding. The
// producer's reason when it failed (a failed read), None when all went
// through or when `writeRow` failed (the encoder knows why).
Reason ProduceRowByRow(const RgbShape& shape, const RgbProducer& produce,
                       const std::function<bool(std::int32_t, const std::uint8_t*)>& writeRow);
