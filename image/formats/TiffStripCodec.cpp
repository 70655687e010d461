// libdeflate keeps no state between calls but its compressor, made once per
// thread. LZW runs libtiff's own encoder on a one-strip TIFF in memory and
// takes the strip's bytes out of it: libtiff's LZW (with its early code-width
// change) is then exactly what every TIFF reader expects.
#include "image/formats/TiffStripCodec.h"

#include "image/formats/PieceDeflate.h"

#include <libdeflate.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <memory>

namespace {

// Measured on a predicted 16-bit scan with noise in its low byte:
// libdeflate's level 1 makes files 3 % smaller than zlib's level 6 (and
// than its own levels 2 to 9, whose matches cost more than they save on
// noise), at a fraction of the time. Strips of a clean page take the
// matching level (MatchesPay).
constexpr int kDeflateLevel = 1;
constexpr std::size_t kWideBytes = 2;

template <typename Sample> void PredictRow(Sample* row, std::size_t samples, std::size_t step) {
    for (std::size_t i = samples; i-- > step;) {
        row[i] = static_cast<Sample>(row[i] - row[i - step]);
    }
}

struct CompressorFree {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

libdeflate_compressor* ThreadCompressor() {
    thread_local std::unique_ptr<libdeflate_compressor, CompressorFree> compressor(
        libdeflate_alloc_compressor(kDeflateLevel));
    return compressor.get();
}

// Grain through level 1; a strip where a sample shows that matches pay (a
// clean page) through the level PNG's clean pieces take.
bool EncodeDeflate(const StripShape& shape, std::span<const std::uint8_t> rows,
                   std::vector<std::uint8_t>& out) {
    std::vector<std::uint8_t> predicted(rows.begin(), rows.end());
    PredictRows(shape, predicted);
    libdeflate_compressor* compressor =
        MatchesPay(predicted) ? MatchCompressor() : ThreadCompressor();
    if (compressor == nullptr) {
        return false;
    }
    out.resize(libdeflate_zlib_compress_bound(compressor, predicted.size()));
    const std::size_t size = libdeflate_zlib_compress(compressor, predicted.data(),
                                                      predicted.size(), out.data(), out.size());
    out.resize(size);
    return size > 0;
}

// A growing file in memory for libtiff.
struct MemoryFile {
    std::vector<std::uint8_t> bytes;
    std::uint64_t position = 0;
};

tmsize_t MemRead(thandle_t, void*, tmsize_t) {
    return 0;
}

tmsize_t MemWrite(thandle_t handle, void* data, tmsize_t size) {
    auto* f = static_cast<MemoryFile*>(handle);
    const std::uint64_t end = f->position + static_cast<std::uint64_t>(size);
    if (end > f->bytes.size()) {
        f->bytes.resize(end);
    }
    std::memcpy(f->bytes.data() + f->position, data, static_cast<std::size_t>(size));
    f->position = end;
    return size;
}

toff_t MemSeek(thandle_t handle, toff_t offset, int whence) {
    auto* f = static_cast<MemoryFile*>(handle);
    const std::uint64_t base = whence == SEEK_SET   ? 0
                               : whence == SEEK_CUR ? f->position
                                                    : f->bytes.size();
    f->position = base + offset;
    return f->position;
}

int MemClose(thandle_t) {
    return 0;
}

toff_t MemSize(thandle_t handle) {
    return static_cast<MemoryFile*>(handle)->bytes.size();
}

int MemMap(thandle_t, void**, toff_t*) {
    return 0;
}

void MemUnmap(thandle_t, void*, toff_t) {}

int Quiet(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};

bool EncodeLzw(const StripShape& shape, std::span<const std::uint8_t> rows,
               std::vector<std::uint8_t>& out) {
    const std::int64_t rowBytes = std::int64_t{shape.width} * shape.samples * shape.bits / 8;
    const auto height = static_cast<std::uint32_t>(rows.size() / std::size_t(rowBytes));
    MemoryFile file;
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (options == nullptr) {
        return false;
    }
    TIFFOpenOptionsSetErrorHandlerExtR(options, Quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, Quiet, nullptr);
    std::unique_ptr<TIFF, TiffCloser> tif(TIFFClientOpenExt("strip", "w", &file, MemRead, MemWrite,
                                                            MemSeek, MemClose, MemSize, MemMap,
                                                            MemUnmap, options));
    TIFFOpenOptionsFree(options);
    std::vector<std::uint8_t> copy(rows.begin(), rows.end()); // the predictor works in place
    const bool written =
        tif && TIFFSetField(tif.get(), TIFFTAG_IMAGEWIDTH, std::uint32_t(shape.width)) &&
        TIFFSetField(tif.get(), TIFFTAG_IMAGELENGTH, height) &&
        TIFFSetField(tif.get(), TIFFTAG_BITSPERSAMPLE, std::uint16_t(shape.bits)) &&
        TIFFSetField(tif.get(), TIFFTAG_SAMPLESPERPIXEL, std::uint16_t(shape.samples)) &&
        TIFFSetField(tif.get(), TIFFTAG_PHOTOMETRIC,
                     shape.samples == 1 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB) &&
        TIFFSetField(tif.get(), TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
        TIFFSetField(tif.get(), TIFFTAG_ROWSPERSTRIP, height) &&
        TIFFSetField(tif.get(), TIFFTAG_COMPRESSION, COMPRESSION_LZW) &&
        TIFFSetField(tif.get(), TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL) &&
        TIFFWriteEncodedStrip(tif.get(), 0, copy.data(), tmsize_t(copy.size())) >= 0;
    if (!written) {
        return false;
    }
    const std::uint64_t offset = TIFFGetStrileOffset(tif.get(), 0);
    const std::uint64_t count = TIFFGetStrileByteCount(tif.get(), 0);
    if (offset == 0 || offset + count > file.bytes.size()) {
        return false;
    }
    out.assign(file.bytes.begin() + std::ptrdiff_t(offset),
               file.bytes.begin() + std::ptrdiff_t(offset + count));
    return true;
}

} // namespace

void PredictRows(const StripShape& shape, std::span<std::uint8_t> rows) {
    const std::size_t step = static_cast<std::size_t>(shape.samples);
    const std::size_t rowSamples = static_cast<std::size_t>(shape.width) * step;
    if (shape.bits == 8) {
        for (std::size_t at = 0; at + rowSamples <= rows.size(); at += rowSamples) {
            PredictRow(rows.data() + at, rowSamples, step);
        }
        return;
    }
    std::vector<std::uint16_t> row(rowSamples);
    const std::size_t rowBytes = rowSamples * kWideBytes;
    for (std::size_t at = 0; at + rowBytes <= rows.size(); at += rowBytes) {
        std::memcpy(row.data(), rows.data() + at, rowBytes); // rows need not be aligned
        PredictRow(row.data(), rowSamples, step);
        std::memcpy(rows.data() + at, row.data(), rowBytes);
    }
}

bool EncodeStrip(StripCodec codec, const StripShape& shape, std::span<const std::uint8_t> rows,
                 std::vector<std::uint8_t>& out) {
    return codec == StripCodec::Deflate ? EncodeDeflate(shape, rows, out)
                                        : EncodeLzw(shape, rows, out);
}
