// The image data is one zlib stream made of independent pieces: each strip
// of rows is filtered Up (against the row above it, the first row against
// zeros) and deflated on its own with literals only, ending byte-aligned
// with an empty stored block that is not final, the last one with the final
// block. Pieces so made concatenate into one valid deflate stream; the zlib
// header goes in front of the first, and the Adler-32 of the whole filtered
// data, combined from each piece's own, in a 4-byte IDAT chunk after the
// last. Each piece is framed as an IDAT chunk on the core that made it.
#include "image/formats/PngWriter.h"

#include "image/formats/LiteralDeflate.h"
#include "image/formats/ParallelStrips.h"
#include "image/formats/PngChunks.h"

#include <libdeflate.h>
#include <zlib.h>

namespace {

constexpr std::int64_t kSegmentBytes = std::int64_t{1} << 20;
constexpr std::uint8_t kFilterUp = 2;
// CMF 0x78: deflate with a 32 KiB window; FLG 0x01: fastest, no dictionary,
// and 0x7801 a multiple of 31 as the check asks.
constexpr std::uint8_t kZlibHeader[] = {0x78, 0x01};

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

// Strip `index` of `strips` as one IDAT chunk, and the Adler-32 of its
// filtered bytes.
void EncodeStrip(std::int32_t index, std::int32_t strips, std::span<const std::uint8_t> rows,
                 const std::uint8_t* above, std::size_t rowBytes, EncodedStrip& out) {
    const std::vector<std::uint8_t> filtered = FilterUp(rows, above, rowBytes);
    out.check = libdeflate_adler32(1, filtered.data(), filtered.size());
    out.checkedBytes = filtered.size();
    out.bytes.clear();
    const std::size_t start = BeginChunk(out.bytes, "IDAT");
    if (index == 0) {
        out.bytes.insert(out.bytes.end(), std::begin(kZlibHeader), std::end(kZlibHeader));
    }
    DeflateLiterals(filtered, index == strips - 1, out.bytes);
    EndChunk(out.bytes, start);
}

struct Stream {
    PositionedWriter* writer = nullptr;
    std::int64_t position = 0;
    std::uint32_t adler = 1; // of no data yet
    bool failed = false;

    bool Write(std::span<const std::uint8_t> bytes) {
        failed = failed || !writer->WriteAt(position, bytes);
        position += static_cast<std::int64_t>(bytes.size());
        return !failed;
    }
};

} // namespace

Reason WritePng(const RowShape& shape, const RowProducer& produce, const Replacement& output,
                const WriteOptions& options) {
    if (shape.Width <= 0 || shape.Height <= 0) {
        return {ReasonCode::Unsupported, 0, std::string(kNoPixels)}; // PNG has no empty image
    }
    std::vector<std::uint8_t> head;
    if (!PngHead(shape, options.Meta, head)) {
        return {ReasonCode::DamagedData, 0, "the ICC profile does not compress"};
    }
    const auto rowBytes = static_cast<std::size_t>(shape.RowBytes());
    const StripPlan plan{
        shape.RowBytes(),
        ParallelStrips::RowsPerStrip(shape.RowBytes(), kSegmentBytes, shape.Height), shape.Height};
    const std::int32_t segments = plan.Strips();
    return WriteThrough(output, [&](PositionedWriter& writer) -> Reason {
        Stream stream{&writer};
        ParallelStrips strips(
            plan,
            [&](std::int32_t index, std::span<const std::uint8_t> rows, const std::uint8_t* above,
                EncodedStrip& out) {
                EncodeStrip(index, segments, rows, above, rowBytes, out);
                return true;
            },
            [&](std::int32_t, const EncodedStrip& piece) {
                stream.adler = static_cast<std::uint32_t>(adler32_combine(
                    stream.adler, piece.check, static_cast<z_off_t>(piece.checkedBytes)));
                return stream.Write(piece.bytes);
            });
        if (!stream.Write(head)) {
            return {ReasonCode::WriteFailed};
        }
        if (Reason failed =
                ProduceRowByRow(shape, produce, [&](std::int32_t, const std::uint8_t* row) {
                    return strips.AddRow(row);
                })) {
            return failed;
        }
        if (!strips.Finish()) {
            return {ReasonCode::WriteFailed};
        }
        std::vector<std::uint8_t> end;
        std::vector<std::uint8_t> check;
        AppendBigEndian32(check, stream.adler);
        AppendChunk(end, "IDAT", check);
        AppendChunk(end, "IEND", {});
        return stream.Write(end) ? Reason() : Reason(ReasonCode::WriteFailed);
    });
}
