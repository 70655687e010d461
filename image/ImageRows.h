// The decoded image the window keeps, as stored rows of R, G, B, 255 in
// memory: array row 0 is the last row the file stored, so the array is
// upright for a bottom-up file and upside down for a top-down one.
#pragma once

#include "image/ImageBuffer.h"
#include "image/StoredRows.h"

class ImageRows final : public RowSource {
public:
    explicit ImageRows(const ImageBuffer& image)
        : pixels_(image.Pixels), layout_{image.Width, image.Height, kRgbx32, image.TopDown,
                                         std::int64_t{image.Width} * kImageBytesPerPixel} {}

    const RowLayout& Layout() const override { return layout_; }
    const Palette& Colours() const override { return kNoColours; }
    std::int64_t ScratchBytes(std::int32_t) const override { return 0; }
    FetchedRows Rows(std::int32_t first, std::int32_t, std::uint8_t*) const override {
        return {pixels_ + first * layout_.Stride, {}};
    }

private:
    static constexpr Palette kNoColours{};
    const std::uint8_t* pixels_;
    RowLayout layout_;
};
