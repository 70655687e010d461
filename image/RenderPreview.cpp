// Table lookup of every pixel, rows split over two threads for large images.
#include "image/RenderPreview.h"

#include "image/ParallelRows.h"

namespace {

constexpr std::uint32_t kOpaqueBits = 0xFF000000u;
constexpr std::uint32_t kLevelMask = 0xFF; // tables hold 0..255; only the low byte counts
constexpr int kRedShift = 16;
constexpr int kGreenShift = 8;

// Each table pre-shifted to its place in a 0xFFRRGGBB pixel.
struct ShiftedTables {
    std::array<std::uint32_t, kGammaTableSize> red, green, blue;
};

ShiftedTables ShiftTables(const std::array<GammaTable, 3>& tables) {
    ShiftedTables shifted{};
    for (std::size_t i = 0; i < kGammaTableSize; ++i) {
        const auto level = [&](std::size_t channel) {
            return static_cast<std::uint32_t>(tables[channel][i]) & kLevelMask;
        };
        shifted.red[i] = kOpaqueBits | level(0) << kRedShift;
        shifted.green[i] = level(1) << kGreenShift;
        shifted.blue[i] = level(2);
    }
    return shifted;
}

void RenderRow(const std::uint8_t* in, std::uint32_t* out, std::int32_t width,
               const ShiftedTables& t) {
    for (std::int32_t x = 0; x < width; ++x) {
        const std::uint8_t* p = in + std::int64_t{x} * kImageBytesPerPixel;
        out[x] = t.red[p[0]] | t.green[p[1]] | t.blue[p[2]];
    }
}

} // namespace

bool RenderPreview(const ImageBuffer& image, const std::array<GammaTable, 3>& tables,
                   PreviewImage& preview) {
    if (image.Width != preview.Width() || image.Height != preview.Height()) {
        return false;
    }
    const std::int64_t rowBytes = std::int64_t{image.Width} * kImageBytesPerPixel;
    if (image.Pixels == nullptr && rowBytes * image.Height != 0) {
        return false;
    }
    const ShiftedTables shifted = ShiftTables(tables);
    const std::int32_t last = image.Height - 1;
    return ForRowRanges(image.Height, image.Width, [&](std::int32_t begin, std::int32_t end) {
        for (std::int32_t k = begin; k < end; ++k) {
            const std::int32_t y = image.TopDown ? last - k : k;
            RenderRow(image.Pixels + k * rowBytes, preview.Row(y), image.Width, shifted);
        }
        return true;
    });
}

std::optional<PreviewImage> BuildPreview(const ImageBuffer& image,
                                         const std::array<GammaTable, 3>& tables) {
    auto preview = PreviewImage::Create(image.Width, image.Height);
    if (preview && !RenderPreview(image, tables, *preview)) {
        return std::nullopt;
    }
    return preview;
}
