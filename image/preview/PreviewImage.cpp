// Allocation of the preview's pixel block.
#include "image/preview/PreviewImage.h"

std::optional<PreviewImage> PreviewImage::Create(std::int32_t width, std::int32_t height) {
    if (width < 0 || height < 0) {
        return std::nullopt;
    }
    auto block =
        AllocatePixelBlock(std::uint64_t(width) * std::uint64_t(height), sizeof(std::uint32_t));
    if (!block) {
        return std::nullopt;
    }
    return PreviewImage(width, height, std::move(*block));
}
