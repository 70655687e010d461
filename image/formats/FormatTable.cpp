// The table itself, and the choices made through it.
#include "image/formats/FormatTable.h"

#include "image/formats/BmpRows.h"
#include "image/formats/BmpWriter.h"
#include "image/formats/ColourProfile.h"
#include "image/formats/JpegRows.h"
#include "image/formats/JpegWriter.h"
#include "image/formats/PdfPages.h"
#include "image/formats/PngRows.h"
#include "image/formats/PngWriter.h"
#include "image/formats/PnmRows.h"
#include "image/formats/PnmWriter.h"
#include "image/formats/TiffRows.h"
#include "image/formats/TiffWriter.h"
#include "image/rows/OrientedRows.h"

#include <array>

namespace {

constexpr std::int32_t kGreyChannel = 1;
constexpr std::int32_t kBmpRowAlign = 4;

template <typename Rows> Outcome<std::unique_ptr<RowSource>> Boxed(Outcome<Rows> rows) {
    if (!rows) {
        return rows.Why();
    }
    return std::unique_ptr<RowSource>(std::make_unique<Rows>(std::move(*rows)));
}

Outcome<std::unique_ptr<RowSource>> OpenBmp(const ByteSource& source) {
    return Boxed(BmpRows::Open(source));
}

Outcome<std::unique_ptr<RowSource>> OpenPnm(const ByteSource& source) {
    return Boxed(PnmRows::Open(source));
}

constexpr FormatName kBmpNames[] = {{".bmp"}};
constexpr FormatName kPnmNames[] = {{".pnm"}, {".ppm"}, {".pgm", true}};
constexpr FormatName kPngNames[] = {{".png"}};
constexpr FormatName kTiffNames[] = {{".tif"}, {".tiff"}};
constexpr FormatName kJpegNames[] = {{".jpg"}, {".jpeg"}};
constexpr FormatName kPdfNames[] = {{".pdf"}};

// BMP: 24-bit B, G, R rows stored bottom-up and padded to 4 bytes; the
// resolution in pixels per metre. PNM: grey or RGB, 8 or 16 bits
// big-endian, nothing else. PNG: grey or RGB, 8 or 16 bits big-endian, pHYs
// and iCCP, always deflated (no choice to take). TIFF: grey or RGB, 8 or 16
// bits in the machine's order, resolution, ICC profile, Deflate or LZW when
// asked for.
// JPEG: grey or RGB, 16-bit rows (in the machine's order) rounded to 8,
// density and profile, a quality. PDF: written only, grey or RGB pages of
// 8 or 16 bits (big-endian, as PDF stores them), page size from the
// resolution, profile, JPEG pages at a quality.
const std::array<FormatEntry, 6> kFormats{{
    {.Format = ImageFormat::Bmp,
     .Label = "BMP",
     .Names = kBmpNames,
     .Open = OpenBmp,
     .Write = WriteBmp,
     .Help = "24-bit BMP, 8 bits",
     .HoldsGrey = false,
     .HoldsWide = false,
     .HoldsResolution = true,
     .HoldsProfile = false,
     .TakesCompression = false,
     .Order = SampleOrder::Bgr,
     .Words = std::endian::little,
     .BottomUp = true,
     .RowAlign = kBmpRowAlign},
    {.Format = ImageFormat::Pnm,
     .Label = "PNM",
     .Names = kPnmNames,
     .Open = OpenPnm,
     .Write = WritePnm,
     .Help = "binary PNM, 8 or 16 bits (P6; a grey scan stays grey, P5)",
     .HoldsGrey = true,
     .HoldsWide = true,
     .HoldsResolution = false,
     .HoldsProfile = false,
     .TakesCompression = false,
     .Order = SampleOrder::Rgb,
     .Words = std::endian::big,
     .BottomUp = false,
     .RowAlign = 1},
    {.Format = ImageFormat::Png,
     .Label = "PNG",
     .Names = kPngNames,
     .Open = PngRows::Open,
     .Write = WritePng,
     .Help = "PNG, grey or RGB, 8 or 16 bits, deflated with matches where they pay (clean "
             "pages) and as literals only where they do not (grain)",
     .HoldsGrey = true,
     .HoldsWide = true,
     .HoldsResolution = true,
     .HoldsProfile = true,
     .TakesCompression = false,
     .Order = SampleOrder::Rgb,
     .Words = std::endian::big,
     .BottomUp = false,
     .RowAlign = 1},
    {.Format = ImageFormat::Tiff,
     .Label = "TIFF",
     .Names = kTiffNames,
     .Open = TiffRows::Open,
     .Write = WriteTiff,
     .Help = "TIFF, grey or RGB, 8 or 16 bits, uncompressed, or Deflate (--compress) or LZW "
             "(--compress lzw) after the horizontal predictor",
     .HoldsGrey = true,
     .HoldsWide = true,
     .HoldsResolution = true,
     .HoldsProfile = true,
     .TakesCompression = true,
     .Order = SampleOrder::Rgb,
     .Words = std::endian::native,
     .BottomUp = false,
     .RowAlign = 1},
    {.Format = ImageFormat::Jpeg,
     .Label = "JPEG",
     .Names = kJpegNames,
     .Open = JpegRows::Open,
     .Write = WriteJpeg,
     .Help = "JPEG, grey or colour, 8 bits (16-bit samples rounded), --quality 1..100 (92 by "
             "default); chroma 4:4:4 at quality 90 and above, 4:2:0 below",
     .HoldsGrey = true,
     .HoldsWide = false,
     .HoldsResolution = true,
     .HoldsProfile = true,
     .TakesCompression = false,
     .RoundsWide = true,
     .TakesQuality = true,
     .Order = SampleOrder::Rgb,
     .Words = std::endian::native,
     .BottomUp = false,
     .RowAlign = 1},
    {.Format = ImageFormat::Pdf,
     .Label = "PDF",
     .Names = kPdfNames,
     .Open = nullptr,
     .Write = WritePdf,
     .OpenPages = OpenPdfPages,
     .Help = "PDF, one grey or RGB page per image, sized by its resolution (300 dpi where it "
             "has none); lossless (Flate with the PNG predictor, 8 or 16 bits), or JPEG pages "
             "with --quality",
     .HoldsGrey = true,
     .HoldsWide = true,
     .HoldsResolution = true,
     .HoldsProfile = true,
     .TakesCompression = false,
     .RoundsWide = false,
     .TakesQuality = true,
     .Order = SampleOrder::Rgb,
     .Words = std::endian::big,
     .BottomUp = false,
     .RowAlign = 1},
}};

} // namespace

