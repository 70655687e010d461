// A scanned page held in memory as a row source of the one pipeline, so that
// it becomes the window's image through the same level kernels and level
// counting as a file of the same samples.
#pragma once

#include "image/SampleImage.h"
#include "image/StoredRows.h"

// The page's rows in its own memory: grey or RGB samples of 8 or 16 bits,
// 16-bit ones in the machine's byte order as SANE gives them, full scale at
// 255 or 65535. The page must outlive the view.
class SampleRows final : public RowSource {
public:
    explicit SampleRows(const SampleImage& page);

    const RowLayout& Layout() const override { return layout_; }
    const Palette& Colours() const override { return kNoColours; }
    std::int64_t ScratchBytes(std::int32_t) const override { return 0; }
    FetchedRows Rows(std::int32_t first, std::int32_t, std::uint8_t*) const override {
        return {bytes_ + first * layout_.Stride, {}};
    }

private:
    static constexpr Palette kNoColours{};
    const std::uint8_t* bytes_;
    RowLayout layout_;
};
