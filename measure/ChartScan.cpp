// Stored rows fetched a run at a time and each sample scaled to 0..65535, so
// that an 8-bit, a 16-bit and a PNM of any maxval are measured alike.
#include "measure/ChartScan.h"

#include "image/formats/FileRows.h"
#include "image/rows/MemoryAvailable.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::int32_t kRowsPerRun = 64;
constexpr int kLastColour = 2;
constexpr int kByteShift = 8;

// Sample `k` (0..Samples-1) of the pixel at `pixel`, raw.
std::uint32_t RawSample(const RowFormat& format, const std::uint8_t* pixel, int k) {
    if (format.BitsPerSample == kWideBits) {
        const std::uint8_t* at = pixel + 2 * k;
        if (format.BigEndian) {
            return std::uint32_t(at[0]) << kByteShift | at[1];
        }
        std::uint16_t word = 0;
        std::memcpy(&word, at, sizeof word);
        return word;
    }
    return pixel[k];
}

struct Scaling {
    std::uint32_t maxValue;
    std::uint16_t operator()(std::uint32_t v) const {
        const std::uint64_t held = std::min(v, maxValue);
        return static_cast<std::uint16_t>((held * kScanTop + maxValue / 2) / maxValue);
    }
};

void ConvertRow(const RowSource& source, const std::uint8_t* row, std::uint16_t* out) {
    const RowLayout& layout = source.Layout();
    const RowFormat& f = layout.Format;
    const std::int64_t pixelBytes = f.Indexed ? 1 : f.BytesPerPixel();
    const Scaling scale{static_cast<std::uint32_t>(f.Indexed ? kMaxSample8 : layout.MaxValue)};
    for (std::int32_t x = 0; x < layout.Width; ++x, out += kScanChannels) {
        const std::uint8_t* pixel = row + x * pixelBytes;
        for (int c = 0; c < kScanChannels; ++c) {
            std::uint32_t v = 0;
            if (f.Indexed) {
                v = source.Colours()[pixel[0]][c];
            } else if (f.Samples < kScanChannels) {
                v = RawSample(f, pixel, 0);
            } else {
                v = RawSample(f, pixel, f.Order == SampleOrder::Bgr ? kLastColour - c : c);
            }
            out[c] = scale(v);
        }
    }
}

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
    for (std::int32_t first = 0; first < layout.Height; first += kRowsPerRun) {
        const std::int32_t count = std::min(kRowsPerRun, layout.Height - first);
        const FetchedRows fetched = source.Rows(first, count, scratch.data());
        if (fetched.Why) {
            return fetched.Why;
        }
        for (std::int32_t k = 0; k < count; ++k) {
            const std::int32_t y = layout.UprightRow(first + k);
            ConvertRow(source, fetched.First + k * layout.Stride,
                       scan.rgb.data() +
                           std::size_t(y) * std::size_t(layout.Width) * kScanChannels);
        }
    }
    return scan;
}

Outcome<ChartScan> ReadChartScan(const std::filesystem::path& path) {
    return UseFileRows(path, ReadFormatOf(path),
                       [](const RowSource& rows) { return ScanOfRows(rows); });
}
