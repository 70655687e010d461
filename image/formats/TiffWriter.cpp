// libtiff writes through client procedures over the positioned writer: it
// seeks back to patch the header's directory offset, which the positioned
// writer allows. Uncompressed rows go through libtiff a scanline at a time;
// compressed strips are made on every core and written raw, in order.
#include "image/formats/TiffWriter.h"

#include "image/formats/ParallelStrips.h"
#include "image/formats/TiffClient.h"
#include "image/formats/TiffStripCodec.h"

#include <tiffio.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <string>

namespace {

constexpr std::int64_t kStripBytes = std::int64_t{1} << 20;

// The positioned output for libtiff, which seeks back to patch the header.
struct Sink : TiffStream {
    PositionedWriter* writer = nullptr;
    std::int64_t size = 0;
    bool writeFailed = false;

    std::int64_t ReadAt(std::int64_t, void*, std::int64_t) override { return 0; }
    std::int64_t WriteAt(std::int64_t at, const void* buffer, std::int64_t bytes) override {
        if (!writer->WriteAt(at, {static_cast<const std::uint8_t*>(buffer), std::size_t(bytes)})) {
            writeFailed = true;
            return -1;
        }
        size = std::max(size, at + bytes);
        return bytes;
    }
    std::int64_t Length() const override { return size; }
};

std::int32_t RowsPerStrip(const RowShape& shape) {
    return ParallelStrips::RowsPerStrip(shape.RowBytes(), kStripBytes, shape.Height);
}

std::uint16_t CompressionTag(TiffCompression compression) {
    switch (compression) {
    case TiffCompression::Deflate:
        return COMPRESSION_ADOBE_DEFLATE;
    case TiffCompression::Lzw:
        return COMPRESSION_LZW;
    default:
        return COMPRESSION_NONE;
    }
}

bool SetLayoutTags(TIFF* tif, const RowShape& shape, TiffCompression compression) {
    return TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, std::uint32_t(shape.Width)) &&
           TIFFSetField(tif, TIFFTAG_IMAGELENGTH, std::uint32_t(shape.Height)) &&
           TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, std::uint16_t(shape.Bits)) &&
           TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, std::uint16_t(shape.Channels)) &&
           TIFFSetField(tif, TIFFTAG_PHOTOMETRIC,
                        shape.Grey() ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB) &&
           TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
           TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, std::uint32_t(RowsPerStrip(shape))) &&
           TIFFSetField(tif, TIFFTAG_COMPRESSION, CompressionTag(compression)) &&
           // The predictor tag belongs to the codec, so it follows the compression.
           (compression == TiffCompression::None ||
            TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL));
}

bool SetMetaTags(TIFF* tif, const ImageMeta& meta) {
    const std::string software = SoftwareName();
    const std::string when = TiffDateTime(TimeOfWriting());
    bool ok = TIFFSetField(tif, TIFFTAG_SOFTWARE, software.c_str()) &&
              TIFFSetField(tif, TIFFTAG_DATETIME, when.c_str());
    if (ok && meta.resolution) {
        ok = TIFFSetField(tif, TIFFTAG_XRESOLUTION, meta.resolution->x) &&
             TIFFSetField(tif, TIFFTAG_YRESOLUTION, meta.resolution->y) &&
             TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    }
    if (ok && !meta.profile.empty()) {
        ok = TIFFSetField(tif, TIFFTAG_ICCPROFILE, std::uint32_t(meta.profile.size()),
                          meta.profile.data());
    }
    return ok;
}

// Rows in order through libtiff's scanline writer.
bool WriteScanlines(TIFF* tif, const RowShape& shape, const RowProducer& produce, Reason& failure) {
    bool rowsWritten = true;
    Reason failed = ProduceRowByRow(shape, produce, [&](std::int32_t y, const std::uint8_t* row) {
        auto* bytes = const_cast<std::uint8_t*>(row); // not written to
        return rowsWritten = TIFFWriteScanline(tif, bytes, std::uint32_t(y), 0) >= 0;
    });
    failure = std::move(failed);
    return !failure && rowsWritten;
}

// Strips compressed on every core, written raw in order.
bool WriteCompressedStrips(TIFF* tif, const RowShape& shape, TiffCompression compression,
                           const RowProducer& produce, Reason& failure) {
    const StripCodec codec =
        compression == TiffCompression::Lzw ? StripCodec::Lzw : StripCodec::Deflate;
    const StripShape strip{shape.Width, shape.Channels, shape.Bits};
    ParallelStrips strips(
        {shape.RowBytes(), RowsPerStrip(shape), shape.Height},
        [&](std::int32_t, std::span<const std::uint8_t> rows, const std::uint8_t*,
            EncodedStrip& out) { return EncodeStrip(codec, strip, rows, out.bytes); },
        [&](std::int32_t index, const EncodedStrip& encoded) {
            auto* bytes = const_cast<std::uint8_t*>(encoded.bytes.data()); // not written to
            return TIFFWriteRawStrip(tif, std::uint32_t(index), bytes,
                                     tmsize_t(encoded.bytes.size())) >= 0;
        });
    Reason failed = ProduceRowByRow(
        shape, produce, [&](std::int32_t, const std::uint8_t* row) { return strips.AddRow(row); });
    failure = std::move(failed);
    return !failure && strips.Finish();
}

} // namespace

Reason WriteTiff(const RowShape& shape, const RowProducer& produce, const Replacement& output,
                 const WriteOptions& options) {
    const TiffCompression compression = options.Compression;
    return WriteThrough(output, [&](PositionedWriter& writer) -> Reason {
        Sink sink;
        sink.writer = &writer;
        TiffHandle tif = OpenTiffClient(sink, "w");
        if (!tif || !SetLayoutTags(tif.get(), shape, compression) ||
            !SetMetaTags(tif.get(), options.Meta)) {
            // A failed write of the header is the output's to tell.
            return sink.writeFailed ? Reason(ReasonCode::WriteFailed)
                                    : Reason(ReasonCode::DamagedData, 0, sink.message);
        }
        Reason failure;
        const bool rowsWritten =
            compression == TiffCompression::None
                ? WriteScanlines(tif.get(), shape, produce, failure)
                : WriteCompressedStrips(tif.get(), shape, compression, produce, failure);
        if (!rowsWritten) {
            return failure ? failure : Reason(ReasonCode::WriteFailed);
        }
        const bool flushed = TIFFFlush(tif.get()) == 1;
        tif.reset();
        return flushed && !sink.writeFailed ? Reason() : Reason(ReasonCode::WriteFailed);
    });
}
