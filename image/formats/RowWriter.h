// The one interface of every image writer (BMP, PNM, PNG, TIFF, JPEG, PDF): the shape
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
#include <optional>
#include <span>
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

// How a writer takes its rows: every row in order on one thread, or runs in
// any order on several threads at once. A writer whose work on a run is
// heavy (an encoder's) names the rows of a run it would best take: runs of
// RowsPerRun rows, the k-th from row k * RowsPerRun (the last one what is
// left), each handed to the sink on whichever core is free, so that the
// work runs on every core beside the reading. A producer that makes its
// rows on one thread relays them (RunRelay.h); one that cannot meet the size
// hands runs of its own, and the writer takes those too.
struct RunRequest {
    bool InOrder = true;
    std::int32_t RowsPerRun = 0; // 0: the producer's own size; only without InOrder
};

// Produces every row into `sink` as `request` asks. The reason of a failed
// read, WriteFailed when the sink failed, None when all went through.
using RowProducer = std::function<Reason(const RowRunSink& sink, const RunRequest& request)>;

enum class TiffCompression { None, Deflate, Lzw };

// A JPEG's quality: 1..100, 92 when none is asked for.
inline constexpr std::int32_t kLeastQuality = 1;
inline constexpr std::int32_t kMostQuality = 100;
inline constexpr std::int32_t kDefaultQuality = 92;

// What the file says beside its pixels, where its format has a place for it,
// and how it is compressed: TIFF's compression, and the quality 1..100 of a
// JPEG (kDefaultQuality when none) or of a PDF's pages (lossless when none).
struct WriteOptions {
    TiffCompression Compression = TiffCompression::None;
    ImageMeta Meta;
    std::optional<std::int32_t> Quality = std::nullopt;
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

// A file of several images, one a page (a PDF), made through the same rows
// and options as a writer's: each page is added as it comes and kept aside,
// and the file is written whole, through the safe replacement, at the end.
class PageWriter {
public:
    virtual ~PageWriter() = default;
    // A page of the rows. A page that fails leaves nothing of itself; the
    // pages added before it stay.
    virtual Reason AddPage(const RowShape& shape, const RowProducer& produce,
                           const WriteOptions& options) = 0;
    virtual std::size_t Pages() const = 0;
    // The dots per inch the last page added was given for want of a
    // resolution of its own; nullopt when it had one.
    virtual std::optional<double> LastPageAssumedDpi() const = 0;
    // Writes every page added; Unsupported with kNoPixels when there is none.
    virtual Reason Finish(const Replacement& output) = 0;
};

// Ends every writer: runs `contents` through the output and gives the
// contents' own reason (a failed read, an encoder's refusal), else the
// output's (WriteFailed from the contents defers to it), else none.
using WriterContents = std::function<Reason(PositionedWriter& writer)>;
Reason WriteThrough(const Replacement& output, const WriterContents& contents);

// Bytes handed on one piece after another; false stops the writer.
using ByteSink = std::function<bool(std::span<const std::uint8_t> bytes)>;

// WriteThrough for contents made in order: each piece goes where the last
// one ended.
using SequentialContents = std::function<Reason(const ByteSink& sink)>;
Reason WriteInOrder(const Replacement& output, const SequentialContents& contents);

// Hands every row to `writeRow(y, row)` in order, on the calling thread, for
// encoders that take one row at a time. The rows are made on a second thread
// meanwhile, so that reading and converting overlap with encoding. The
// producer's reason when it failed (a failed read), None when all went
// through or when `writeRow` failed (the encoder knows why).
Reason ProduceRowByRow(const RowShape& shape, const RowProducer& produce,
                       const std::function<bool(std::int32_t, const std::uint8_t*)>& writeRow);
