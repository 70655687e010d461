// The plain decoder: reads each field and each pixel where the format puts it,
// walking the stored rows from the last to the first.
#include "fuzz/PlainBmpDecoder.h"

#include <limits>

namespace {

constexpr std::size_t kMinFileBytes = 56;
constexpr std::int64_t kColourTableAt = 54;
constexpr std::int64_t kColourTableBytes = 256 * 4;

// Little-endian field, or nullopt past the end of the file.
std::optional<std::uint32_t> Field(std::span<const std::uint8_t> file, std::int64_t at, int bytes) {
    if (at < 0 || at + bytes > static_cast<std::int64_t>(file.size())) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = value << 8 | file[static_cast<std::size_t>(at + i)];
    }
    return value;
}

// R, G, B of stored pixel x of the row at `rowAt`.
std::optional<std::uint32_t> StoredColour(std::span<const std::uint8_t> file, std::int64_t rowAt,
                                          std::int64_t x, int bits) {
    if (bits == 8) {
        const auto index = Field(file, rowAt + x, 1);
        if (!index) {
            return std::nullopt;
        }
        return Field(file, kColourTableAt + 4 * std::int64_t{*index}, 3); // B, G, R
    }
    const std::int64_t at = rowAt + x * (bits / 8);
    if (!Field(file, at, bits / 8)) {
        return std::nullopt; // the whole pixel must be there, an unused fourth byte too
    }
    return Field(file, at, 3); // B, G, R
}

bool DecodeRows(std::span<const std::uint8_t> file, std::int64_t offset, std::int64_t stride,
                int bits, PlainImage& image) {
    if (image.width == 0) {
        return true; // rows without pixels read nothing, wherever they lie
    }
    for (std::int64_t k = image.height - 1; k >= 0; --k) {
        for (std::int64_t x = 0; x < image.width; ++x) {
            const auto bgr = StoredColour(file, offset + k * stride, x, bits);
            if (!bgr) {
                return false;
            }
            image.pixels.insert(image.pixels.end(), {static_cast<std::uint8_t>(*bgr >> 16),
                                                     static_cast<std::uint8_t>(*bgr >> 8),
                                                     static_cast<std::uint8_t>(*bgr), 255});
        }
    }
    return true;
}

} // namespace

std::optional<PlainImage> DecodePlainBmp(std::span<const std::uint8_t> file) {
    if (file.size() < kMinFileBytes || file[0] != 'B' || file[1] != 'M' ||
        *Field(file, 14, 4) != 40 || *Field(file, 30, 4) != 0) {
        return std::nullopt;
    }
    const int bits = static_cast<int>(*Field(file, 28, 2));
    const auto width = static_cast<std::int32_t>(*Field(file, 18, 4));
    const auto height = static_cast<std::int32_t>(*Field(file, 22, 4));
    const std::int64_t rowBits = std::int64_t{width} * bits + 31;
    if ((bits != 8 && bits != 24 && bits != 32) || width < 0 ||
        height == std::numeric_limits<std::int32_t>::min() ||
        rowBits > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    if (bits == 8 && kColourTableAt + kColourTableBytes > static_cast<std::int64_t>(file.size())) {
        return std::nullopt;
    }
    PlainImage image;
    image.topDown = height < 0;
    image.width = width;
    image.height = height < 0 ? -height : height;
    const std::int64_t offset = static_cast<std::int32_t>(*Field(file, 10, 4));
    const std::int64_t stride = rowBits / 32 * 4;
    if (!DecodeRows(file, offset, stride, bits, image)) {
        return std::nullopt;
    }
    return image;
}
