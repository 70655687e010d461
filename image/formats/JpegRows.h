// The stored rows of a JPEG file, decoded by libjpeg-turbo: baseline or
// progressive, Huffman-coded, 8-bit grey or colour (YCbCr or RGB) become
// grey or R, G, B rows of 8 bits. The JFIF density (dots per inch or per
// centimetre; else EXIF's resolution) and the ICC profile of the APP2
// markers are kept as meta, and EXIF's orientation is told.
// CMYK, 12-bit, lossless and arithmetic-coded files are refused; a file
// that lacks only its end marker is read, with a warning. Rows come once
// each, in order.
#pragma once

#include "image/Outcome.h"
#include "image/rows/ByteSource.h"
#include "image/rows/StoredRows.h"

#include <memory>

class JpegRows final : public RowSource {
public:
    // NotThisFormat ("JPEG") without the start-of-image marker; Refused
    // for a kind named above or a lossless JPEG; Truncated or ReadFailed as reading the file
    // fails, DamagedData with libjpeg-turbo's words for a header it cannot
    // read, or when the file is too short to hold the blocks its frame
    // claims (each block costs at least one bit). `source` must outlive
    // the rows.
    static Outcome<std::unique_ptr<RowSource>> Open(const ByteSource& source);

    ~JpegRows() override;
    JpegRows(const JpegRows&) = delete;
    JpegRows& operator=(const JpegRows&) = delete;

    const RowLayout& Layout() const override { return layout_; }
    const Palette& Colours() const override { return kNoColours; }
    std::int64_t ScratchBytes(std::int32_t count) const override { return count * layout_.Stride; }
    FetchedRows Rows(std::int32_t first, std::int32_t count, std::uint8_t* scratch) const override;
    bool Sequential() const override { return true; }
    // A file of several scans (progressive) keeps every block's
    // coefficients until its last scan is read.
    std::int64_t HeldBytes() const override;
    ImageMeta Meta() const override;
    // EXIF's orientation (APP1), upright without one.
    std::int32_t Orientation() const override;
    // NoEndMarker once every row is read from a file that lacks its end marker.
    Reason Warning() const override;

    struct Decoder;

private:
    explicit JpegRows(std::unique_ptr<Decoder> decoder);

    static constexpr Palette kNoColours{};
    std::unique_ptr<Decoder> decoder_;
    RowLayout layout_;
};
