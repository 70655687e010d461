// Every run of rows is widened to R, G, B, x levels in a worker's own buffer
// and counted there: a scan's rows by the level kernel, a BMP's rows by the
// same in-place widening the window's reader uses, so that the counts are
// those of the image the window would hold.
#include "image/CountLevels.h"

#include "image/formats/BmpPixels.h"
#include "image/formats/FileRows.h"
#include "image/rows/ImageBuffer.h"
#include "image/rows/LevelRows.h"
#include "image/rows/MemoryRows.h"
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

namespace {

// Packed rows of R, G, B, x levels, their halves counted on two threads.
LevelHistogram CountPackedLevels(const std::uint8_t* pixels, std::int32_t width,
                                 std::int32_t height) {
    LevelHistogram total;
    if (pixels == nullptr) {
        return total;
    }
    const std::int64_t rowBytes = std::int64_t{width} * kImageBytesPerPixel;
    std::mutex mutex;
    ForRowRanges(height, width, [&](std::int32_t begin, std::int32_t end) {
        LevelCounter counter;
        counter.AddRows(pixels + begin * rowBytes, width, end - begin);
        const std::lock_guard lock(mutex);
        total.Add(counter.Total());
        return true;
    });
    return total;
}

WideCounts CountSamples(const KeptImage& picture) {
    const RowLayout& layout = picture.Layout();
    const MemoryRows rows = picture.Rows();
    WideCounts total;
    total.MaxValue = layout.MaxValue;
    std::mutex mutex;
    ForRowRanges(layout.Height, layout.Width, [&](std::int32_t begin, std::int32_t end) {
        WideCounts counts;
        counts.AddRows(rows.Rows(begin, end - begin, nullptr).First, layout.Stride, layout.Width,
                       end - begin, layout.Format.Samples);
        const std::lock_guard lock(mutex);
        total.Add(counts);
        return true;
    });
    return total;
}

} // namespace

LevelHistogram CountKeptLevels(const ImageBuffer& image) {
    return CountPackedLevels(image.Pixels, image.Width, image.Height);
}

PictureCounts CountPicture(const KeptImage& picture) {
    if (!picture.Wide()) {
        const RowLayout& layout = picture.Layout();
        const FetchedRows rows = picture.Rows().Rows(0, layout.Height, nullptr);
        return {CountPackedLevels(rows.First, layout.Width, layout.Height), std::nullopt};
    }
    WideCounts samples = CountSamples(picture);
    const LevelHistogram own = FoldCounts(samples, WideToneMap({}, samples.MaxValue).Shown);
    return {own, std::move(samples)};
}

LevelHistogram CountsThrough(const PictureCounts& counts, const PictureTables& tables) {
    if (!counts.Samples) {
        return OutputHistogram(counts.Levels, tables.Levels);
    }
    return FoldCounts(*counts.Samples, WideToneMap(tables.Curves, counts.Samples->MaxValue).Shown);
}

Outcome<LevelHistogram> CountImageLevels(const std::filesystem::path& path, Reason* warning) {
    return UseFileRows(
        path, ReadFormatOf(path), [](const RowSource& rows) { return CountLevels(rows); }, warning);
}
