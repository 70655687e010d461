// Rows filtered and deflated in independent pieces that join into one zlib
// stream: PNG's image data, and a PDF image's Flate stream under the PNG
// predictor. Each row becomes its filter byte and its bytes: None (the
// bytes as they are) or Up (their differences from the row above, the
// first row's from zeros). A piece of about 1 MiB of rows is coded with
// matches where a sample of it shows they pay (clean pages), each row then
// filtered the way whose bytes lie nearer zero, and as literals only, every
// row Up, where they do not (grain). Each piece ends on a byte boundary,
// the first starting with the zlib header and the last closing the stream,
// whose Adler-32 is combined from the pieces' own.
#pragma once

#include "image/formats/ParallelStrips.h"
#include "image/formats/RowWriter.h"

#include <cstdint>
#include <span>
#include <vector>

// About this much of rows per piece.
inline constexpr std::int64_t kRowDeflatePieceBytes = std::int64_t{1} << 20;

// Appends piece `index` of `pieces` to out.bytes and keeps the Adler-32 of
// its filtered bytes in out.check and their count in out.checkedBytes.
// `above` is the row just above the piece's first (zeros for the image's
// first row).
void AppendRowDeflatePiece(std::int32_t index, std::int32_t pieces,
                           std::span<const std::uint8_t> rows, const std::uint8_t* above,
                           std::size_t rowBytes, EncodedStrip& out);

// The running Adler-32 of the stream (1 before any piece) after `piece`.
std::uint32_t AdlerAfter(std::uint32_t adler, const EncodedStrip& piece);

// The four bytes that end the stream: its Adler-32, most significant first.
std::vector<std::uint8_t> StreamCheck(std::uint32_t adler);

// How the stream reaches the sink: bare (a PDF's stream), or each piece,
// and then the Adler-32, as an IDAT chunk of its own (a PNG's image data).
enum class PieceFraming { Bare, PngChunks };

// The whole stream of the shape's rows (packed, RowAlign 1) into `sink`,
// the pieces made on every core: the producer's reason, or WriteFailed when
// the sink stopped.
Reason EncodeRowDeflate(const RowShape& shape, const RowProducer& produce, const ByteSink& sink,
                        PieceFraming framing);
