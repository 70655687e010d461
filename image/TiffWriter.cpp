// libtiff writes through client procedures over the positioned writer: it
// seeks back to patch the header's directory offset, which the positioned
// writer allows.
#include "image/TiffWriter.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr std::int64_t kStripBytes = std::int64_t{1} << 20;
constexpr std::size_t kMessageBytes = 200;
constexpr std::uint16_t kRgbSamples = 3;

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

bool SetTags(TIFF* tif, const RgbShape& shape, TiffCompression compression) {
    const std::int64_t rowsPerStrip = std::clamp<std::int64_t>(
        kStripBytes / std::max<std::int64_t>(shape.RowBytes(), 1), 1, std::max(shape.Height, 1));
    return TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, std::uint32_t(shape.Width)) &&
           TIFFSetField(tif, TIFFTAG_IMAGELENGTH, std::uint32_t(shape.Height)) &&
           TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, std::uint16_t(shape.Bits)) &&
           TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, kRgbSamples) &&
           TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB) &&
           TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
           TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, std::uint32_t(rowsPerStrip)) &&
           TIFFSetField(tif, TIFFTAG_COMPRESSION,
                        compression == TiffCompression::Deflate ? COMPRESSION_ADOBE_DEFLATE
                                                                : COMPRESSION_NONE);
}

} // namespace

Reason WriteTiff(const RgbShape& shape, TiffCompression compression, const RgbProducer& produce,
                 const Replacement& output) {
    Reason failure;
    const WriteOutcome written = output([&](PositionedWriter& writer) {
        Sink sink;
        sink.writer = &writer;
        auto tif = OpenForWriting(sink);
        if (!tif || !SetTags(tif.get(), shape, compression)) {
            if (!sink.writeFailed) { // a failed write of the header is the output's to tell
                failure = Reason(ReasonCode::DamagedData, 0, sink.message);
            }
            return false;
        }
        bool rowsWritten = true;
        Reason failed =
            ProduceRowByRow(shape, produce, [&](std::int32_t y, const std::uint8_t* row) {
                auto* bytes = const_cast<std::uint8_t*>(row); // not written to
                return rowsWritten = TIFFWriteScanline(tif.get(), bytes, std::uint32_t(y), 0) >= 0;
            });
        if (failed) {
            failure = std::move(failed);
            return false;
        }
        if (!rowsWritten) {
            return false;
        }
        const bool flushed = TIFFFlush(tif.get()) == 1;
        tif.reset();
        return flushed && !sink.writeFailed;
    });
    if (failure) {
        return failure;
    }
    return written.Result == WriteResult::Ok ? Reason() : written.Why;
}
