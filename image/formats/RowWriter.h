// The one interface of every image writer (BMP, PNM, PNG, TIFF): the shape
// of the rows the writer takes, the producer that makes them a run at a time,
// what the file is to say beside its pixels, and the safe replacement the
// file is written through.
#pragma once

#include "image/ImageMeta.h"
#include "image/rows/StoredRows.h"
#include "io/AtomicWrite.h"

#include <bit>
#include <cstdint>
#include <functional>
#include <string_view>

// The rows a writer takes: grey (1 channel) or colour (3), 8 or 16 bits per
// sample, the colour channels in the given order, a 16-bit sample's two bytes
// in the given order, rows numbered from the top or (as a BMP stores them)
// from the bottom, each row padded with zeros to a multiple of RowAlign bytes.
struct RowShape {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t Channels = 3;
    std::int32_t Bits = 8;
    SampleOrder Order = SampleOrder::Rgb;
    std::endian Words = std::endian::big;
    bool BottomUp = false;
    std::int32_t RowAlign = 1;

    std::int64_t PixelBytes() const { return std::int64_t{Channels} * Bits / 8; }
    std::int64_t UsedBytes() const { return Width * PixelBytes(); }
    std::int64_t RowBytes() const { return (UsedBytes() + RowAlign - 1) / RowAlign * RowAlign; }
    bool Grey() const { return Channels == 1; }
};

// Takes rows first .. first + count - 1 (numbered as the shape numbers
// them), RowBytes() apart; the writer may change them (its padding). False
// fails the output.
using RowRunSink = std::function<bool(std::int32_t first, std::int32_t count, std::uint8_t* rows)>;

// Produces every row into `sink`, in order on one thread when `inOrder`, or
// in runs in any order on several threads. The reason of a failed read,
// WriteFailed when the sink failed, None when all went through.
using RowProducer = std::function<Reason(const RowRunSink& sink, bool inOrder)>;

enum class TiffCompression { None, Deflate, Lzw };

// What the file says beside its pixels, where its format has a place for it.
struct WriteOptions {
    TiffCompression Compression = TiffCompression::None;
    ImageMeta Meta;
};

// An output replaced as a whole: the file's safe replacement, or its
// in-memory twin.
using Replacement = std::function<WriteOutcome(const PositionedContents&)>;

// Every writer has this form. The producer's reason, the writer's own
// (an image its format cannot hold, an encoder that refused), or the
// output's. A refused image never touches the output.
using RowWriter = Reason (*)(const RowShape& shape, const RowProducer& produce,
                             const Replacement& output, const WriteOptions& options);

inline constexpr std::string_view kNoPixels = "the image has no pixels";

// Ends every writer: runs `contents` through the output and gives the
// contents' own reason (a failed read, an encoder's refusal), else the
// output's (WriteFailed from the contents defers to it), else none.
using WriterContents = std::function<Reason(PositionedWriter& writer)>;
Reason WriteThrough(const Replacement& output, const WriterContents& contents);

// Hands every row to `writeRow(y, row)` in order, on the calling thread, for
// encoders that take one row at a time. The rows are made on a second thread
// meanwhile, so that reading and converting overlap with encoding. The
// producer's reason when it failed (a failed read), None when all went
// through or when `writeRow` failed (the encoder knows why).
Reason ProduceRowByRow(const RowShape& shape, const RowProducer& produce,
                       const std::function<bool(std::int32_t, const std::uint8_t*)>& writeRow);
