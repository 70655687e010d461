// libjpeg-turbo reports errors by longjmp: every call that may fail runs
// inside a small function whose frame holds no object with a destructor.
// Its warnings that mean lost pixels (a file that ends early, entropy data
// cut by a marker, a bad Huffman code, a lost restart) fail the read: the
// library would fill the rest with grey and go on. A file that ends after
// its header is given an end marker (EOI) in place of the missing bytes: a
// file that lacks only that marker is read whole, with a warning, while one
// whose coded data breaks off still fails, as Truncated.
#include "image/formats/JpegRows.h"

#include "image/formats/ExifData.h"

#include <cstdio> // jpeglib.h wants FILE declared first
#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <string>

namespace {

constexpr std::size_t kInputBytes = std::size_t{1} << 16;
constexpr std::uint8_t kStartOfImage[] = {0xFF, 0xD8};
constexpr int kIccMarker = JPEG_APP0 + 2;
constexpr int kExifMarker = JPEG_APP0 + 1;
constexpr unsigned kLongestMarker = 0xFFFF;
constexpr int kWarning = -1; // emit_message's level of a warning
constexpr std::int64_t kBitsPerByte = 8;
constexpr std::int64_t kCoefficientBytes = DCTSIZE2 * sizeof(JCOEF);
constexpr std::uint8_t kDensityUnitInch = 1;
constexpr std::uint8_t kDensityUnitCentimetre = 2;
constexpr double kCentimetresPerInch = 2.54;
constexpr std::int32_t kColour = 3;
constexpr JOCTET kMarkerByte = 0xFF;
constexpr std::size_t kEndMarkerBytes = 2;
constexpr int kLosslessFrame = 0xC3; // SOF3; SOF7, SOF11 and SOF15 follow 4 apart
constexpr int kFrameFamily = 4;

} // namespace

// Outside the unnamed namespace, as the decoder holds them.
struct JpegReadErrors {
    jpeg_error_mgr manager{};
    JpegRows::Decoder* owner = nullptr;
};

// The file's bytes for libjpeg-turbo, read a piece at a time.
struct JpegByteReader {
    jpeg_source_mgr manager{};
    const ByteSource* source = nullptr;
    std::int64_t position = 0;
    JOCTET buffer[kInputBytes];
};

struct JpegRows::Decoder {
    JpegReadErrors errors;
    std::jmp_buf jump{};
    jpeg_decompress_struct info{};
    JpegByteReader reader;
    Reason failure;
    bool started = false;
    bool headRead = false;
    bool endMade = false; // the end of the file was met and an EOI given in its place
    bool severalScans = false;
    std::int32_t nextRow = 0;
    std::int64_t blocks = 0;
    ImageMeta meta;
    std::int32_t orientation = kUpright;

    ~Decoder() { jpeg_destroy_decompress(&info); }
};

