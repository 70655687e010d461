// BMP files through their own reader; scans (files or pages) through the pipeline, each run of
// stored rows turned to levels straight into its place in the array (array
// row 0 is the image's bottom row, as for a top-down BMP).
#include "image/ReadImage.h"

#include "image/formats/FileRows.h"
#include "image/kernels/ScanLevels.h"
#include "image/rows/MemoryAvailable.h"
#include "image/rows/PixelMemory.h"
#include "image/rows/Pipeline.h"

#include <limits>

namespace {

constexpr std::int64_t kMostBytes = std::numeric_limits<std::int64_t>::max();

// The window's image array, once the memory check has found room for it,
// its preview and what the reader holds meanwhile (a band of tiles, a
// whole interlaced PNG, a turned picture).
Outcome<MallocPtr<std::uint8_t>> WindowPixels(const RowSource& source) {
    const RowLayout& layout = source.Layout();
    const std::int64_t windowBytes = WindowImageBytes(layout.Width, layout.Height);
    const std::int64_t needed = windowBytes > kMostBytes - source.HeldBytes()
                                    ? kMostBytes
                                    : windowBytes + source.HeldBytes();
    if (Reason tooLarge = CheckMemoryFor(needed)) {
        return tooLarge;
    }
    const std::int64_t rowBytes = std::int64_t{layout.Width} * kImageBytesPerPixel;
    auto pixels = AllocatePixelBlock(std::uint64_t(rowBytes), std::uint64_t(layout.Height));
    if (!pixels) {
        return Reason(ReasonCode::NoMemory, rowBytes * layout.Height);
    }
    return std::move(*pixels);
}

} // namespace

Outcome<DecodedImage> DecodeRows(const RowSource& source) {
    const RowLayout& layout = source.Layout();
    const LevelKernel kernel = LevelKernelFor(layout.Format);
    if (kernel == nullptr) {
        return Reason(ReasonCode::Unsupported, 0, "unsupported row format");
    }
    Outcome<MallocPtr<std::uint8_t>> pixels = WindowPixels(source);
    if (!pixels) {
        return pixels.Why();
    }
    const std::int64_t rowBytes = std::int64_t{layout.Width} * kImageBytesPerPixel;
    if (layout.HasRows()) {
        const Outcome<RowRuns> runs = RowRuns::Plan(source, 0, {});
        if (!runs) {
            return runs.Why();
        }
        const std::vector<std::uint8_t> sampleLevels =
            SampleLevels8(layout.MaxValue, layout.Format.BitsPerSample);
        std::uint8_t* array = pixels->get();
        Reason failed = runs->Run(
            [&](std::int32_t first, std::int32_t count, const std::uint8_t* rows, std::uint8_t*) {
                std::uint8_t* out = array + (layout.Height - 1 - first) * rowBytes;
                kernel({rows, layout.Stride, out, -rowBytes, count, layout.Width}, sampleLevels);
                return true;
            });
        if (failed) {
            return failed;
        }
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
