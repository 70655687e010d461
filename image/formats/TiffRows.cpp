// Uncompressed chunky strips that follow each other in the file are rows at
// fixed places, read like a PNM's: any run, from any thread. Other chunky
// strips are read a scanline at a time; planar or tiled images a band of rows
// at a time (one strip or tile row, every plane), each chunk decoded and its
// colour samples copied into their places.
#include "image/formats/TiffRows.h"

#include "image/formats/TiffChunkClaims.h"
#include "image/formats/TiffClient.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::int64_t kMaxDimension = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kHeaderBytes = 8; // byte order, 42 and the first directory's offset

// libtiff's codecs name the strip being decoded even while a tile is, and a
// tiled image has no current strip: (uint32_t)-1. That number is put right.
constexpr std::string_view kNoStrip = "Strip 4294967295";

std::string NameTile(std::string message, std::uint32_t tile) {
    const std::size_t at = message.find(kNoStrip);
    if (at != std::string::npos) {
        message.replace(at, kNoStrip.size(), "Tile " + std::to_string(tile));
    }
    return message;
}

template <typename T> T Field(TIFF* tif, ttag_t tag, T fallback) {
    T value = fallback;
    return TIFFGetFieldDefaulted(tif, tag, &value) == 1 ? value : fallback;
}

bool IsReadCompression(std::uint16_t compression) {
    switch (compression) {
    case COMPRESSION_NONE:
    case COMPRESSION_LZW:
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
    case COMPRESSION_PACKBITS:
        return TIFFIsCODECConfigured(compression) != 0;
    default:
        return false;
    }
}

// Why the image is not an 8/16-bit unsigned grey or RGB one; None when it is.
Reason KindProblem(TIFF* tif, std::uint16_t colours) {
    const auto bits = Field<std::uint16_t>(tif, TIFFTAG_BITSPERSAMPLE, 1);
    const auto format = Field<std::uint16_t>(tif, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT);
    const auto photometric = Field<std::uint16_t>(tif, TIFFTAG_PHOTOMETRIC, 0xFFFF);
    const auto compression = Field<std::uint16_t>(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    if (format == SAMPLEFORMAT_IEEEFP) {
        return {RefusedImage::TiffFloat};
    }
    if (format != SAMPLEFORMAT_UINT) {
        return {RefusedImage::TiffSigned};
    }
    if (photometric == PHOTOMETRIC_PALETTE) {
        return {RefusedImage::TiffPalette};
    }
    if (photometric == PHOTOMETRIC_SEPARATED) {
        return {RefusedImage::TiffCmyk};
    }
    const bool grey =
        (photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE) &&
        colours == 1;
    const bool rgb = photometric == PHOTOMETRIC_RGB && colours == 3;
    if (!grey && !rgb) {
        return {RefusedImage::TiffColours, std::to_string(photometric)};
    }
    if (bits != 8 && bits != kWideBits) {
        return {RefusedImage::TiffSampleBits, std::to_string(bits)};
    }
    if (!IsReadCompression(compression)) {
        return {RefusedImage::TiffCompression, std::to_string(compression)};
    }
    return {};
}

} // namespace

// The file's bytes for libtiff; a short or failed read is kept to be told
// as such rather than as libtiff's words about the data.
struct TiffFileClient : TiffStream {
    const ByteSource* source = nullptr;
    ReasonCode failure = ReasonCode::None;
    std::uint32_t tile = 0; // the tile being decoded, for libtiff's words

    std::int64_t ReadAt(std::int64_t at, void* buffer, std::int64_t size) override {
        const std::int64_t got = source->ReadAt(at, buffer, static_cast<std::size_t>(size));
        if (got < 0) {
            failure = ReasonCode::ReadFailed;
            return -1;
        }
        if (got < size && failure == ReasonCode::None) {
            failure = ReasonCode::Truncated;
        }
        return got;
    }
    std::int64_t WriteAt(std::int64_t, const void*, std::int64_t) override { return -1; }
    std::int64_t Length() const override { return source->Length(); }
};

