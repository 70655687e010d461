// The writers take RGB rows (PNM grey too), 16-bit samples big-endian for
// PNM and PNG and in the machine's order for TIFF; scanned samples are in
// the machine's order, so each run is turned over in place when needed.
#include "image/SampleOutput.h"

#include "image/formats/PngWriter.h"
#include "image/formats/PnmWriter.h"
#include "image/formats/TiffWriter.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A copied run of about this size keeps the writes large.
constexpr std::size_t kCopyRunBytes = std::size_t{1} << 20;
constexpr std::size_t kRgb = 3;

// Even and odd bytes of each 64-bit block swap places: four 16-bit samples
// turned over at once.
constexpr std::uint64_t kLowBytes = 0x00FF00FF00FF00FFULL;
constexpr int kByteBits = 8;

void SwapWords(std::span<std::uint8_t> bytes) {
    std::size_t i = 0;
    for (; i + sizeof(std::uint64_t) <= bytes.size(); i += sizeof(std::uint64_t)) {
        std::uint64_t block = 0;
        std::memcpy(&block, bytes.data() + i, sizeof block);
        block = (block & kLowBytes) << kByteBits | (block >> kByteBits & kLowBytes);
        std::memcpy(bytes.data() + i, &block, sizeof block);
    }
    for (; i + 1 < bytes.size(); i += 2) {
        std::swap(bytes[i], bytes[i + 1]);
    }
}

// Each grey sample (of `sampleBytes`) three times.
void GreyToRgb(std::span<const std::uint8_t> grey, std::size_t sampleBytes,
               std::vector<std::uint8_t>& rgb) {
    rgb.resize(grey.size() * kRgb);
    std::uint8_t* out = rgb.data();
    for (std::size_t i = 0; i < grey.size(); i += sampleBytes) {
        for (std::size_t c = 0; c < kRgb; ++c, out += sampleBytes) {
            std::copy_n(grey.data() + i, sampleBytes, out);
        }
    }
}

Reason Write(OutputKind kind, const RgbShape& shape, bool grey, const RgbProducer& produce,
             const Replacement& output, const SampleFileOptions& options) {
    switch (kind) {
    case OutputKind::Png:
        return WritePng(shape, produce, output, options.meta);
    case OutputKind::Tiff:
        return WriteTiff(shape, options.compression, produce, output, options.meta);
    default:
        return WritePnm(shape, produce, output, grey ? PnmSamples::Grey : PnmSamples::Rgb);
    }
}

} // namespace

std::optional<OutputKind> SampleOutputOf(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".pnm" || extension == ".ppm" || extension == ".pgm") {
        return OutputKind::Pnm;
    }
    if (extension == ".png") {
        return OutputKind::Png;
    }
    if (extension == ".tif" || extension == ".tiff") {
        return OutputKind::Tiff;
    }
    if (extension == ".bmp") {
        return OutputKind::Bmp;
    }
    return std::nullopt;
}

Reason WriteSamples(const SampleLayout& layout, OutputKind kind, const SampleRuns& runs,
                    const Replacement& output, const SampleFileOptions& options) {
    if (kind == OutputKind::Bmp) {
        return {ReasonCode::Unsupported, 0, "BMP"};
    }
    const bool grey = layout.channels == kGreyChannels;
    const bool swap = layout.depth == kWordDepth && kind != OutputKind::Tiff &&
                      std::endian::native == std::endian::little;
    const bool expand = grey && kind != OutputKind::Pnm;
    const RgbShape shape{layout.width, layout.height, layout.depth};
    const RgbProducer produce = [&](const RgbRunSink& sink, bool) -> Reason {
        std::int32_t next = 0;
        std::vector<std::uint8_t> rgb;
        return runs([&](std::span<std::uint8_t> rows) {
            const auto count = static_cast<std::int32_t>(rows.size() / layout.RowBytes());
            if (swap) {
                SwapWords(rows);
            }
            if (expand) {
                GreyToRgb(rows, layout.BytesPerSample(), rgb);
            }
            const bool taken = sink(next, count, expand ? rgb.data() : rows.data());
            next += count;
            return taken;
        });
    };
    return Write(kind, shape, grey, produce, output, options);
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
