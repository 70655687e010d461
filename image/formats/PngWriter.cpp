// The image data is one zlib stream of rows filtered Up and deflated in
// independent pieces (UpDeflate); each piece is framed as an IDAT chunk on
// the core that made it, and the Adler-32 of the whole filtered data,
// combined from the pieces' own, stands in a 4-byte IDAT chunk after the
// last.
#include "image/formats/PngWriter.h"

#include "image/formats/ParallelStrips.h"
#include "image/formats/PngChunks.h"
#include "image/formats/UpDeflate.h"

namespace {

// Strip `index` of `strips` as one IDAT chunk, and the Adler-32 of its
// filtered bytes.
void EncodeStrip(std::int32_t index, std::int32_t strips, std::span<const std::uint8_t> rows,
                 const std::uint8_t* above, std::size_t rowBytes, EncodedStrip& out) {
    out.bytes.clear();
    const std::size_t start = BeginChunk(out.bytes, "IDAT");
    AppendUpDeflatePiece(index, strips, rows, above, rowBytes, out);
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
        ParallelStrips::RowsPerStrip(shape.RowBytes(), kUpDeflatePieceBytes, shape.Height),
        shape.Height};
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
                stream.adler = AdlerAfter(stream.adler, piece);
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
        AppendChunk(end, "IDAT", StreamCheck(stream.adler));
        AppendChunk(end, "IEND", {});
        return stream.Write(end) ? Reason() : Reason(ReasonCode::WriteFailed);
    });
}
