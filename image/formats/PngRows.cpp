// libpng reports errors by longjmp: every call that may fail runs inside a
// small function whose frame holds no object with a destructor, and its
// words are kept for the reason.
#include "image/formats/PngRows.h"

#include "image/formats/PngChunks.h"
#include "image/formats/PngImageData.h"
#include "image/formats/PngUnfilter.h"

#include <png.h>

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstring>
#include <new>
#include <string>

namespace {

constexpr std::size_t kSignatureBytes = 8;
constexpr std::size_t kMessageBytes = 200;
// No chunk the reader uses is larger; a text or profile chunk that claims
// more is refused before libpng allocates for it.
constexpr png_alloc_size_t kMaxChunkBytes = png_alloc_size_t{1} << 20;
// Deflate gives at most 1032 bytes per stored byte: a 258-byte match costs
// at least 2 bits (its length and distance codes).
constexpr double kDeflateBound = 1032;
constexpr double kBitsPerByte = 8;
constexpr double kMostNamed = 1e18; // a claim named in a message, kept within int64_t

} // namespace

struct PngRows::Decoder {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const ByteSource* source = nullptr;
    std::int64_t position = 0;
    ReasonCode failure = ReasonCode::None;
    char message[kMessageBytes] = {};
    bool interlaced = false;
    int storedBitsPerPixel = 0; // as in the file, before any transform
    int storedBits = 0;         // per sample, as in the file
    int storedColourType = 0;
    std::int32_t nextRow = 0;
    std::unique_ptr<std::uint8_t[]> whole; // an interlaced image, decoded at once
    ImageMeta meta;
    // Grey or RGB of 8 or 16 bits, not interlaced: the rows as stored, which
    // need no transform, are inflated and unfiltered here rather than by
    // libpng, whose zlib inflates a third as fast. Set up at the first rows,
    // once the road has found room for them.
    std::int64_t plainImageData = -1; // where the first IDAT chunk starts; -1: libpng reads
    std::size_t rowBytes = 0;
    std::size_t pixelBytes = 0;
    std::unique_ptr<PngImageData> data;
    std::unique_ptr<std::uint8_t[]> filtered; // one row with its filter type byte
    std::unique_ptr<std::uint8_t[]> above;    // the last row given, zeros at first
    Reason dataFailure;

    ~Decoder() { png_destroy_read_struct(&png, &info, nullptr); }
};

