// Stored rows that are already in memory, as a row source of the one
// pipeline: the window's decoded image, and a scanned page, which thereby
// becomes the window's image by the road a file takes.
#pragma once

#include "image/rows/ImageBuffer.h"
#include "image/rows/SampleImage.h"
#include "image/rows/StoredRows.h"

class MemoryRows final : public RowSource {
public:
    // `first` is stored row 0, the others Stride apart; the memory must
    // outlive the view.
    MemoryRows(const std::uint8_t* first, const RowLayout& layout)
        : first_(first), layout_(layout) {}

    const RowLayout& Layout() const override { return layout_; }
    const Palette& Colours() const override { return kNoColours; }
    std::int64_t ScratchBytes(std::int32_t) const override { return 0; }
    FetchedRows Rows(std::int32_t first, std::int32_t, std::uint8_t*) const override {
        return {first_ + first * layout_.Stride, {}};
    }

private:
    static constexpr Palette kNoColours{};
    const std::uint8_t* first_;
    RowLayout layout_;
};

// The decoded image the window keeps, R, G, B, 255: array row 0 is the last
// row the file stored, so the array is upright for a bottom-up file and
// upside down for a top-down one.
MemoryRows RowsOf(const ImageBuffer& image);

// A scanned page: grey or RGB samples of 8 or 16 bits, 16-bit ones in the
// machine's byte order as SANE gives them, full scale at 255 or 65535.
MemoryRows RowsOf(const SampleImage& page);
