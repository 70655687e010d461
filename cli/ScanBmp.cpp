// BMP stores rows bottom-up, each pixel as B, G, R, each row padded to four
// bytes; the padding bytes are zero.
#include "cli/ScanBmp.h"

#include "image/formats/Bmp24Writer.h"

#include <optional>
#include <vector>

namespace {

constexpr std::size_t kBgrBytes = 3;

void ToBgr(const SampleImage& image, std::int32_t y, std::vector<std::uint8_t>& row) {
    const std::span<const std::uint8_t> in = image.Row(y);
    const bool grey = image.layout.channels == kGreyChannels;
    for (std::size_t x = 0; x < static_cast<std::size_t>(image.layout.width); ++x) {
        std::uint8_t* out = row.data() + x * kBgrBytes;
        if (grey) {
            out[0] = out[1] = out[2] = in[x];
        } else {
            out[0] = in[x * kBgrBytes + 2];
            out[1] = in[x * kBgrBytes + 1];
            out[2] = in[x * kBgrBytes];
        }
    }
}

} // namespace

WriteOutcome WriteScanBmp(const std::filesystem::path& target, const SampleImage& image,
                          const std::atomic<bool>& stop,
                          const std::optional<Resolution>& resolution) {
    const std::optional<Bmp24Layout> layout = LayoutBmp24(image.layout.width, image.layout.height);
    if (!layout || image.layout.depth != kByteDepth) {
        return {WriteResult::WriteFailed, {ReasonCode::TooLarge}};
    }
    const BmpHeaderBytes header = FormatBmp24Header(*layout, resolution);
    return WriteFileAtomically(target, [&](PositionedWriter& writer) {
        if (!writer.WriteAt(0, header)) {
            return false;
        }
        std::vector<std::uint8_t> row(layout->stride, 0);
        std::int64_t position = kBmpHeaderBytes;
        for (std::int32_t k = 0; k < image.layout.height; ++k, position += layout->stride) {
            ToBgr(image, image.layout.height - 1 - k, row);
            if (stop.load() || !writer.WriteAt(position, row)) {
                return false;
            }
        }
        return true;
    });
}
