// The picture the window keeps, at the depth it came in: an 8-bit picture
// as R, G, B, 255 levels (the ImageBuffer of a BMP or an 8-bit scan), a
// 16-bit scan as its own grey or R, G, B samples in the machine's byte
// order with its maxval, rows packed. The pixels are shared, not copied:
// a scanned page is kept as the page itself.
#pragma once

#include "image/rows/ImageBuffer.h"
#include "image/rows/MemoryRows.h"
#include "image/rows/PixelMemory.h"
#include "image/rows/StoredRows.h"

#include <array>
#include <cstdint>
#include <memory>

class KeptImage {
public:
    // No picture: no pixels, 0 x 0.
    KeptImage() = default;
    // Rows laid out as `layout` says from `first`, which `owner` keeps alive.
    KeptImage(std::shared_ptr<const void> owner, const std::uint8_t* first, const RowLayout& layout)
        : owner_(std::move(owner)), first_(first), layout_(layout) {}
    // An 8-bit picture's levels handed over, released with free.
    static KeptImage OfLevels(const ImageBuffer& image, MallocPtr<std::uint8_t> pixels);

    const RowLayout& Layout() const { return layout_; }
    std::int32_t Width() const { return layout_.Width; }
    std::int32_t Height() const { return layout_.Height; }
    bool HasPixels() const { return first_ != nullptr && layout_.HasRows(); }
    // 16-bit samples (kGrey16 or kRgb48) rather than 8-bit levels.
    bool Wide() const { return layout_.Format.BitsPerSample == kWideBits; }
    MemoryRows Rows() const { return {first_, layout_}; }
    // The red, green and blue samples (grey thrice) of upright pixel (x, y),
    // which must lie in the picture.
    std::array<std::uint32_t, kColourChannels> SamplesAt(std::int32_t x, std::int32_t y) const;

private:
    std::shared_ptr<const void> owner_;
    const std::uint8_t* first_ = nullptr;
    RowLayout layout_{};
};
