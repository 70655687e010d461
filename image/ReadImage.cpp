// BMP files through their own reader; scans (files or pages) through the
// pipeline, each run of stored rows converted straight into its place in the
// array: to levels (array row 0 is the image's bottom row, as for a top-down
// BMP), or a 16-bit scan's samples into the machine's byte order, row for row.
#include "image/ReadImage.h"

#include "image/formats/FileRows.h"
#include "image/kernels/ScanLevels.h"
#include "image/kernels/WidePicture.h"
#include "image/rows/CropRows.h"
#include "image/rows/MemoryAvailable.h"
#include "image/rows/MemoryRows.h"
#include "image/rows/Pipeline.h"
#include "image/rows/PixelMemory.h"

#include <functional>
#include <limits>

namespace {

constexpr std::int64_t kMostBytes = std::numeric_limits<std::int64_t>::max();
constexpr std::int32_t kNoKeptBytes = 0; // a page kept as it is costs nothing more

// The window's picture and preview, and what the reader holds meanwhile (a
// band of tiles, a whole interlaced PNG, a turned picture).
Reason CheckWindowMemory(const RowSource& source, std::int32_t keptBytesPerPixel) {
    const RowLayout& layout = source.Layout();
    const std::int64_t windowBytes =
        WindowImageBytes(layout.Width, layout.Height, keptBytesPerPixel);
    return CheckMemoryFor(windowBytes > kMostBytes - source.HeldBytes()
                              ? kMostBytes
                              : windowBytes + source.HeldBytes());
}

// Every stored row of `source` through `convert` into `array`, rows of
// `rowBytes`: stored row k at array row k, or at row Height - 1 - k when
// `reversed`. With `inPlace` the rows are read where they stay and
// converted there.
Reason FillArray(const RowSource& source, std::uint8_t* array, std::int64_t rowBytes, bool reversed,
                 const std::function<void(const RowBlock&)>& convert, bool inPlace = false) {
    const RowLayout& layout = source.Layout();
    if (!layout.HasRows()) {
        return {};
    }
    PipelineOptions options;
    if (inPlace) {
        options.ReadInto = [&](std::int32_t first) { return array + first * rowBytes; };
    }
    const Outcome<RowRuns> runs = RowRuns::Plan(source, 0, options);
    if (!runs) {
        return runs.Why();
    }
    return runs->Run(
        [&](std::int32_t first, std::int32_t count, const std::uint8_t* rows, std::uint8_t*) {
            const std::int64_t row = reversed ? layout.Height - 1 - first : first;
            convert({rows, layout.Stride, array + row * rowBytes, reversed ? -rowBytes : rowBytes,
                     count, layout.Width});
            return true;
        });
}

Outcome<KeptImage> KeepWideRows(const RowSource& source) {
    const RowLayout& layout = source.Layout();
    const WordCopyKernel copy = WordCopyKernelFor(layout.Format);
    const RowFormat format = NativeWordFormat(layout.Format);
    const auto bytesPerPixel = static_cast<std::int32_t>(format.BytesPerPixel());
    if (Reason tooLarge = CheckWindowMemory(source, bytesPerPixel)) {
        return tooLarge;
    }
    const std::int64_t rowBytes = std::int64_t{layout.Width} * bytesPerPixel;
    auto pixels = AllocatePixelBlock(std::uint64_t(rowBytes), std::uint64_t(layout.Height));
    if (!pixels) {
        return Reason(ReasonCode::NoMemory, rowBytes * layout.Height);
    }
    // A reader that reads its rows as they are stored, row for row, reads
    // them straight into the picture (a full pass over it saved).
    const bool inPlace =
        !layout.BottomUp && layout.Stride == rowBytes && source.ScratchBytes(1) == rowBytes;
    if (Reason failed = FillArray(source, pixels->get(), rowBytes, false, copy, inPlace)) {
        return failed;
    }
    const RowLayout kept{layout.Width,    layout.Height, format,
                         layout.BottomUp, rowBytes,      layout.MaxValue};
    const std::uint8_t* first = pixels->get();
    return KeptImage(std::shared_ptr<const std::uint8_t>(pixels->release(), FreeDeleter{}), first,
                     kept);
}

} // namespace

