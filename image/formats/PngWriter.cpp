// The image data is one zlib stream made of independent pieces: each strip
// of rows is filtered Up (against the row above it, the first row against
// zeros) and deflated on its own, Huffman-only at level 1, ending with a
// sync flush (an empty stored block that leaves it byte-aligned and not
// final), the last one with the final block. Pieces so made concatenate into
// one valid deflate stream; the zlib header goes in front, and the Adler-32
// of the whole filtered data, combined from each piece's own, after it. Each
// piece is one IDAT chunk.
#include "image/formats/PngWriter.h"

#include "image/formats/ParallelStrips.h"
#include "image/formats/PngChunks.h"

#include <zlib.h>

#include <atomic>

namespace {

constexpr int kFastestLevel = 1;
constexpr int kRawDeflateBits = -15; // a 32 KiB window, no zlib header or trailer
constexpr int kMemoryLevel = 8;
constexpr std::int64_t kSegmentBytes = std::int64_t{1} << 20;
constexpr std::uint8_t kFilterUp = 2;
// CMF 0x78: deflate with a 32 KiB window; FLG 0x01: fastest, no dictionary,
// and 0x7801 a multiple of 31 as the check asks.
constexpr std::uint8_t kZlibHeader[] = {0x78, 0x01};
constexpr std::size_t kAdlerBytes = 4;

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

bool Deflate(std::span<const std::uint8_t> data, bool last, std::vector<std::uint8_t>& out) {
    z_stream stream{};
    if (deflateInit2(&stream, kFastestLevel, Z_DEFLATED, kRawDeflateBits, kMemoryLevel,
                     Z_HUFFMAN_ONLY) != Z_OK) {
        return false;
    }
    // The bound of a whole stream, and room for the sync flush's empty block.
    out.resize(deflateBound(&stream, static_cast<uLong>(data.size())) + 16);
    stream.next_in = const_cast<Bytef*>(data.data()); // zlib does not write to it
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
    const bool done = last ? status == Z_STREAM_END : status == Z_OK && stream.avail_in == 0;
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return done;
}

void PutU32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
    }
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
        std::atomic<bool> deflated{true};
        ParallelStrips strips(
            plan,
            [&](std::int32_t index, std::span<const std::uint8_t> rows, const std::uint8_t* above,
                EncodedStrip& out) {
                const std::vector<std::uint8_t> filtered = FilterUp(rows, above, rowBytes);
                out.check = static_cast<std::uint32_t>(
                    adler32(1, filtered.data(), static_cast<uInt>(filtered.size())));
                out.checkedBytes = filtered.size();
                if (!Deflate(filtered, index == segments - 1, out.bytes)) {
                    deflated = false;
                    return false;
                }
                return true;
            },
            [&](std::int32_t index, const EncodedStrip& piece) {
                stream.adler = static_cast<std::uint32_t>(adler32_combine(
                    stream.adler, piece.check, static_cast<z_off_t>(piece.checkedBytes)));
                std::vector<std::uint8_t> data;
                if (index == 0) {
                    data.assign(std::begin(kZlibHeader), std::end(kZlibHeader));
                }
                data.insert(data.end(), piece.bytes.begin(), piece.bytes.end());
                if (index == segments - 1) {
                    data.resize(data.size() + kAdlerBytes);
                    PutU32(data.data() + data.size() - kAdlerBytes, stream.adler);
                }
                std::vector<std::uint8_t> chunk;
                AppendChunk(chunk, "IDAT", data);
                return stream.Write(chunk);
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
            return deflated ? Reason(ReasonCode::WriteFailed)
                            : Reason(ReasonCode::DamagedData, 0, "deflate failed");
        }
        std::vector<std::uint8_t> end;
        AppendChunk(end, "IEND", {});
        return stream.Write(end) ? Reason() : Reason(ReasonCode::WriteFailed);
    });
}