namespace {

using Decoder = PngRows::Decoder;

void OnError(png_structp png, png_const_charp message) {
    auto* d = static_cast<Decoder*>(png_get_error_ptr(png));
    if (d->failure == ReasonCode::None) {
        d->failure = ReasonCode::DamagedData;
        std::strncpy(d->message, message, kMessageBytes - 1);
    }
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {} // warnings change nothing read

void OnRead(png_structp png, png_bytep data, png_size_t size) {
    auto* d = static_cast<Decoder*>(png_get_io_ptr(png));
    const std::int64_t got = d->source->ReadAt(d->position, data, size);
    if (got < 0 || static_cast<png_size_t>(got) < size) {
        d->failure = got < 0 ? ReasonCode::ReadFailed : ReasonCode::Truncated;
        png_error(png, "read");
    }
    d->position += got;
}

// pHYs in pixels per metre (a unit-less aspect ratio says nothing of size)
// and the iCCP profile, which libpng has already inflated and checked.
void ReadMeta(Decoder* d) {
    png_uint_32 x = 0;
    png_uint_32 y = 0;
    int unit = PNG_RESOLUTION_UNKNOWN;
    if (png_get_pHYs(d->png, d->info, &x, &y, &unit) != 0 && unit == PNG_RESOLUTION_METER) {
        d->meta.resolution = ResolutionOfPixelsPerMetre(x, y);
    }
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 length = 0;
    if (png_get_iCCP(d->png, d->info, &name, &compression, &profile, &length) != 0 &&
        profile != nullptr) {
        d->meta.profile.assign(profile, profile + length);
    }
}

// Header, then the transforms to grey or RGB samples as stored.
bool ReadHead(Decoder* d) {
    if (setjmp(png_jmpbuf(d->png))) {
        return false;
    }
    png_set_read_fn(d->png, d, OnRead);
    png_set_chunk_malloc_max(d->png, kMaxChunkBytes);
    png_set_sig_bytes(d->png, static_cast<int>(kSignatureBytes));
    png_read_info(d->png, d->info);
    d->storedBits = png_get_bit_depth(d->png, d->info);
    d->storedColourType = png_get_color_type(d->png, d->info);
    d->storedBitsPerPixel = d->storedBits * png_get_channels(d->png, d->info);
    ReadMeta(d);
    png_set_palette_to_rgb(d->png);
    png_set_expand_gray_1_2_4_to_8(d->png);
    png_set_strip_alpha(d->png);
    // 16-bit samples stay big-endian, as PNG stores them: the kernels turn
    // them over on the way, sparing a pass of their own.
    d->interlaced = png_set_interlace_handling(d->png) > 1;
    png_read_update_info(d->png, d->info);
    return true;
}

bool ReadSomeRows(Decoder* d, png_bytepp rows, png_uint_32 count) {
    if (setjmp(png_jmpbuf(d->png))) {
        return false;
    }
    png_read_rows(d->png, rows, nullptr, count);
    return true;
}

bool ReadWholeImage(Decoder* d, png_bytepp rows) {
    if (setjmp(png_jmpbuf(d->png))) {
        return false;
    }
    png_read_image(d->png, rows);
    return true;
}

Reason Failure(const Decoder& d) {
    if (d.failure == ReasonCode::DamagedData) {
        return {ReasonCode::DamagedData, 0, d.message};
    }
    return d.failure == ReasonCode::None ? Reason(ReasonCode::DamagedData) : Reason(d.failure);
}

RowFormat FormatOf(int channels, int bits) {
    if (channels == 1) {
        return bits == kWideBits ? kGrey16Be : kGrey8;
    }
    return bits == kWideBits ? kRgb48Be : kRgb24;
}

// Row pointers for `count` rows at `first`, `stride` apart.
std::unique_ptr<png_bytep[]> RowPointers(std::uint8_t* first, std::int64_t stride,
                                         std::int32_t count) {
    std::unique_ptr<png_bytep[]> rows(new (std::nothrow) png_bytep[std::size_t(count)]);
    for (std::int32_t k = 0; rows && k < count; ++k) {
        rows[std::size_t(k)] = first + k * stride;
    }
    return rows;
}

// Walks the chunk heads before libpng reads them: a chunk other than image
// data that claims more than kMaxChunkBytes is refused here, because libpng
// allocates an ancillary chunk's claimed length before reading it (a 57-byte
// file can ask for a gigabyte). A file that ends early is left to libpng.
// `survey` receives the bytes of image data the file holds and where its
// first IDAT chunk starts.
struct ChunkSurvey {
    std::int64_t imageData = 0;
    std::int64_t firstImageData = -1; // none
};

Reason CheckChunkLengths(const ByteSource& source, ChunkSurvey& survey) {
    survey = {};
    std::int64_t at = kSignatureBytes;
    std::uint8_t head[kChunkHeadBytes];
    while (source.ReadAt(at, head, kChunkHeadBytes) == std::int64_t{kChunkHeadBytes}) {
        const std::uint32_t length = ReadBigEndian32(head);
        const bool isImageData =
            std::memcmp(head + kChunkLengthBytes, kImageDataType, kChunkTypeBytes) == 0;
        if (!isImageData && length > kMaxChunkBytes) {
            return Reason(ReasonCode::DamagedData, length, "chunk data is too large");
        }
        if (isImageData && survey.firstImageData < 0) {
            survey.firstImageData = at;
        }
        if (isImageData) {
            survey.imageData += std::min<std::int64_t>(
                length, std::max<std::int64_t>(source.Length() - at - kChunkHeadBytes, 0));
        }
        if (std::memcmp(head + kChunkLengthBytes, kEndType, kChunkTypeBytes) == 0) {
            break;
        }
        at += std::int64_t{kChunkHeadBytes} + length + std::int64_t{kChunkCrcBytes};
    }
    return {};
}

// The image data, inflated at most kDeflateBound to one, must reach the
// pixels the header claims (width x height x stored bits, filter bytes and
// interlace padding left out, so that this is the least it could need):
// otherwise a small file would have its claim allocated before its data
// ran out.
Reason CheckImageDataHolds(const Decoder& d, std::int64_t imageData) {
    const double needed = double(png_get_image_width(d.png, d.info)) *
                          double(png_get_image_height(d.png, d.info)) * d.storedBitsPerPixel /
                          kBitsPerByte;
    if (double(imageData) * kDeflateBound < needed) {
        return {ReasonCode::DamagedData, imageData,
                std::to_string(imageData) + " bytes of image data cannot hold the " +
                    std::to_string(std::int64_t(std::min(needed, kMostNamed))) +
                    " the header claims"};
    }
    return {};
}

// Whether the decoder inflates the rows itself: plain grey or RGB rows, and
// libpng has read the head up to the first IDAT chunk's data and no further.
void ChoosePlainRows(Decoder& d, std::int64_t firstImageData) {
    const bool plain =
        !d.interlaced &&
        (d.storedColourType == PNG_COLOR_TYPE_GRAY || d.storedColourType == PNG_COLOR_TYPE_RGB) &&
        (d.storedBits == kNarrowBits || d.storedBits == kWideBits);
    if (plain && firstImageData >= 0 &&
        d.position == firstImageData + std::int64_t{kChunkHeadBytes}) {
        d.plainImageData = firstImageData;
        d.rowBytes = png_get_rowbytes(d.png, d.info);
        d.pixelBytes = d.rowBytes / png_get_image_width(d.png, d.info);
    }
}

Reason StartPlainRows(Decoder& d) {
    d.filtered.reset(new (std::nothrow) std::uint8_t[d.rowBytes + 1]);
    d.above.reset(new (std::nothrow) std::uint8_t[d.rowBytes]());
    if (!d.filtered || !d.above) {
        return {ReasonCode::NoMemory, std::int64_t(2 * d.rowBytes + 1)};
    }
    d.data = std::make_unique<PngImageData>(*d.source, d.plainImageData);
    return {};
}

// `count` rows into `out`, `stride` apart, from the decoder's own inflating.
Reason ReadPlainRows(Decoder& d, std::int32_t count, std::int64_t stride, std::uint8_t* out) {
    if (!d.data) {
        if (Reason failed = StartPlainRows(d)) {
            return failed;
        }
    }
    for (std::int32_t k = 0; k < count; ++k) {
        if (Reason failed = d.data->Read(d.filtered.get(), d.rowBytes + 1)) {
            return failed;
        }
        std::uint8_t* row = out + k * stride;
        const std::uint8_t* above = k == 0 ? d.above.get() : row - stride;
        if (!UnfilterRow(d.filtered[0], d.filtered.get() + 1, above, d.rowBytes, d.pixelBytes,
                         row)) {
            return {ReasonCode::DamagedData, d.filtered[0], "bad adaptive filter value"};
        }
    }
    if (count > 0) {
        std::memcpy(d.above.get(), out + (count - 1) * stride, d.rowBytes);
    }
    return {};
}

// An interlaced image decoded whole into d.whole, at its first rows.
Reason ReadInterlaced(Decoder& d, const RowLayout& layout) {
    const std::int64_t bytes = layout.Stride * layout.Height;
    d.whole.reset(new (std::nothrow) std::uint8_t[std::size_t(bytes)]);
    auto rows = RowPointers(d.whole.get(), layout.Stride, layout.Height);
    if (!d.whole || !rows) {
        d.whole.reset();
        return Reason(ReasonCode::NoMemory, bytes);
    }
    if (!ReadWholeImage(&d, rows.get())) {
        d.whole.reset();
        return Failure(d);
    }
    return {};
}

} // namespace

PngRows::PngRows(std::unique_ptr<Decoder> decoder) : decoder_(std::move(decoder)) {
    png_structp png = decoder_->png;
    png_infop info = decoder_->info;
    layout_.Width = static_cast<std::int32_t>(png_get_image_width(png, info));
    layout_.Height = static_cast<std::int32_t>(png_get_image_height(png, info));
    const int bits = png_get_bit_depth(png, info);
    layout_.Format = FormatOf(png_get_channels(png, info), bits);
    layout_.Stride = layout_.RowBytes();
    layout_.MaxValue = bits == kWideBits ? kMaxSample16 : kMaxSample8;
}

PngRows::~PngRows() = default;

Outcome<std::unique_ptr<RowSource>> PngRows::Open(const ByteSource& source) {
    std::uint8_t signature[kSignatureBytes] = {};
    if (Reason failed = ReadAll(source, 0, signature, kSignatureBytes)) {
        return failed.Code == ReasonCode::Truncated ? Reason(ReasonCode::NotThisFormat, 0, "PNG")
                                                    : failed;
    }
    if (png_sig_cmp(signature, 0, kSignatureBytes) != 0) {
        return Reason(ReasonCode::NotThisFormat, 0, "PNG");
    }
    ChunkSurvey survey;
    if (Reason tooLarge = CheckChunkLengths(source, survey)) {
        return tooLarge;
    }
    auto d = std::make_unique<Decoder>();
    d->source = &source;
    d->position = kSignatureBytes;
    d->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, d.get(), OnError, OnWarning);
    d->info = d->png ? png_create_info_struct(d->png) : nullptr;
    if (!d->info) {
        return Reason(ReasonCode::NoMemory);
    }
    if (!ReadHead(d.get())) {
        return Failure(*d);
    }
    if (Reason unheld = CheckImageDataHolds(*d, survey.imageData)) {
        return unheld;
    }
    const int channels = png_get_channels(d->png, d->info);
    const int bits = png_get_bit_depth(d->png, d->info);
    if ((channels != 1 && channels != 3) || (bits != kNarrowBits && bits != kWideBits)) {
        return Reason(RefusedImage::PngSamples);
    }
    ChoosePlainRows(*d, survey.firstImageData);
    return std::unique_ptr<RowSource>(new PngRows(std::move(d)));
}