Outcome<DecodedImage> DecodeRows(const RowSource& source) {
    const RowLayout& layout = source.Layout();
    const LevelKernel kernel = LevelKernelFor(layout.Format);
    if (kernel == nullptr) {
        return Reason(ReasonCode::Unsupported, 0, "unsupported row format");
    }
    if (Reason tooLarge = CheckWindowMemory(source, kImageBytesPerPixel)) {
        return tooLarge;
    }
    const std::int64_t rowBytes = std::int64_t{layout.Width} * kImageBytesPerPixel;
    auto pixels = AllocatePixelBlock(std::uint64_t(rowBytes), std::uint64_t(layout.Height));
    if (!pixels) {
        return Reason(ReasonCode::NoMemory, rowBytes * layout.Height);
    }
    const std::vector<std::uint8_t> levels =
        SampleLevels8(layout.MaxValue, layout.Format.BitsPerSample);
    if (Reason failed = FillArray(source, pixels->get(), rowBytes, true,
                                  [&](const RowBlock& block) { kernel(block, levels); })) {
        return failed;
    }
    std::uint8_t* const start = pixels->get();
    return DecodedImage({true, layout.Width, layout.Height, start}, std::move(*pixels));
}

Outcome<DecodedImage> ReadImageFile(const std::filesystem::path& path, Reason* warning) {
    const ImageFormat format = ReadFormatOf(path);
    if (format == ImageFormat::Bmp) {
        return ReadBmpFile(path);
    }
    return UseFileRows(
        path, format, [](const RowSource& rows) { return DecodeRows(rows); }, warning);
}

KeptImage KeepLevels(DecodedImage levels) {
    const ImageBuffer image = std::move(levels).Release();
    return KeptImage::OfLevels(image, MallocPtr<std::uint8_t>(image.Pixels));
}

Outcome<KeptImage> KeepRows(const RowSource& source) {
    if (WordCopyKernelFor(source.Layout().Format) != nullptr) {
        return KeepWideRows(source);
    }
    Outcome<DecodedImage> levels = DecodeRows(source);
    if (!levels) {
        return levels.Why();
    }
    return KeepLevels(std::move(*levels));
}

Outcome<KeptImage> ReadPictureFile(const std::filesystem::path& path, Reason* warning) {
    const ImageFormat format = ReadFormatOf(path);
    if (format == ImageFormat::Bmp) {
        Outcome<DecodedImage> levels = ReadBmpFile(path);
        if (!levels) {
            return levels.Why();
        }
        return KeepLevels(std::move(*levels));
    }
    return UseFileRows(
        path, format, [](const RowSource& rows) { return KeepRows(rows); }, warning);
}

Outcome<KeptImage> KeepPage(std::shared_ptr<const SampleImage> page) {
    const MemoryRows rows = RowsOf(*page);
    if (page->layout.depth != kWordDepth) {
        return KeepRows(rows);
    }
    // The page is in memory already: only the preview is still to be had.
    if (Reason tooLarge = CheckMemoryFor(
            WindowImageBytes(rows.Layout().Width, rows.Layout().Height, kNoKeptBytes))) {
        return tooLarge;
    }
    const std::uint8_t* first = page->bytes.data();
    return KeptImage(std::move(page), first, rows.Layout());
}

// The crop is one of the shared read's crops (image/rows/CropRows), so the
// rows above and below it are read past and never kept.
Outcome<KeptImage> ReadImageCrop(const std::filesystem::path& path, const PixelRect& crop) {
    std::optional<Outcome<KeptImage>> kept;
    const Reason read = UseFileRows(path, ReadFormatOf(path), [&](const RowSource& rows) {
        const std::vector<Reason> used =
            UseCrops(rows, std::span(&crop, 1), [&](std::size_t, const RowSource& cropRows) {
                kept = KeepRows(cropRows);
                return *kept ? Reason() : kept->Why();
            });
        return used.front();
    });
    if (read || !kept) {
        return Outcome<KeptImage>(read ? read : Reason(ReasonCode::ReadFailed));
    }
    return std::move(*kept);
}
