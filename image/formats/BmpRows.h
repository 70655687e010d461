// The stored rows of a BMP file: its header and colour table read and checked
// once, then any run of rows read at its place in the file.
#pragma once

#include "image/Outcome.h"
#include "image/formats/BmpHeader.h"
#include "image/rows/ByteSource.h"
#include "image/rows/StoredRows.h"

class BmpRows final : public RowSource {
public:
    // The reason of ParseBmpHeader, or ReadFailed when the head or the colour
    // table cannot be read. `source` must outlive the rows and not change.
    static Outcome<BmpRows> Open(const ByteSource& source);

    const BmpLayout& Bmp() const { return bmp_; }
    const RowLayout& Layout() const override { return rows_; }
    const Palette& Colours() const override { return colours_; }
    // Through the last row's pixels: its padding may lie past the end of the file.
    std::int64_t ScratchBytes(std::int32_t count) const override;
    FetchedRows Rows(std::int32_t first, std::int32_t count, std::uint8_t* scratch) const override;
    // biXPelsPerMeter and biYPelsPerMeter; a BMP holds no profile this reader takes.
    ImageMeta Meta() const override {
        return {ResolutionOfPixelsPerMetre(bmp_.XPelsPerMetre, bmp_.YPelsPerMetre), {}};
    }

private:
    BmpRows(const ByteSource& source, const BmpLayout& bmp) : source_(&source), bmp_(bmp) {
        rows_ = bmp.Rows();
    }

    const ByteSource* source_;
    BmpLayout bmp_;
    RowLayout rows_;
    Palette colours_{};
};
