// Scanned samples come as RGB or grey rows, top-down, 16-bit samples in the
// machine's order. Where the writer takes them so, a run goes through as it
// is; where only the byte order differs, it is turned over in place; else
// each run is rebuilt in the writer's shape.
#include "image/SampleOutput.h"

#include "image/formats/RunRelay.h"
#include "image/kernels/WidePicture.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace {

// A copied run of about this size keeps the writes large.
constexpr std::size_t kCopyRunBytes = std::size_t{1} << 20;
constexpr int kLastColour = 2;

// How a page's rows become the writer's.
struct Conversion {
    SampleLayout in;
    RowShape out;

    bool Swaps() const { return in.depth == kWordDepth && out.Words != std::endian::native; }
    bool Rebuilds() const {
        return in.channels != out.Channels || out.Order != SampleOrder::Rgb || out.BottomUp ||
               out.RowBytes() != static_cast<std::int64_t>(in.RowBytes());
    }
};

// Pixel by pixel: grey repeated into each colour, colours in the writer's
// order, each sample's bytes turned over when asked; rows placed reversed
// for a bottom-up writer.
void Rebuild(const Conversion& c, std::span<const std::uint8_t> rows, std::uint8_t* out) {
    const std::size_t sampleBytes = c.in.BytesPerSample();
    const std::size_t inRow = c.in.RowBytes();
    const auto outRow = static_cast<std::size_t>(c.out.RowBytes());
    const std::size_t count = rows.size() / inRow;
    const bool swap = c.Swaps();
    for (std::size_t r = 0; r < count; ++r) {
        const std::uint8_t* src = rows.data() + r * inRow;
        std::uint8_t* dst = out + (c.out.BottomUp ? count - 1 - r : r) * outRow;
        for (std::int32_t x = 0; x < c.in.width; ++x) {
            const std::uint8_t* pixel =
                src + std::size_t(x) * std::size_t(c.in.channels) * sampleBytes;
            for (int k = 0; k < c.out.Channels; ++k) {
                const int from = c.in.channels == kGreyChannels    ? 0
                                 : c.out.Order == SampleOrder::Bgr ? kLastColour - k
                                                                   : k;
                const std::uint8_t* sample = pixel + std::size_t(from) * sampleBytes;
                if (swap) {
                    std::reverse_copy(sample, sample + sampleBytes, dst);
                } else {
                    std::copy_n(sample, sampleBytes, dst);
                }
                dst += sampleBytes;
            }
        }
    }
}

using SampleTarget = std::function<Reason(const RowShape&, const RowProducer&)>;

Reason WriteSamplesTo(const SampleLayout& layout, ImageFormat format, const SampleRuns& runs,
                      const SampleTarget& target) {
    const Conversion c{
        layout, WriterShape(format, layout.width, layout.height, layout.channels, layout.depth)};
    if (c.out.Bits != layout.depth) {
        return {ReasonCode::Unsupported, 0,
                std::string(EntryOf(format).Label) + " holds 8-bit samples only"};
    }
    // The runs come in order on one thread; a writer that asks for runs on
    // every core has them relayed.
    const RowProducer inOrder = [&](const RowRunSink& sink, const RunRequest&) -> Reason {
        std::int32_t next = 0;
        std::vector<std::uint8_t> rebuilt;
        return runs([&](std::span<std::uint8_t> rows) {
            const auto count = static_cast<std::int32_t>(rows.size() / layout.RowBytes());
            std::uint8_t* out = rows.data();
            if (c.Rebuilds()) {
                rebuilt.resize(static_cast<std::size_t>(count * c.out.RowBytes()));
                Rebuild(c, rows, rebuilt.data());
                out = rebuilt.data();
            } else if (c.Swaps()) {
                SwapWords(rows);
            }
            const std::int32_t first = c.out.BottomUp ? layout.height - next - count : next;
            next += count;
            return sink(first, count, out);
        });
    };
    const RowProducer produce = [&](const RowRunSink& sink, const RunRequest& request) {
        return request.RowsPerRun > 0 ? RelayRuns(c.out, inOrder, sink, request.RowsPerRun)
                                      : inOrder(sink, request);
    };
    return target(c.out, produce);
}

} // namespace

Reason WriteSamples(const SampleLayout& layout, ImageFormat format, const SampleRuns& runs,
                    const Replacement& output, const WriteOptions& options) {
    return WriteSamplesTo(layout, format, runs, [&](const RowShape& shape, const RowProducer& p) {
        return WriteRows(format, shape, p, output, options);
    });
}

Reason WriteSamplesToPage(const SampleLayout& layout, ImageFormat format, const SampleRuns& runs,
                          PageWriter& pages, const WriteOptions& options) {
    return WriteSamplesTo(layout, format, runs, [&](const RowShape& shape, const RowProducer& p) {
        return pages.AddPage(shape, p, options);
    });
}

SampleRuns RunsOf(const SampleImage& image) {
    return [&image](const SampleRunSink& sink) -> Reason {
        const std::size_t rowBytes = std::max<std::size_t>(image.layout.RowBytes(), 1);
        const std::size_t runBytes = std::max(kCopyRunBytes / rowBytes, std::size_t{1}) * rowBytes;
        std::vector<std::uint8_t> copy;
        for (std::size_t at = 0; at < image.bytes.size(); at += runBytes) {
            const std::size_t size = std::min(runBytes, image.bytes.size() - at);
            copy.assign(image.bytes.begin() + static_cast<std::ptrdiff_t>(at),
                        image.bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
            if (!sink(copy)) {
                return {ReasonCode::WriteFailed};
            }
        }
        return {};
    };
}
