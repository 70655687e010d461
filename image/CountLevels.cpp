// Every run of rows is widened to R, G, B, x levels in a worker's own buffer
// and counted there: a scan's rows by the level kernel, a BMP's rows by the
// same in-place widening the window's reader uses, so that the counts are
// those of the image the window would hold.
#include "image/CountLevels.h"

#include "image/formats/BmpPixels.h"
#include "image/formats/FileRows.h"
#include "image/rows/ImageBuffer.h"
#include "image/rows/LevelRows.h"
#include "image/rows/ParallelRows.h"
#include "image/rows/Pipeline.h"

#include <cstring>
#include <mutex>

namespace {

using Widen = std::function<const std::uint8_t*(const std::uint8_t* stored, std::uint8_t* out)>;

// Runs over `source`, each stored row made a row of levels by `widen`.
Outcome<LevelHistogram> CountRuns(const RowSource& source, std::int64_t outRowBytes,
                                  const Widen& widen) {
    LevelHistogram total;
    const RowLayout& layout = source.Layout();
    if (!layout.HasRows()) {
        return total;
    }
    const Outcome<RowRuns> runs = RowRuns::Plan(source, outRowBytes, {});
    if (!runs) {
        return runs.Why();
    }
    std::mutex mutex;
    const Reason failed = runs->Run(
        [&](std::int32_t, std::int32_t count, const std::uint8_t* rows, std::uint8_t* out) {
            LevelCounter counter;
            for (std::int32_t k = 0; k < count; ++k) {
                counter.AddRows(widen(rows + k * layout.Stride, out), layout.Width, 1);
            }
            const std::lock_guard lock(mutex);
            total.Add(counter.Total());
            return true;
        });
    if (failed) {
        return failed;
    }
    return total;
}

} // namespace

Outcome<LevelHistogram> CountLevels(const RowSource& source) {
    const RowLayout& layout = source.Layout();
    if (IsScanFormat(layout.Format)) {
        // The view's rows are levels already; no output buffer is needed.
        const LevelRows levels(source);
        return CountRuns(levels, 0, [](const std::uint8_t* row, std::uint8_t*) { return row; });
    }
    const std::int64_t width = layout.Width;
    const auto bytesPerPixel = static_cast<std::int32_t>(layout.Format.BytesPerPixel());
    const std::int64_t storedAt = StoredRowOffset(layout.Width, bytesPerPixel);
    const BmpPalette palette = PackColours(source.Colours());
    return CountRuns(source, width * kImageBytesPerPixel,
                     [&](const std::uint8_t* stored, std::uint8_t* out) {
                         std::memcpy(out + storedAt, stored, std::size_t(layout.RowBytes()));
                         ExpandRowInPlace(out, layout.Width, bytesPerPixel, palette);
                         return static_cast<const std::uint8_t*>(out);
                     });
}

LevelHistogram CountKeptLevels(const ImageBuffer& image) {
    LevelHistogram total;
    if (image.Pixels == nullptr) {
        return total;
    }
    const std::int64_t rowBytes = std::int64_t{image.Width} * kImageBytesPerPixel;
    std::mutex mutex;
    ForRowRanges(image.Height, image.Width, [&](std::int32_t begin, std::int32_t end) {
        LevelCounter counter;
        counter.AddRows(image.Pixels + begin * rowBytes, image.Width, end - begin);
        const std::lock_guard lock(mutex);
        total.Add(counter.Total());
        return true;
    });
    return total;
}

Outcome<LevelHistogram> CountImageLevels(const std::filesystem::path& path, Reason* warning) {
    return UseFileRows(
        path, ReadFormatOf(path), [](const RowSource& rows) { return CountLevels(rows); }, warning);
}