namespace {

using Decoder = JpegRows::Decoder;

Decoder& DecoderOf(j_common_ptr info) {
    return *reinterpret_cast<JpegReadErrors*>(info->err)->owner;
}

std::string Words(j_common_ptr info) {
    char text[JMSG_LENGTH_MAX] = {};
    info->err->format_message(info, text);
    return text;
}

// The start-of-frame markers of the lossless processes (SOF3, SOF7, SOF11,
// SOF15), which libjpeg-turbo refuses as an unsupported process.
bool IsLosslessFrame(int marker) {
    return marker == kLosslessFrame || marker == kLosslessFrame + kFrameFamily ||
           marker == kLosslessFrame + 2 * kFrameFamily ||
           marker == kLosslessFrame + 3 * kFrameFamily;
}

// Once the file has run out, whatever fails failed for want of its bytes.
Reason ErrorReason(j_common_ptr info) {
    if (DecoderOf(info).endMade) {
        return Reason(ReasonCode::Truncated);
    }
    const int parameter = info->err->msg_parm.i[0];
    switch (info->err->msg_code) {
    case JERR_BAD_PRECISION:
        return {RefusedImage::JpegPrecision, std::to_string(parameter)};
    case JERR_SOF_UNSUPPORTED:
        if (IsLosslessFrame(parameter)) {
            return {RefusedImage::JpegLossless};
        }
        break;
    default:
        break;
    }
    return {ReasonCode::DamagedData, 0, Words(info)};
}

[[noreturn]] void OnJpegError(j_common_ptr info) {
    Decoder& d = DecoderOf(info);
    if (!d.failure) {
        d.failure = ErrorReason(info);
    }
    std::longjmp(d.jump, 1);
}

bool LosesPixels(int code) {
    return code == JWRN_HIT_MARKER || code == JWRN_HUFF_BAD_CODE || code == JWRN_JPEG_EOF ||
           code == JWRN_MUST_RESYNC;
}

void OnJpegMessage(j_common_ptr info, int level) {
    if (level == kWarning && LosesPixels(info->err->msg_code)) {
        OnJpegError(info);
    }
}

void QuietJpegReader(j_common_ptr) {}

JpegByteReader& ReaderOf(j_decompress_ptr info) {
    return *reinterpret_cast<JpegByteReader*>(info->src);
}

void StartSource(j_decompress_ptr) {}
void EndSource(j_decompress_ptr) {}

// The end of the file within the header, or a second time, is a failure;
// after the header, the decoder is given an end marker once, and a coded
// scan that still wants bits then warns of the marker, which fails the read.
boolean FillInput(j_decompress_ptr info) {
    JpegByteReader& r = ReaderOf(info);
    Decoder& d = DecoderOf(reinterpret_cast<j_common_ptr>(info));
    const std::int64_t got = r.source->ReadAt(r.position, r.buffer, kInputBytes);
    if (got == 0 && d.headRead && !d.endMade) {
        d.endMade = true;
        r.buffer[0] = kMarkerByte;
        r.buffer[1] = JPEG_EOI;
        info->src->next_input_byte = r.buffer;
        info->src->bytes_in_buffer = kEndMarkerBytes;
        return TRUE;
    }
    if (got <= 0) {
        d.failure = Reason(got < 0 ? ReasonCode::ReadFailed : ReasonCode::Truncated);
        std::longjmp(d.jump, 1);
    }
    r.position += got;
    info->src->next_input_byte = r.buffer;
    info->src->bytes_in_buffer = static_cast<std::size_t>(got);
    return TRUE;
}

void SkipInput(j_decompress_ptr info, long count) {
    if (count <= 0) {
        return;
    }
    jpeg_source_mgr& src = *info->src;
    const auto skip = static_cast<std::size_t>(count);
    if (skip <= src.bytes_in_buffer) {
        src.next_input_byte += skip;
        src.bytes_in_buffer -= skip;
        return;
    }
    ReaderOf(info).position += static_cast<std::int64_t>(skip - src.bytes_in_buffer);
    src.bytes_in_buffer = 0;
}

void Attach(Decoder& d, const ByteSource& source) {
    d.info.err = jpeg_std_error(&d.errors.manager);
    d.errors.owner = &d;
    d.errors.manager.error_exit = OnJpegError;
    d.errors.manager.emit_message = OnJpegMessage;
    d.errors.manager.output_message = QuietJpegReader;
    d.reader.source = &source;
    d.reader.manager.init_source = StartSource;
    d.reader.manager.fill_input_buffer = FillInput;
    d.reader.manager.skip_input_data = SkipInput;
    d.reader.manager.resync_to_restart = jpeg_resync_to_restart;
    d.reader.manager.term_source = EndSource;
}

// The header and the APP2 markers the profile is read from.
bool ReadHead(Decoder& d) {
    if (setjmp(d.jump) != 0) {
        return false;
    }
    jpeg_create_decompress(&d.info);
    d.info.src = &d.reader.manager;
    jpeg_save_markers(&d.info, kIccMarker, kLongestMarker);
    jpeg_save_markers(&d.info, kExifMarker, kLongestMarker);
    jpeg_read_header(&d.info, TRUE);
    d.severalScans = jpeg_has_multiple_scans(&d.info) != FALSE;
    d.headRead = true;
    return true;
}

bool ReadProfile(Decoder& d) {
    if (setjmp(d.jump) != 0) {
        return false;
    }
    JOCTET* profile = nullptr;
    unsigned size = 0;
    if (jpeg_read_icc_profile(&d.info, &profile, &size) && profile != nullptr) {
        d.meta.profile.assign(profile, profile + size);
    }
    std::free(profile);
    return true;
}

// A progressive file's scans each refine some coefficients; the picture is
// whole once every coefficient of every component has come to its last
// bit (libjpeg-turbo's coef_bits, -1 for a coefficient not yet sent).
bool EveryCoefficientSent(const jpeg_decompress_struct& info) {
    for (int c = 0; c < info.num_components; ++c) {
        for (int k = 0; k < DCTSIZE2; ++k) {
            if (info.coef_bits[c][k] != 0) {
                return false;
            }
        }
    }
    return true;
}

// A file of several scans is read whole here; one that ends between two
// scans is a file cut short, its picture coarse.
bool StartDecoding(Decoder& d) {
    if (setjmp(d.jump) != 0) {
        return false;
    }
    jpeg_start_decompress(&d.info);
    if (d.endMade && d.info.progressive_mode && !EveryCoefficientSent(d.info)) {
        d.failure = Reason(ReasonCode::Truncated);
        return false;
    }
    return true;
}

bool ReadLines(Decoder& d, std::uint8_t* out, std::int64_t stride, std::int32_t count) {
    if (setjmp(d.jump) != 0) {
        return false;
    }
    for (std::int32_t k = 0; k < count; ++k) {
        JSAMPROW row = out + k * stride;
        if (jpeg_read_scanlines(&d.info, &row, 1) != 1) {
            d.failure = Reason(ReasonCode::ReadFailed); // asked past the last row
            return false;
        }
    }
    return true;
}

// Reads on to the end marker once every row is out, so that a file without
// one is known. What lies after the picture cannot take it back: a failure
// there is dropped.
void Finish(Decoder& d) {
    if (setjmp(d.jump) != 0) {
        d.failure = {};
        return;
    }
    jpeg_finish_decompress(&d.info);
}

// What the reader takes: Huffman-coded 8-bit grey, YCbCr or RGB.
Reason KindProblem(const jpeg_decompress_struct& info) {
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
        return {RefusedImage::JpegCmyk};
    }
    if (info.num_components != 1 && info.num_components != kColour) {
        return {RefusedImage::JpegComponents, std::to_string(info.num_components)};
    }
    if (info.arith_code) {
        return {RefusedImage::JpegArithmetic};
    }
    return {};
}