struct TiffRows::Decoder {
    TiffFileClient client;
    TiffHandle tif;
    std::int32_t samples = 1; // per stored pixel, extra samples included
    std::int32_t colours = 1; // grey or red, green, blue
    std::int32_t sampleBytes = 1;
    bool banded = false;         // planar or tiled
    bool minIsWhite = false;     // grey stored as 0 = white: inverted on the way
    std::int64_t direct = -1;    // file offset of row 0 when rows lie at fixed places
    std::int32_t bandRows = 0;   // rows of one strip or tile row
    std::int32_t chunkWidth = 0; // columns of one chunk
    std::int32_t nextRow = 0;
    std::vector<std::uint8_t> chunk; // one decoded scanline, strip or tile
    std::size_t chunkBytes = 0;
    std::vector<std::uint8_t> band; // compacted rows of the current band
    std::size_t bandBytes = 0;
    std::int32_t bandFirst = -1;
    ImageMeta meta;
    std::int32_t orientation = kUpright;

    Reason Failure() const {
        if (client.failure != ReasonCode::None) {
            return Reason(client.failure);
        }
        return {ReasonCode::DamagedData, 0, NameTile(client.message, client.tile)};
    }
};

namespace {

using Decoder = TiffRows::Decoder;

// Copies `width` pixels of sample `plane` (or all colour samples of chunky
// pixels) from `in`, `inSamples` samples apart, into compact `out` pixels.
void CopySamples(const Decoder& d, const std::uint8_t* in, std::int32_t inSamples,
                 std::int32_t plane, std::int32_t width, std::uint8_t* out) {
    const std::int64_t sb = d.sampleBytes;
    const std::int32_t copied = plane < 0 ? d.colours : 1;
    const std::int32_t at = plane < 0 ? 0 : plane;
    for (std::int64_t x = 0; x < width; ++x) {
        std::memcpy(out + (x * d.colours + at) * sb, in + x * inSamples * sb,
                    static_cast<std::size_t>(copied * sb));
    }
}

// Gives `buffer` its `bytes` on first use: a reader that fails or is never
// read holds nothing for the header's claims.
bool Provide(Decoder& d, std::vector<std::uint8_t>& buffer, std::size_t bytes) {
    if (!buffer.empty()) {
        return true;
    }
    try {
        buffer.resize(bytes);
    } catch (const std::bad_alloc&) {
        d.client.failure = ReasonCode::NoMemory;
        return false;
    }
    return true;
}

bool ReadScanline(Decoder& d, std::int32_t row, std::uint8_t* out, std::int32_t width) {
    if (d.samples != d.colours && !Provide(d, d.chunk, d.chunkBytes)) {
        return false;
    }
    std::uint8_t* target = d.samples == d.colours ? out : d.chunk.data();
    if (TIFFReadScanline(d.tif.get(), target, static_cast<std::uint32_t>(row), 0) < 0) {
        return false;
    }
    if (target != out) {
        CopySamples(d, target, d.samples, -1, width, out);
    }
    return true;
}

// Decodes the strip or tile of plane `plane` at (x0, y) into d.chunk; the
// band is given its memory once a chunk has decoded, so that a file whose
// data fails at once never holds more than one chunk.
bool ReadChunk(Decoder& d, std::int32_t y, std::int32_t x0, std::int32_t plane) {
    if (!Provide(d, d.chunk, d.chunkBytes)) {
        return false;
    }
    TIFF* tif = d.tif.get();
    const auto sample = static_cast<std::uint16_t>(plane);
    tmsize_t got = -1;
    if (TIFFIsTiled(tif)) {
        d.client.tile = TIFFComputeTile(tif, std::uint32_t(x0), std::uint32_t(y), 0, sample);
        got = TIFFReadEncodedTile(tif, d.client.tile, d.chunk.data(), tmsize_t(d.chunk.size()));
    } else {
        got = TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, std::uint32_t(y), sample),
                                   d.chunk.data(), tmsize_t(d.chunk.size()));
    }
    return got >= 0 && Provide(d, d.band, d.bandBytes);
}

