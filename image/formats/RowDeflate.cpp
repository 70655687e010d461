// Pieces made on their own join because each ends byte-aligned with an
// empty stored block that is not final; only the last piece's final block
// ends the stream. Adler-32 over the whole filtered data is combined from
// each piece's own and its length (zlib's adler32_combine). Every piece is
// first filtered Up, which the sample is taken from; a piece coded with
// matches then has each row whose bytes as they are lie nearer zero (by
// the sum of their distances from 0 modulo 256) put back as it was, under
// filter None: clean text repeats along a row, which Up hides.
#include "image/formats/RowDeflate.h"

#include "image/formats/LiteralDeflate.h"
#include "image/formats/PieceDeflate.h"
#include "image/formats/PngChunks.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint8_t kFilterNone = 0;
constexpr std::uint8_t kFilterUp = 2;
// CMF 0x78: deflate with a 32 KiB window; FLG 0x01: no dictionary, and
// 0x7801 a multiple of 31 as the check asks.
constexpr std::uint8_t kZlibHeader[] = {0x78, 0x01};
constexpr int kCheckByteBits = 8;
constexpr std::size_t kCheckBytes = 4;

// Each row as its filter byte and the differences from the row above.
std::vector<std::uint8_t> FilterUp(std::span<const std::uint8_t> rows, const std::uint8_t* above,
                                   std::size_t rowBytes) {
    const std::size_t count = rows.size() / rowBytes;
    std::vector<std::uint8_t> filtered(count * (rowBytes + 1));
    std::uint8_t* out = filtered.data();
    for (std::size_t r = 0; r < count; ++r) {
        const std::uint8_t* row = rows.data() + r * rowBytes;
        *out++ = kFilterUp;
        for (std::size_t i = 0; i < rowBytes; ++i) {
            out[i] = static_cast<std::uint8_t>(row[i] - above[i]);
        }
        out += rowBytes;
        above = row;
    }
    return filtered;
}

// The sum of the bytes' distances from zero, modulo 256.
std::uint64_t Magnitude(const std::uint8_t* bytes, std::size_t count) {
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum += std::min(bytes[i], static_cast<std::uint8_t>(-bytes[i]));
    }
    return sum;
}

// Rows of `filtered` (all Up) whose bytes as they are lie nearer zero are
// put back under filter None.
void PreferNone(std::span<std::uint8_t> filtered, std::span<const std::uint8_t> rows,
                std::size_t rowBytes) {
    const std::size_t count = rows.size() / rowBytes;
    for (std::size_t r = 0; r < count; ++r) {
        std::uint8_t* out = filtered.data() + r * (rowBytes + 1);
        const std::uint8_t* row = rows.data() + r * rowBytes;
        if (Magnitude(row, rowBytes) < Magnitude(out + 1, rowBytes)) {
            out[0] = kFilterNone;
            std::memcpy(out + 1, row, rowBytes);
        }
    }
}

// The stream's Adler-32, bare or in an IDAT chunk of its own.
std::vector<std::uint8_t> StreamEnd(std::uint32_t adler, PieceFraming framing) {
    if (framing == PieceFraming::Bare) {
        return StreamCheck(adler);
    }
    std::vector<std::uint8_t> chunk;
    AppendChunk(chunk, "IDAT", StreamCheck(adler));
    return chunk;
}

} // namespace

void AppendRowDeflatePiece(std::int32_t index, std::int32_t pieces,
                           std::span<const std::uint8_t> rows, const std::uint8_t* above,
                           std::size_t rowBytes, EncodedStrip& out) {
    std::vector<std::uint8_t> filtered = FilterUp(rows, above, rowBytes);
    if (index == 0) {
        out.bytes.insert(out.bytes.end(), std::begin(kZlibHeader), std::end(kZlibHeader));
    }
    const bool last = index == pieces - 1;
    const bool matches = MatchesPay(filtered);
    if (matches) {
        PreferNone(filtered, rows, rowBytes);
    }
    if (!matches || !DeflateMatches(filtered, last, out.bytes)) {
        DeflateLiterals(filtered, last, out.bytes);
    }
    out.check = libdeflate_adler32(1, filtered.data(), filtered.size());
    out.checkedBytes = filtered.size();
}

std::uint32_t AdlerAfter(std::uint32_t adler, const EncodedStrip& piece) {
    return static_cast<std::uint32_t>(
        adler32_combine(adler, piece.check, static_cast<z_off_t>(piece.checkedBytes)));
}

std::vector<std::uint8_t> StreamCheck(std::uint32_t adler) {
    std::vector<std::uint8_t> bytes(kCheckBytes);
    for (std::size_t i = 0; i < kCheckBytes; ++i) {
        bytes[i] = static_cast<std::uint8_t>(adler >> (kCheckByteBits * (kCheckBytes - 1 - i)));
    }
    return bytes;
}

Reason EncodeRowDeflate(const RowShape& shape, const RowProducer& produce, const ByteSink& sink,
                        PieceFraming framing) {
    const auto rowBytes = static_cast<std::size_t>(shape.RowBytes());
    const StripPlan plan{
        shape.RowBytes(),
        ParallelStrips::RowsPerStrip(shape.RowBytes(), kRowDeflatePieceBytes, shape.Height),
        shape.Height};
    const std::int32_t pieces = plan.Strips();
    const bool chunks = framing == PieceFraming::PngChunks;
    std::uint32_t adler = 1;
    ParallelStrips strips(
        plan,
        [&](std::int32_t index, std::span<const std::uint8_t> rows, const std::uint8_t* above,
            EncodedStrip& out) {
            out.bytes.clear();
            const std::size_t start = chunks ? BeginChunk(out.bytes, "IDAT") : 0;
            AppendRowDeflatePiece(index, pieces, rows, above, rowBytes, out);
            if (chunks) {
                EndChunk(out.bytes, start);
            }
            return true;
        },
        [&](std::int32_t, const EncodedStrip& piece) {
            adler = AdlerAfter(adler, piece);
            return sink(piece.bytes);
        });
    if (Reason failed = ProduceRowByRow(shape, produce, [&](std::int32_t, const std::uint8_t* row) {
            return strips.AddRow(row);
        })) {
        return failed;
    }
    return strips.Finish() && sink(StreamEnd(adler, framing)) ? Reason()
                                                              : Reason(ReasonCode::WriteFailed);
}
