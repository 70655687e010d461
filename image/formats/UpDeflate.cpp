// Pieces made on their own join because each ends byte-aligned with an
// empty stored block that is not final; only the last piece's final block
// ends the stream. Adler-32 over the whole filtered data is combined from
// each piece's own and its length (zlib's adler32_combine).
#include "image/formats/UpDeflate.h"

#include "image/formats/LiteralDeflate.h"

#include <libdeflate.h>
#include <zlib.h>

namespace {

constexpr std::uint8_t kFilterUp = 2;
// CMF 0x78: deflate with a 32 KiB window; FLG 0x01: fastest, no dictionary,
// and 0x7801 a multiple of 31 as the check asks.
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

} // namespace

void AppendUpDeflatePiece(std::int32_t index, std::int32_t pieces,
                          std::span<const std::uint8_t> rows, const std::uint8_t* above,
                          std::size_t rowBytes, EncodedStrip& out) {
    const std::vector<std::uint8_t> filtered = FilterUp(rows, above, rowBytes);
    out.check = libdeflate_adler32(1, filtered.data(), filtered.size());
    out.checkedBytes = filtered.size();
    if (index == 0) {
        out.bytes.insert(out.bytes.end(), std::begin(kZlibHeader), std::end(kZlibHeader));
    }
    DeflateLiterals(filtered, index == pieces - 1, out.bytes);
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

Reason EncodeUpDeflate(const RowShape& shape, const RowProducer& produce, const ByteSink& sink) {
    const auto rowBytes = static_cast<std::size_t>(shape.RowBytes());
    const StripPlan plan{
        shape.RowBytes(),
        ParallelStrips::RowsPerStrip(shape.RowBytes(), kUpDeflatePieceBytes, shape.Height),
        shape.Height};
    const std::int32_t pieces = plan.Strips();
    std::uint32_t adler = 1;
    ParallelStrips strips(
        plan,
        [&](std::int32_t index, std::span<const std::uint8_t> rows, const std::uint8_t* above,
            EncodedStrip& out) {
            out.bytes.clear();
            AppendUpDeflatePiece(index, pieces, rows, above, rowBytes, out);
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
    if (!strips.Finish() || !sink(StreamCheck(adler))) {
        return {ReasonCode::WriteFailed};
    }
    return {};
}
