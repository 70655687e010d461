// Checked malloc for image-sized blocks.
#include "image/PixelMemory.h"

#include <cstddef>
#include <limits>

std::optional<MallocPtr<std::uint8_t>> AllocatePixelBlock(std::uint64_t count,
                                                          std::uint64_t elementBytes) {
    constexpr auto kMaxBlock =
        static_cast<std::uint64_t>(std::numeric_limits<std::ptrdiff_t>::max());
    if (elementBytes != 0 && count > kMaxBlock / elementBytes) {
        return std::nullopt;
    }
    const std::uint64_t bytes = count * elementBytes;
    MallocPtr<std::uint8_t> block(static_cast<std::uint8_t*>(std::malloc(bytes)));
    if (!block && bytes != 0) {
        return std::nullopt;
    }
    return block;
}
