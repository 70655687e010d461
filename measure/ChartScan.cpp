// Stored rows fetched a run at a time and each sample scaled to 0..65535
// (RowSteps), so that an 8-bit, a 16-bit and a PNM of any maxval are
// measured alike.
#include "measure/ChartScan.h"

#include "image/formats/FileRows.h"
#include "image/rows/ImageBuffer.h"
#include "image/rows/MemoryAvailable.h"
#include "measure/RowSteps.h"

#include <algorithm>

namespace {

constexpr std::int32_t kRowsPerRun = 64;

} // namespace

Outcome<ChartScan> ScanOfRows(const RowSource& source) {
    const RowLayout& layout = source.Layout();
    ChartScan scan{layout.Width, layout.Height, {}};
    const std::int64_t bytes = std::int64_t{layout.Width} * layout.Height * kScanChannels * 2;
    if (Reason tooLarge = CheckMemoryFor(bytes)) {
        return tooLarge;
    }
    if (layout.MaxValue <= 0) {
        return Reason(ReasonCode::BadHeader);
    }
    scan.rgb.resize(std::size_t(bytes / 2));
    std::vector<std::uint8_t> scratch(std::size_t(source.ScratchBytes(kRowsPerRun)));
    std::vector<std::uint8_t> wide(std::size_t(layout.Width) * kImageBytesPerPixel);
    const RowSteps steps(source);
    for (std::int32_t first = 0; first < layout.Height; first += kRowsPerRun) {
        const std::int32_t count = std::min(kRowsPerRun, layout.Height - first);
        const FetchedRows fetched = source.Rows(first, count, scratch.data());
        if (fetched.Why) {
            return fetched.Why;
        }
        for (std::int32_t k = 0; k < count; ++k) {
            const std::int32_t y = layout.UprightRow(first + k);
            steps.Convert(fetched.First + k * layout.Stride, wide.data(),
                          scan.rgb.data() +
                              std::size_t(y) * std::size_t(layout.Width) * kScanChannels);
        }
    }
    return scan;
}

Outcome<ChartScan> ReadChartScan(const std::filesystem::path& path, Reason* warning) {
    return UseFileRows(
        path, ReadFormatOf(path), [](const RowSource& rows) { return ScanOfRows(rows); }, warning);
}
