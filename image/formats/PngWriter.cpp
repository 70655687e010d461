// The image data is one zlib stream of rows filtered and deflated in
// independent pieces (RowDeflate); each piece is framed as an IDAT chunk on
// the core that made it, and the Adler-32 of the whole filtered data,
// combined from the pieces' own, stands in a 4-byte IDAT chunk after the
// last.
#include "image/formats/PngWriter.h"

#include "image/formats/PngChunks.h"
#include "image/formats/RowDeflate.h"

Reason WritePng(const RowShape& shape, const RowProducer& produce, const Replacement& output,
                const WriteOptions& options) {
    if (shape.Width <= 0 || shape.Height <= 0) {
        return {ReasonCode::Unsupported, 0, std::string(kNoPixels)}; // PNG has no empty image
    }
    std::vector<std::uint8_t> head;
    if (!PngHead(shape, options.Meta, head)) {
        return {ReasonCode::DamagedData, 0, "the ICC profile does not compress"};
    }
    return WriteInOrder(output, [&](const ByteSink& sink) -> Reason {
        if (!sink(head)) {
            return {ReasonCode::WriteFailed};
        }
        if (Reason failed = EncodeRowDeflate(shape, produce, sink, PieceFraming::PngChunks)) {
            return failed;
        }
        std::vector<std::uint8_t> end;
        AppendChunk(end, "IEND", {});
        return sink(end) ? Reason() : Reason(ReasonCode::WriteFailed);
    });
}
