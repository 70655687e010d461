// The table itself, and the choices made through it.
#include "image/formats/FormatTable.h"

#include "image/formats/BmpRows.h"
#include "image/formats/BmpWriter.h"
#include "image/formats/JpegRows.h"
#include "image/formats/JpegWriter.h"
#include "image/formats/PdfWriter.h"
#include "image/formats/PngRows.h"
#include "image/formats/PngWriter.h"
#include "image/formats/PnmRows.h"
#include "image/formats/PnmWriter.h"
#include "image/formats/TiffRows.h"
#include "image/formats/TiffWriter.h"
#include "image/rows/OrientedRows.h"
#include "io/Letters.h"

#include <algorithm>
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
// big-endian, nothing else. PNG: RGB, 8 or 16 bits big-endian, pHYs and
// iCCP, always deflated (no choice to take). TIFF: RGB, 8 or 16 bits in the
// machine's order, resolution, ICC profile, Deflate or LZW when asked for.
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
     .DialogLabel = "BMP 画像",
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
     .DialogLabel = "PNM 画像",
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
     .DialogLabel = "PNG 画像",
     .Help = "PNG, 8 or 16 bits, rows filtered Up and deflated as literals only (the fastest)",
     .HoldsGrey = false,
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
     .DialogLabel = "TIFF 画像",
     .Help = "TIFF, 8 or 16 bits, uncompressed, or Deflate (--compress) or LZW (--compress "
             "lzw) after the horizontal predictor",
     .HoldsGrey = false,
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
     .DialogLabel = "JPEG 画像",
     .Help = "JPEG, 8 bits (16-bit samples rounded), --quality 1..100 (92 by default); chroma "
             "4:4:4 at quality 90 and above, 4:2:0 below",
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
     .DialogLabel = "PDF 文書",
     .Help = "PDF, one page per image, sized by its resolution (300 dpi where it has none); "
             "lossless (Flate with the PNG predictor, 8 or 16 bits), or JPEG pages with --quality",
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

bool Allows(NameUse use, const FormatName& name) {
    return use == NameUse::AnySamples || !name.Grey;
}

// The compressions a save dialog offers beside the plain format.
struct CompressionWords {
    TiffCompression Compression;
    std::string_view Words;
};
constexpr CompressionWords kCompressionWords[] = {
    {TiffCompression::Deflate, "Deflate 圧縮"},
    {TiffCompression::Lzw, "LZW 圧縮"},
};

// The help's lines: two spaces, the names and the words, broken at spaces
// before kHelpWidth columns and carried on four spaces in.
constexpr std::size_t kHelpWidth = 79;
constexpr std::string_view kHelpIndent = "  ";
constexpr std::string_view kHelpCarry = "    ";

std::string Wrapped(std::string_view text) {
    std::string out;
    std::string line(kHelpIndent);
    bool first = true;
    while (!text.empty()) {
        const std::size_t space = text.find(' ');
        const std::string_view word = text.substr(0, space);
        text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
        if (!first && line.size() + 1 + word.size() > kHelpWidth) {
            out += line + "\n";
            line = std::string(kHelpCarry) + std::string(word);
        } else {
            line += (first ? "" : " ") + std::string(word);
        }
        first = false;
    }
    return out + line + "\n";
}

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

std::optional<ImageFormat> FormatOfName(const std::filesystem::path& path, NameUse use) {
    const std::string extension = LowerCase(path.extension().string());
    for (const FormatEntry& entry : kFormats) {
        for (const FormatName& name : entry.Names) {
            if (name.Extension == extension && Allows(use, name)) {
                return entry.Format;
            }
        }
    }
    return std::nullopt;
}

ImageFormat ReadFormatOf(const std::filesystem::path& path) {
    return FormatOfName(path).value_or(ImageFormat::Bmp);
}

bool HoldsPages(const FormatEntry& entry) {
    return entry.OpenPages != nullptr;
}

bool TakesQuality(const FormatEntry& entry) {
    return entry.TakesQuality;
}

std::string NameList(NameUse use, FormatPick pick) {
    std::vector<std::string_view> names;
    for (const FormatEntry& entry : kFormats) {
        if (pick != nullptr && !pick(entry)) {
            continue;
        }
        for (const FormatName& name : entry.Names) {
            if (Allows(use, name)) {
                names.push_back(name.Extension);
            }
        }
    }
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        list += i == 0 ? "" : i + 1 == names.size() ? " or " : ", ";
        list += names[i];
    }
    return list;
}

std::string OutputHelp(NameUse use) {
    std::string help;
    for (const FormatEntry& entry : kFormats) {
        std::string names;
        for (const FormatName& name : entry.Names) {
            if (Allows(use, name)) {
                names += (names.empty() ? "" : ", ") + std::string(name.Extension);
            }
        }
        help += Wrapped(names + ": " + std::string(entry.Help));
    }
    return help;
}

std::vector<SaveChoice> ScanSaveChoices() {
    std::vector<SaveChoice> choices;
    for (const FormatEntry& entry : kFormats) {
        if (!TakesWideRows(entry.Format)) {
            continue;
        }
        choices.push_back({entry.Format, TiffCompression::None, std::string(entry.DialogLabel)});
        for (const CompressionWords& c : kCompressionWords) {
            if (entry.TakesCompression) {
                choices.push_back(
                    {entry.Format, c.Compression,
                     std::string(entry.DialogLabel) + "（" + std::string(c.Words) + "）"});
            }
        }
    }
    return choices;
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
    if (!entry.HoldsProfile) {
        kept.Meta.profile.clear();
    }
    if (!entry.TakesCompression) {
        kept.Compression = TiffCompression::None;
    }
    if (!entry.TakesQuality) {
        kept.Quality.reset();
    }
    return entry.Write(shape, produce, output, kept);
}
