// The rendered preview: Width x Height 32-bit pixels 0xFFRRGGBB (the layout
// of QImage::Format_RGB32), rows BytesPerLine() apart, owned by this object.
#pragma once

#include "image/rows/PixelMemory.h"

#include <cstdint>
#include <optional>

class PreviewImage {
public:
    // nullopt when the memory cannot be had (or its size overflows). The
    // pixels are left unset; rendering writes every one of them.
    static std::optional<PreviewImage> Create(std::int32_t width, std::int32_t height);

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::int64_t BytesPerLine() const { return std::int64_t{width_} * sizeof(std::uint32_t); }

    // Start of the pixel block (may be null for an empty preview).
    std::uint32_t* Bits() { return reinterpret_cast<std::uint32_t*>(block_.get()); }
    const std::uint32_t* Bits() const {
        return reinterpret_cast<const std::uint32_t*>(block_.get());
    }
    std::uint32_t* Row(std::int32_t y) { return Bits() + std::int64_t{y} * width_; }
    const std::uint32_t* Row(std::int32_t y) const { return Bits() + std::int64_t{y} * width_; }
    // The caller keeps 0 <= x < Width() and 0 <= y < Height().
    std::uint32_t At(std::int32_t x, std::int32_t y) const { return Row(y)[x]; }

private:
    PreviewImage(std::int32_t width, std::int32_t height, MallocPtr<std::uint8_t> block)
        : width_(width), height_(height), block_(std::move(block)) {}

    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    MallocPtr<std::uint8_t> block_;
};