// Decodes every chunk of the band holding `row` into d.band.
bool ReadBand(Decoder& d, std::int32_t row, const RowLayout& layout) {
    TIFF* tif = d.tif.get();
    const std::int32_t first = row / d.bandRows * d.bandRows;
    const std::int32_t rows = std::min(d.bandRows, layout.Height - first);
    const bool planar = Field<std::uint16_t>(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) ==
                        PLANARCONFIG_SEPARATE;
    const std::int32_t planes = planar ? d.colours : 1;
    const std::int32_t chunkSamples = planar ? 1 : d.samples;
    const std::int64_t chunkRowBytes = std::int64_t{d.chunkWidth} * chunkSamples * d.sampleBytes;
    for (std::int32_t p = 0; p < planes; ++p) {
        for (std::int32_t x0 = 0; x0 < layout.Width; x0 += d.chunkWidth) {
            if (!ReadChunk(d, first, x0, p)) {
                return false;
            }
            const std::int32_t width = std::min(d.chunkWidth, layout.Width - x0);
            for (std::int32_t k = 0; k < rows; ++k) {
                CopySamples(d, d.chunk.data() + k * chunkRowBytes, chunkSamples, planar ? p : -1,
                            width,
                            d.band.data() + k * layout.Stride + x0 * d.colours * d.sampleBytes);
            }
        }
    }
    d.bandFirst = first;
    return true;
}

// Where row 0 starts when the rows lie uncompressed, one after the other,
// exactly as wide as the layout: every strip starts where the last ended.
// -1 otherwise.
std::int64_t DirectRowsOffset(TIFF* tif, const Decoder& d, const RowLayout& layout,
                              std::int64_t fileLength) {
    if (d.banded || d.minIsWhite || d.samples != d.colours || !layout.HasRows() ||
        Field<std::uint16_t>(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE) != COMPRESSION_NONE ||
        static_cast<std::int64_t>(TIFFScanlineSize64(tif)) != layout.Stride) {
        return -1;
    }
    const std::int64_t rowsPerStrip = std::clamp<std::int64_t>(
        Field<std::uint32_t>(tif, TIFFTAG_ROWSPERSTRIP, layout.Height), 1, layout.Height);
    const std::uint32_t strips = TIFFNumberOfStrips(tif);
    const std::int64_t start = static_cast<std::int64_t>(TIFFGetStrileOffset(tif, 0));
    // Rows that run past the end are left to libtiff to report; divided, so
    // that no product below overflows.
    if (start <= 0 || start > fileLength || layout.Height > (fileLength - start) / layout.Stride) {
        return -1;
    }
    std::int64_t next = start;
    for (std::uint32_t s = 0; s < strips; ++s) {
        const std::int64_t rows = std::min(rowsPerStrip, layout.Height - s * rowsPerStrip);
        if (rows <= 0 || static_cast<std::int64_t>(TIFFGetStrileOffset(tif, s)) != next ||
            static_cast<std::int64_t>(TIFFGetStrileByteCount(tif, s)) < rows * layout.Stride) {
            return -1;
        }
        next += rows * layout.Stride;
    }
    return start;
}

constexpr double kCentimetresPerInch = 2.54;

// A resolution without a unit (ResolutionUnit 1) is only an aspect ratio.
ImageMeta ReadMeta(TIFF* tif) {
    ImageMeta meta;
    float x = 0;
    float y = 0;
    const auto unit = Field<std::uint16_t>(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x) == 1 &&
        TIFFGetField(tif, TIFFTAG_YRESOLUTION, &y) == 1 && x > 0 && y > 0 &&
        (unit == RESUNIT_INCH || unit == RESUNIT_CENTIMETER)) {
        const double scale = unit == RESUNIT_CENTIMETER ? kCentimetresPerInch : 1.0;
        meta.resolution = Resolution{x * scale, y * scale};
    }
    std::uint32_t length = 0;
    void* profile = nullptr;
    if (TIFFGetField(tif, TIFFTAG_ICCPROFILE, &length, &profile) == 1 && profile != nullptr) {
        const auto* bytes = static_cast<const std::uint8_t*>(profile);
        meta.profile.assign(bytes, bytes + length);
    }
    return meta;
}