std::int64_t PngRows::HeldBytes() const {
    return decoder_->interlaced ? layout_.Stride * layout_.Height : 0;
}

ImageMeta PngRows::Meta() const {
    return decoder_->meta;
}

std::int64_t PngRows::ScratchBytes(std::int32_t count) const {
    return decoder_->interlaced ? 0 : count * layout_.Stride;
}

FetchedRows PngRows::Rows(std::int32_t first, std::int32_t count, std::uint8_t* scratch) const {
    Decoder& d = *decoder_;
    if (d.failure != ReasonCode::None) {
        return {nullptr, Failure(d)}; // libpng's state is undefined after an error
    }
    if (d.interlaced) {
        if (!d.whole) {
            if (Reason failed = ReadInterlaced(d, layout_)) {
                return {nullptr, std::move(failed)};
            }
        }
        return {d.whole.get() + first * layout_.Stride, {}};
    }
    if (first != d.nextRow) {
        return {nullptr, Reason(ReasonCode::ReadFailed)}; // rows come once each, in order
    }
    if (d.plainImageData >= 0) {
        if (!d.dataFailure) {
            d.dataFailure = ReadPlainRows(d, count, layout_.Stride, scratch);
        }
        if (d.dataFailure) {
            return {nullptr, d.dataFailure};
        }
        d.nextRow += count;
        return {scratch, {}};
    }
    auto rows = RowPointers(scratch, layout_.Stride, count);
    if (!rows) {
        return {nullptr, Reason(ReasonCode::NoMemory)};
    }
    if (!ReadSomeRows(&d, rows.get(), static_cast<png_uint_32>(count))) {
        return {nullptr, Failure(d)};
    }
    d.nextRow += count;
    return {scratch, {}};
}