// Every block of every component costs at least one bit of entropy-coded
// data (its DC difference's code), so a file holds at most eight blocks per
// byte; a frame that claims more is refused before any memory is taken for
// it. Without this a few hundred bytes of progressive JPEG could claim
// gigabytes of coefficients.
std::int64_t BlocksOf(const jpeg_decompress_struct& info) {
    std::int64_t blocks = 0;
    for (int c = 0; c < info.num_components; ++c) {
        blocks += std::int64_t{info.comp_info[c].width_in_blocks} *
                  std::int64_t{info.comp_info[c].height_in_blocks};
    }
    return blocks;
}

Reason HoldsBlocks(std::int64_t blocks, std::int64_t fileBytes) {
    if (blocks > fileBytes * kBitsPerByte) {
        return {ReasonCode::DamagedData, fileBytes,
                std::to_string(fileBytes) + " bytes cannot hold the " + std::to_string(blocks) +
                    " blocks the frame claims"};
    }
    return {};
}

// The first APP1 marker that holds EXIF.
ExifFacts ExifOf(const jpeg_decompress_struct& info) {
    for (jpeg_saved_marker_ptr m = info.marker_list; m != nullptr; m = m->next) {
        if (m->marker == kExifMarker) {
            const ExifFacts facts = ReadExif({m->data, m->data_length});
            if (facts.orientation != kUpright || facts.resolution) {
                return facts;
            }
        }
    }
    return {};
}