// v' = max - v over whole rows of 8- or 16-bit (machine order) samples.
void InvertSamples(std::uint8_t* rows, std::int64_t bytes, std::int32_t sampleBytes) {
    if (sampleBytes == 1) {
        for (std::int64_t i = 0; i < bytes; ++i) {
            rows[i] = static_cast<std::uint8_t>(~rows[i]);
        }
        return;
    }
    for (std::int64_t i = 0; i + 1 < bytes; i += 2) {
        std::uint16_t v = 0;
        std::memcpy(&v, rows + i, sizeof v);
        v = static_cast<std::uint16_t>(~v);
        std::memcpy(rows + i, &v, sizeof v);
    }
}

// libtiff's open of the file: NotThisFormat when its header is not a
// TIFF's, else libtiff's reason.
Reason OpenClient(Decoder& d, const ByteSource& source) {
    d.tif = OpenTiffClient(d.client, "rm");
    if (!d.tif && d.client.message.empty() && d.client.failure == ReasonCode::None) {
        return Reason(ReasonCode::NoMemory); // libtiff's open options could not be had
    }
    if (!d.tif) {
        const bool header = d.client.message.find("Not a TIFF") != std::string::npos ||
                            d.client.message.find("magic") != std::string::npos;
        if (header || source.Length() < kHeaderBytes) {
            return Reason(ReasonCode::NotThisFormat, 0, "TIFF");
        }
        return d.Failure();
    }
    return {};
}

// The image's kind and size as the rows' layout, its meta and orientation
// kept; the reason when it is not a kind the reader takes.
Outcome<RowLayout> ReadKind(Decoder& d) {
    TIFF* tif = d.tif.get();
    const auto width = Field<std::uint32_t>(tif, TIFFTAG_IMAGEWIDTH, 0);
    const auto height = Field<std::uint32_t>(tif, TIFFTAG_IMAGELENGTH, 0);
    if (width > kMaxDimension || height > kMaxDimension) {
        return Reason(ReasonCode::BadHeader);
    }
    std::uint16_t extras = 0;
    std::uint16_t* extraKinds = nullptr;
    TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extras, &extraKinds);
    const auto samples = Field<std::uint16_t>(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    const auto colours = static_cast<std::uint16_t>(samples > extras ? samples - extras : 0);
    if (Reason problem = KindProblem(tif, colours)) {
        return problem;
    }
    const bool wide = Field<std::uint16_t>(tif, TIFFTAG_BITSPERSAMPLE, 8) == kWideBits;
    d.samples = samples;
    d.colours = colours;
    d.meta = ReadMeta(tif);
    d.orientation = Field<std::uint16_t>(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    d.sampleBytes = wide ? 2 : 1;
    d.minIsWhite = Field<std::uint16_t>(tif, TIFFTAG_PHOTOMETRIC, 0) == PHOTOMETRIC_MINISWHITE;
    RowLayout layout;
    layout.Width = static_cast<std::int32_t>(width);
    layout.Height = static_cast<std::int32_t>(height);
    layout.Format = colours == 1 ? (wide ? kGrey16 : kGrey8) : (wide ? kRgb48 : kRgb24);
    layout.Stride = layout.RowBytes();
    layout.MaxValue = wide ? kMaxSample16 : kMaxSample8;
    return layout;
}

// How the rows are decoded: a scanline at a time, or a band of strips or
// tiles (planar or tiled images). The bytes of one decoded chunk.
std::int64_t PlanChunks(Decoder& d, const RowLayout& layout) {
    TIFF* tif = d.tif.get();
    const bool tiled = TIFFIsTiled(tif) != 0;
    const bool planar = Field<std::uint16_t>(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) ==
                        PLANARCONFIG_SEPARATE;
    d.banded = planar || tiled;
    if (!d.banded) {
        return static_cast<std::int64_t>(TIFFScanlineSize64(tif));
    }
    const std::int64_t height = layout.Height;
    d.bandRows = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        tiled ? Field<std::uint32_t>(tif, TIFFTAG_TILELENGTH, 0)
              : Field<std::uint32_t>(tif, TIFFTAG_ROWSPERSTRIP, std::uint32_t(height)),
        1, std::max<std::int64_t>(height, 1)));
    d.chunkWidth = tiled ? static_cast<std::int32_t>(std::clamp<std::int64_t>(
                               Field<std::uint32_t>(tif, TIFFTAG_TILEWIDTH, 0), 1, kMaxDimension))
                         : layout.Width;
    return static_cast<std::int64_t>(tiled ? TIFFTileSize64(tif) : TIFFStripSize64(tif));
}

} // namespace

