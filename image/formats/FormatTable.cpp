// The table itself, and the choices made through it.
#include "image/formats/FormatTable.h"

#include "image/formats/BmpRows.h"
#include "image/formats/BmpWriter.h"
#include "image/formats/PngRows.h"
#include "image/formats/PngWriter.h"
#include "image/formats/PnmRows.h"
#include "image/formats/PnmWriter.h"
#include "image/formats/TiffRows.h"
#include "image/formats/TiffWriter.h"
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

// BMP: 24-bit B, G, R rows stored bottom-up and padded to 4 bytes; the
// resolution in pixels per metre. PNM: grey or RGB, 8 or 16 bits
// big-endian, nothing else. PNG: RGB, 8 or 16 bits big-endian, pHYs and
// iCCP, always deflated (no choice to take). TIFF: RGB, 8 or 16 bits in the
// machine's order, resolution, ICC profile, Deflate or LZW when asked for.
const std::array<FormatEntry, 4> kFormats{{
    {.Format = ImageFormat::Bmp,
     .Label = "BMP",
     .Names = kBmpNames,
     .Open = OpenBmp,
     .Write = WriteBmp,
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
     .HoldsGrey = false,
     .HoldsWide = true,
     .HoldsResolution = true,
     .HoldsProfile = true,
     .TakesCompression = true,
     .Order = SampleOrder::Rgb,
     .Words = std::endian::native,
     .BottomUp = false,
     .RowAlign = 1},
}};

bool Allows(NameUse use, const FormatName& name) {
    return use == NameUse::AnySamples || !name.Grey;
}

} // namespace

const FormatEntry& EntryOf(ImageFormat format) {
    return kFormats.at(static_cast<std::size_t>(format));
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

std::string NameList(NameUse use) {
    std::vector<std::string_view> names;
    for (const FormatEntry& entry : kFormats) {
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

RowShape WriterShape(ImageFormat format, std::int32_t width, std::int32_t height,
                     std::int32_t channels, std::int32_t bits) {
    const FormatEntry& entry = EntryOf(format);
    RowShape shape;
    shape.Width = width;
    shape.Height = height;
    shape.Channels = channels == kGreyChannel && entry.HoldsGrey ? kGreyChannel : kColourChannels;
    shape.Bits = entry.HoldsWide ? bits : kNarrowBits;
    shape.Order = entry.Order;
    shape.Words = entry.Words;
    shape.BottomUp = entry.BottomUp;
    shape.RowAlign = entry.RowAlign;
    return shape;
}

Outcome<std::unique_ptr<RowSource>> OpenRows(ImageFormat format, const ByteSource& source) {
    return EntryOf(format).Open(source);
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
    return entry.Write(shape, produce, output, kept);
}
