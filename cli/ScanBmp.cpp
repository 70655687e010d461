// BMP stores rows bottom-up, each pixel as B, G, R, each row padded to four
// bytes; the padding bytes are zero.
#include "cli/ScanBmp.h"

#include "cli/Bmp24Header.h"

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

WriteResult WriteScanBmp(const std::filesystem::path& target, const SampleImage& image,
                         const std::atomic<bool>& stop) {
    const std::optional<Bmp24Layout> layout = LayoutBmp24(image.layout.width, image.layout.height);
    if (!layout || image.layout.depth != kByteDepth) {
        return WriteResult::WriteFailed;
    }
    const BmpHeaderBytes header = FormatBmp24Header(*layout);
    std::vector<std::uint8_t> row(layout->stride, 0);
    std::int32_t next = -1; // -1: the header is still to go
    const ContentSource source = [&]() -> std::optional<std::span<const std::uint8_t>> {
        if (stop.load()) {
            return std::nullopt;
        }
        if (next < 0) {
            next = 0;
            return std::span<const std::uint8_t>(header);
        }
        if (next >= image.layout.height) {
            return std::span<const std::uint8_t>();
        }
        ToBgr(image, image.layout.height - 1 - next++, row);
        return std::span<const std::uint8_t>(row);
    };
    return WriteFileAtomically(target, source);
}
