// libtiff writes through client procedures over the positioned writer: it
// seeks back to patch the header's directory offset, which the positioned
// writer allows. Uncompressed rows go through libtiff a scanline at a time;
// compressed strips are made on every core and written raw, in order.
#include "image/formats/TiffWriter.h"

#include "image/formats/ParallelStrips.h"
#include "image/formats/TiffStripCodec.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

namespace {

constexpr std::int64_t kStripBytes = std::int64_t{1} << 20;
constexpr std::size_t kMessageBytes = 200;

struct Sink {
    PositionedWriter* writer = nullptr;
    std::int64_t position = 0;
    std::int64_t size = 0;
    bool writeFailed = false;
    std::string message;
};

tmsize_t OnRead(thandle_t, void*, tmsize_t) {
    return 0;
}

tmsize_t OnWrite(thandle_t handle, void* buffer, tmsize_t size) {
    auto* s = static_cast<Sink*>(handle);
    if (!s->writer->WriteAt(s->position,
                            {static_cast<const std::uint8_t*>(buffer), std::size_t(size)})) {
        s->writeFailed = true;
        return -1;
    }
    s->position += size;
    s->size = std::max(s->size, s->position);
    return size;
}

toff_t OnSeek(thandle_t handle, toff_t offset, int whence) {
    auto* s = static_cast<Sink*>(handle);
    const auto off = static_cast<std::int64_t>(offset);
    s->position = whence == SEEK_SET ? off : (whence == SEEK_CUR ? s->position : s->size) + off;
    return static_cast<toff_t>(s->position);
}

int OnClose(thandle_t) {
    return 0;
}

toff_t OnSize(thandle_t handle) {
    return static_cast<toff_t>(static_cast<Sink*>(handle)->size);
}

int OnMap(thandle_t, void**, toff_t*) {
    return 0;
}

void OnUnmap(thandle_t, void*, toff_t) {}

int OnError(TIFF*, void* user, const char*, const char* format, va_list args) {
    auto* s = static_cast<Sink*>(user);
    if (s->message.empty()) {
        char text[kMessageBytes];
        std::vsnprintf(text, sizeof text, format, args);
        s->message = text;
    }
    return 1;
}

int OnWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};

std::unique_ptr<TIFF, TiffCloser> OpenForWriting(Sink& sink) {
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (options == nullptr) {
        return nullptr;
    }
    TIFFOpenOptionsSetErrorHandlerExtR(options, OnError, &sink);
    TIFFOpenOptionsSetWarningHandlerExtR(options, OnWarning, &sink);
    std::unique_ptr<TIFF, TiffCloser> tif(TIFFClientOpenExt(
        "tiff", "w", &sink, OnRead, OnWrite, OnSeek, OnClose, OnSize, OnMap, OnUnmap, options));
    TIFFOpenOptionsFree(options);
    return tif;
}

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
    const std::string when = TiffDateTime(std::time(nullptr));
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
        auto tif = OpenForWriting(sink);
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
