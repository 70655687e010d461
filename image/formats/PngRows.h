// The stored rows of a PNG file, decoded by libpng: grey, grey+alpha, RGB,
// RGBA or palette of any depth become grey or RGB samples of 8 or 16 bits,
// 16-bit ones big-endian as stored (palettes and low depths widened to 8
// bits, alpha and tRNS dropped, gAMA, sRGB, iCCP and cICP left unapplied;
// pHYs in metres and iCCP kept as meta). Rows come once each, in order; an
// interlaced image is decoded whole when its first rows are asked for.
#pragma once

#include "image/Outcome.h"
#include "image/rows/ByteSource.h"
#include "image/rows/StoredRows.h"

#include <memory>

class PngRows final : public RowSource {
public:
    // NotThisFormat ("PNG") without the signature; Truncated, ReadFailed or
    // DamagedData with libpng's words when the header cannot be read;
    // DamagedData when the image data, inflated at Deflate's greatest
    // ratio, could not hold the pixels the header claims.
    // `source` must outlive the rows.
    static Outcome<std::unique_ptr<RowSource>> Open(const ByteSource& source);

    ~PngRows() override;
    PngRows(const PngRows&) = delete;
    PngRows& operator=(const PngRows&) = delete;

    const RowLayout& Layout() const override { return layout_; }
    const Palette& Colours() const override { return kNoColours; }
    std::int64_t ScratchBytes(std::int32_t count) const override;
    FetchedRows Rows(std::int32_t first, std::int32_t count, std::uint8_t* scratch) const override;
    bool Sequential() const override { return true; }
    std::int64_t HeldBytes() const override;
    ImageMeta Meta() const override;

    struct Decoder;

private:
    explicit PngRows(std::unique_ptr<Decoder> decoder);

    static constexpr Palette kNoColours{};
    std::unique_ptr<Decoder> decoder_;
    RowLayout layout_;
};