TiffRows::TiffRows(std::unique_ptr<Decoder> decoder, const RowLayout& layout)
    : decoder_(std::move(decoder)), layout_(layout) {}

TiffRows::~TiffRows() = default;

Outcome<std::unique_ptr<RowSource>> TiffRows::Open(const ByteSource& source) {
    auto d = std::make_unique<Decoder>();
    d->client.source = &source;
    if (Reason failed = OpenClient(*d, source)) {
        return failed;
    }
    TIFF* tif = d->tif.get();
    const Outcome<RowLayout> read = ReadKind(*d);
    if (!read) {
        return read.Why();
    }
    RowLayout layout = *read;
    const std::int64_t chunkBytes = PlanChunks(*d, layout);
    if (layout.HasRows() && chunkBytes <= 0) {
        return d->Failure();
    }
    // Before any buffer is sized from the header: the chunks must be able to
    // hold what it claims (a 4 KB file may claim gigabytes).
    if (layout.HasRows()) {
        if (Reason unheld = CheckChunkClaims(tif, d->colours, source.Length())) {
            return unheld;
        }
    }
    d->direct = DirectRowsOffset(tif, *d, layout, source.Length());
    if (d->direct >= 0) {
        if (d->sampleBytes == 2 && TIFFIsBigEndian(tif)) {
            layout.Format = d->colours == 1 ? kGrey16Be : kRgb48Be;
        }
        return std::unique_ptr<RowSource>(new TiffRows(std::move(d), layout));
    }
    d->chunkBytes = static_cast<std::size_t>(chunkBytes);
    d->bandBytes = d->banded ? static_cast<std::size_t>(layout.Stride * d->bandRows) : 0;
    return std::unique_ptr<RowSource>(new TiffRows(std::move(d), layout));
}

std::int64_t TiffRows::HeldBytes() const {
    return static_cast<std::int64_t>(decoder_->chunkBytes + decoder_->bandBytes);
}

ImageMeta TiffRows::Meta() const {
    return decoder_->meta;
}

std::int32_t TiffRows::Orientation() const {
    return decoder_->orientation;
}

bool TiffRows::Sequential() const {
    return decoder_->direct < 0;
}

FetchedRows TiffRows::Rows(std::int32_t first, std::int32_t count, std::uint8_t* scratch) const {
    Decoder& d = *decoder_;
    if (d.direct >= 0) {
        Reason failed = ReadAll(*d.client.source, d.direct + first * layout_.Stride, scratch,
                                count * layout_.Stride);
        return {failed ? nullptr : scratch, std::move(failed)};
    }
    if (first != d.nextRow) {
        return {nullptr, Reason(ReasonCode::ReadFailed)}; // rows come once each, in order
    }
    for (std::int32_t k = 0; k < count; ++k) {
        const std::int32_t row = first + k;
        std::uint8_t* out = scratch + k * layout_.Stride;
        if (!d.banded) {
            if (!ReadScanline(d, row, out, layout_.Width)) {
                return {nullptr, d.Failure()};
            }
            continue;
        }
        if (d.bandFirst < 0 || row >= d.bandFirst + d.bandRows) {
            if (!ReadBand(d, row, layout_)) {
                return {nullptr, d.Failure()};
            }
        }
        std::memcpy(out, d.band.data() + (row - d.bandFirst) * layout_.Stride,
                    static_cast<std::size_t>(layout_.Stride));
    }
    if (d.minIsWhite) {
        InvertSamples(scratch, count * layout_.Stride, d.sampleBytes);
    }
    d.nextRow += count;
    return {scratch, {}};
}
