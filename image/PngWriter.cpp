// libpng reports errors by longjmp: each call that may fail runs in a small
// function whose frame holds no object with a destructor. Encoded bytes are
// gathered into large pieces before they reach the output.
#include "image/PngWriter.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace {

constexpr int kFastestLevel = 1;
constexpr std::size_t kPieceBytes = std::size_t{1} << 20;
constexpr std::size_t kMessageBytes = 200;

struct Encoder {
    png_structp png = nullptr;
    png_infop info = nullptr;
    PositionedWriter* writer = nullptr;
    std::int64_t position = 0;
    std::vector<std::uint8_t> pending;
    bool writeFailed = false;
    char message[kMessageBytes] = {};

    ~Encoder() { png_destroy_write_struct(&png, &info); }

    bool Flush() {
        if (!pending.empty() && !writeFailed) {
            writeFailed = !writer->WriteAt(position, pending);
            position += static_cast<std::int64_t>(pending.size());
            pending.clear();
        }
        return !writeFailed;
    }
};

void OnError(png_structp png, png_const_charp message) {
    auto* e = static_cast<Encoder*>(png_get_error_ptr(png));
    std::strncpy(e->message, message, kMessageBytes - 1);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void OnWrite(png_structp png, png_bytep data, png_size_t size) {
    auto* e = static_cast<Encoder*>(png_get_io_ptr(png));
    e->pending.insert(e->pending.end(), data, data + size);
    if (e->pending.size() >= kPieceBytes && !e->Flush()) {
        png_error(png, "write");
    }
}

void OnFlush(png_structp) {}

bool WriteHead(Encoder* e, const RgbShape* shape) {
    if (setjmp(png_jmpbuf(e->png))) {
        return false;
    }
    png_set_write_fn(e->png, e, OnWrite, OnFlush);
    png_set_IHDR(e->png, e->info, static_cast<png_uint_32>(shape->Width),
                 static_cast<png_uint_32>(shape->Height), shape->Bits, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(e->png, kFastestLevel);
    png_set_compression_strategy(e->png, Z_HUFFMAN_ONLY);
    png_set_filter(e->png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_write_info(e->png, e->info);
    return true;
}

bool WriteRow(Encoder* e, const std::uint8_t* row) {
    if (setjmp(png_jmpbuf(e->png))) {
        return false;
    }
    png_write_row(e->png, row);
    return true;
}

bool WriteEnd(Encoder* e) {
    if (setjmp(png_jmpbuf(e->png))) {
        return false;
    }
    png_write_end(e->png, e->info);
    return true;
}

} // namespace

Reason WritePng(const RgbShape& shape, const RgbProducer& produce, const Replacement& output) {
    Reason failure;
    const WriteOutcome written = output([&](PositionedWriter& writer) {
        Encoder e;
        e.writer = &writer;
        e.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &e, OnError, OnWarning);
        e.info = e.png ? png_create_info_struct(e.png) : nullptr;
        if (!e.info) {
            failure = Reason(ReasonCode::NoMemory);
            return false;
        }
        if (!WriteHead(&e, &shape)) {
            failure = e.writeFailed ? Reason() : Reason(ReasonCode::DamagedData, 0, e.message);
            return false;
        }
        bool rowsWritten = true;
        Reason failed = ProduceRowByRow(shape, produce, [&](std::int32_t, const std::uint8_t* row) {
            return rowsWritten = WriteRow(&e, row);
        });
        if (failed) {
            failure = std::move(failed);
            return false;
        }
        if (!rowsWritten) {
            return false;
        }
        return WriteEnd(&e) && e.Flush();
    });
    if (failure) {
        return failure;
    }
    return written.Result == WriteResult::Ok ? Reason() : written.Why;
}