const FormatEntry& EntryOf(ImageFormat format) {
    return kFormats.at(static_cast<std::size_t>(format));
}

std::span<const FormatEntry> AllFormats() {
    return kFormats;
}

bool TakesWideRows(ImageFormat format) {
    return EntryOf(format).HoldsWide || EntryOf(format).RoundsWide;
}

bool HoldsPages(const FormatEntry& entry) {
    return entry.OpenPages != nullptr;
}

bool TakesQuality(const FormatEntry& entry) {
    return entry.TakesQuality;
}

RowShape WriterShape(ImageFormat format, std::int32_t width, std::int32_t height,
                     std::int32_t channels, std::int32_t bits) {
    const FormatEntry& entry = EntryOf(format);
    RowShape shape;
    shape.Width = width;
    shape.Height = height;
    shape.Channels = channels == kGreyChannel && entry.HoldsGrey ? kGreyChannel : kColourChannels;
    shape.Bits = TakesWideRows(format) ? bits : kNarrowBits;
    shape.Order = entry.Order;
    shape.Words = entry.Words;
    shape.BottomUp = entry.BottomUp;
    shape.RowAlign = entry.RowAlign;
    return shape;
}

Outcome<std::unique_ptr<RowSource>> OpenRows(ImageFormat format, const ByteSource& source) {
    const FormatEntry& entry = EntryOf(format);
    if (entry.Open == nullptr) {
        return Reason(RefusedImage::NotReadFormat, std::string(entry.Label));
    }
    Outcome<std::unique_ptr<RowSource>> rows = entry.Open(source);
    if (!rows) {
        return rows;
    }
    return TurnedUpright(std::move(*rows));
}

Reason WriteRows(ImageFormat format, const RowShape& shape, const RowProducer& produce,
                 const Replacement& output, const WriteOptions& options) {
    const FormatEntry& entry = EntryOf(format);
    WriteOptions kept = options;
    if (!entry.HoldsResolution) {
        kept.Meta.resolution.reset();
    }
    Outcome<std::vector<std::uint8_t>> fitted = ProfileForChannels(
        entry.HoldsProfile ? options.Meta.profile : std::vector<std::uint8_t>{}, shape.Channels);
    if (!fitted) {
        return fitted.Why();
    }
    kept.Meta.profile = std::move(*fitted);
    if (!entry.TakesCompression) {
        kept.Compression = TiffCompression::None;
    }
    if (!entry.TakesQuality) {
        kept.Quality.reset();
    }
    return entry.Write(shape, produce, output, kept);
}