std::optional<Resolution> DensityOf(const jpeg_decompress_struct& info) {
    if (!info.saw_JFIF_marker || info.X_density == 0 || info.Y_density == 0) {
        return std::nullopt;
    }
    if (info.density_unit == kDensityUnitInch) {
        return Resolution{double(info.X_density), double(info.Y_density)};
    }
    if (info.density_unit == kDensityUnitCentimetre) {
        return Resolution{info.X_density * kCentimetresPerInch,
                          info.Y_density * kCentimetresPerInch};
    }
    return std::nullopt; // an aspect ratio only
}

} // namespace

JpegRows::JpegRows(std::unique_ptr<Decoder> decoder) : decoder_(std::move(decoder)) {
    const jpeg_decompress_struct& info = decoder_->info;
    layout_.Width = static_cast<std::int32_t>(info.image_width);
    layout_.Height = static_cast<std::int32_t>(info.image_height);
    layout_.Format = info.num_components == 1 ? kGrey8 : kRgb24;
    layout_.Stride = layout_.RowBytes();
    layout_.MaxValue = kMaxSample8;
}

JpegRows::~JpegRows() = default;

Outcome<std::unique_ptr<RowSource>> JpegRows::Open(const ByteSource& source) {
    std::uint8_t start[sizeof kStartOfImage] = {};
    if (source.ReadAt(0, start, sizeof start) != std::int64_t{sizeof start} ||
        !std::equal(std::begin(start), std::end(start), std::begin(kStartOfImage))) {
        return Reason(ReasonCode::NotThisFormat, 0, "JPEG");
    }
    auto d = std::make_unique<Decoder>();
    Attach(*d, source);
    if (!ReadHead(*d)) {
        return d->failure;
    }
    if (Reason problem = KindProblem(d->info)) {
        return problem;
    }
    d->blocks = BlocksOf(d->info);
    if (Reason unheld = HoldsBlocks(d->blocks, source.Length())) {
        return unheld;
    }
    if (!ReadProfile(*d)) {
        return d->failure;
    }
    // A resolution in EXIF stands where JFIF gives none (or an aspect ratio only).
    const ExifFacts exif = ExifOf(d->info);
    d->meta.resolution = DensityOf(d->info);
    if (!d->meta.resolution) {
        d->meta.resolution = exif.resolution;
    }
    d->orientation = exif.orientation;
    d->info.out_color_space = d->info.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    return std::unique_ptr<RowSource>(new JpegRows(std::move(d)));
}

std::int64_t JpegRows::HeldBytes() const {
    return decoder_->severalScans ? decoder_->blocks * kCoefficientBytes : 0;
}

ImageMeta JpegRows::Meta() const {
    return decoder_->meta;
}

FetchedRows JpegRows::Rows(std::int32_t first, std::int32_t count, std::uint8_t* scratch) const {
    Decoder& d = *decoder_;
    if (d.failure) {
        return {nullptr, d.failure}; // libjpeg-turbo's state is undefined after an error
    }
    if (first != d.nextRow) {
        return {nullptr, Reason(ReasonCode::ReadFailed)}; // rows come once each, in order
    }
    if (!d.started) {
        if (!StartDecoding(d)) {
            return {nullptr, d.failure};
        }
        d.started = true;
    }
    if (!ReadLines(d, scratch, layout_.Stride, count)) {
        return {nullptr, d.failure};
    }
    d.nextRow += count;
    if (d.nextRow == layout_.Height) {
        Finish(d);
    }
    return {scratch, {}};
}

std::int32_t JpegRows::Orientation() const {
    return decoder_->orientation;
}

Reason JpegRows::Warning() const {
    const Decoder& d = *decoder_;
    return d.endMade && !d.failure && d.nextRow == layout_.Height ? Reason(ReasonCode::NoEndMarker)
                                                                  : Reason();
}
