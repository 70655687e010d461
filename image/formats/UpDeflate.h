// Rows filtered Up and deflated in independent pieces that join into one
// zlib stream: PNG's image data, and a PDF image's Flate stream under the
// PNG predictor. Each row becomes its filter byte (2, Up) and its bytes'
// differences from the row above (the first row's from zeros); each piece
// is coded as literals only and ends on a byte boundary, the first
// starting with the zlib header and the last closing the stream, whose
// Adler-32 is combined from the pieces' own.
#pragma once

#include "image/formats/ParallelStrips.h"
#include "image/formats/RowWriter.h"

#include <cstdint>
#include <span>
#include <vector>

// About this much of rows per piece.
inline constexpr std::int64_t kUpDeflatePieceBytes = std::int64_t{1} << 20;

// Appends piece `index` of `pieces` to out.bytes and keeps the Adler-32 of
// its filtered bytes in out.check and their count in out.checkedBytes.
// `above` is the row just above the piece's first (zeros for the image's
// first row).
void AppendUpDeflatePiece(std::int32_t index, std::int32_t pieces,
                          std::span<const std::uint8_t> rows, const std::uint8_t* above,
                          std::size_t rowBytes, EncodedStrip& out);

// The running Adler-32 of the stream (1 before any piece) after `piece`.
std::uint32_t AdlerAfter(std::uint32_t adler, const EncodedStrip& piece);

// The four bytes that end the stream: its Adler-32, most significant first.
std::vector<std::uint8_t> StreamCheck(std::uint32_t adler);

// The whole stream of the shape's rows (packed, RowAlign 1) into `sink`,
// the pieces made on every core: the producer's reason, or WriteFailed when
// the sink stopped.
Reason EncodeUpDeflate(const RowShape& shape, const RowProducer& produce, const ByteSink& sink);
