// The stored rows of a TIFF file, decoded by libtiff: 8- or 16-bit unsigned
// samples, grey (min-is-black, or min-is-white turned to it) or RGB, extra
// samples dropped, chunky or planar, strips or tiles, uncompressed, LZW,
// Deflate or PackBits. Rows come once each, in order, except when they lie
// uncompressed at fixed places: then any run may be read from any thread.
// XResolution/YResolution (inch or centimetre) and the ICC profile (tag
// 34675) are kept as meta, and the Orientation tag is told. libtiff's messages are kept for the
// reason, never printed.
#pragma once

#include "image/Outcome.h"
#include "image/rows/ByteSource.h"
#include "image/rows/StoredRows.h"

#include <memory>

class TiffRows final : public RowSource {
public:
    // NotThisFormat ("TIFF"), Refused naming the kind, Truncated,
    // ReadFailed, DamagedData with libtiff's words or naming the strip or
    // tile that cannot hold its claim (see TiffChunkClaims.h), NoMemory.
    // Nothing is allocated for the header's claims until rows are read.
    // `source` must outlive the rows.
    static Outcome<std::unique_ptr<RowSource>> Open(const ByteSource& source);

    ~TiffRows() override;
    TiffRows(const TiffRows&) = delete;
    TiffRows& operator=(const TiffRows&) = delete;

    const RowLayout& Layout() const override { return layout_; }
    const Palette& Colours() const override { return kNoColours; }
    std::int64_t ScratchBytes(std::int32_t count) const override { return count * layout_.Stride; }
    FetchedRows Rows(std::int32_t first, std::int32_t count, std::uint8_t* scratch) const override;
    bool Sequential() const override;
    std::int64_t HeldBytes() const override;
    ImageMeta Meta() const override;
    // The Orientation tag (274), 1 when it is absent.
    std::int32_t Orientation() const override;

    struct Decoder;

private:
    TiffRows(std::unique_ptr<Decoder> decoder, const RowLayout& layout);

    static constexpr Palette kNoColours{};
    std::unique_ptr<Decoder> decoder_;
    RowLayout layout_;
};
