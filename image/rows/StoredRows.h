// Stored rows as a reader hands them out, before any table: the format of a
// stored pixel, where the rows lie, and a source that gives them a run at a
// time. Every reader, and the decoded image the window keeps, is one such
// source; every kernel is chosen by the row format.
#pragma once

#include "image/ImageMeta.h"
#include "io/Reason.h"

#include <array>
#include <cstddef>
#include <cstdint>

enum class SampleOrder { Bgr, Rgb };

// One stored pixel: Samples samples of BitsPerSample bits in Order (a fourth
// sample of a 4-sample pixel is unused), or a single colour-table index.
// 16-bit samples are in the machine's byte order unless BigEndian.
struct RowFormat {
    std::int32_t Samples = 3;
    std::int32_t BitsPerSample = 8;
    SampleOrder Order = SampleOrder::Bgr;
    bool Indexed = false;
    bool BigEndian = false;

    std::int64_t BytesPerPixel() const { return std::int64_t{Samples} * BitsPerSample / 8; }
    friend bool operator==(const RowFormat&, const RowFormat&) = default;
};

inline constexpr RowFormat kIndexed8{1, 8, SampleOrder::Bgr, true};
inline constexpr RowFormat kBgr24{3, 8, SampleOrder::Bgr, false};
inline constexpr RowFormat kBgrx32{4, 8, SampleOrder::Bgr, false};
// The decoded image the window keeps: R, G, B, 255.
inline constexpr RowFormat kRgbx32{4, 8, SampleOrder::Rgb, false};
// Scans: grey or red, green, blue samples of 8 or 16 bits; 16-bit samples
// in the machine's own byte order, or as a PNM stores them (big-endian), so
// that the kernels swap them on the way instead of in a pass of their own.
inline constexpr RowFormat kGrey8{1, 8, SampleOrder::Rgb, false};
inline constexpr RowFormat kRgb24{3, 8, SampleOrder::Rgb, false};
inline constexpr RowFormat kGrey16{1, 16, SampleOrder::Rgb, false};
inline constexpr RowFormat kRgb48{3, 16, SampleOrder::Rgb, false};
inline constexpr RowFormat kGrey16Be{1, 16, SampleOrder::Rgb, false, true};
inline constexpr RowFormat kRgb48Be{3, 16, SampleOrder::Rgb, false, true};
inline constexpr std::int32_t kNarrowBits = 8;
inline constexpr std::int32_t kWideBits = 16;
inline constexpr std::int32_t kColourChannels = 3;
inline constexpr std::int32_t kMaxSample8 = 255;
inline constexpr std::int32_t kMaxSample16 = 65535;

inline constexpr std::size_t kPaletteEntries = 256;
// Colour-table entries as red, green, blue levels.
using Palette = std::array<std::array<std::uint8_t, 3>, kPaletteEntries>;

struct RowLayout {
    std::int32_t Width = 0;
    std::int32_t Height = 0; // rows, never negative
    RowFormat Format;
    bool BottomUp = false;   // stored row 0 is the image's bottom row
    std::int64_t Stride = 0; // bytes from one stored row to the next
    // The sample value that stands for full intensity (a PNM's maxval);
    // samples above it count as it.
    std::int32_t MaxValue = kMaxSample8;

    bool HasRows() const { return Width > 0 && Height > 0; }
    std::int64_t RowBytes() const { return std::int64_t{Width} * Format.BytesPerPixel(); }
    // The upright row (0 = top) that stored row k shows.
    std::int32_t UprightRow(std::int32_t k) const { return BottomUp ? Height - 1 - k : k; }
};

// A run of stored rows, Layout().Stride apart, or why it could not be had.
struct FetchedRows {
    const std::uint8_t* First = nullptr;
    Reason Why;
};

class RowSource {
public:
    virtual ~RowSource() = default;
    virtual const RowLayout& Layout() const = 0;
    // The colour table of an indexed format.
    virtual const Palette& Colours() const = 0;
    // The scratch bytes Rows() needs for `count` rows: 0 for rows already in memory.
    virtual std::int64_t ScratchBytes(std::int32_t count) const = 0;
    // Stored rows first .. first + count - 1: in the source's own memory, or
    // read into `scratch`. Several threads may ask at once.
    virtual FetchedRows Rows(std::int32_t first, std::int32_t count,
                             std::uint8_t* scratch) const = 0;
    // True for a decoder that hands out rows only once each, in order, to one
    // thread: the pipeline then asks for every run in turn on one thread.
    virtual bool Sequential() const { return false; }
    // Memory the reader itself holds while it gives the rows, beyond the
    // scratch: a decoded band of strips or tiles, a whole interlaced image.
    virtual std::int64_t HeldBytes() const { return 0; }
    // The resolution and ICC profile the file holds beside its rows.
    virtual ImageMeta Meta() const { return {}; }
    // How the stored rows are turned (EXIF's or TIFF's orientation, 1..8):
    // readers give it, and OpenRows turns them upright (OrientedRows.h).
    virtual std::int32_t Orientation() const { return kUpright; }
    // Something the read went past without losing a pixel (a JPEG without
    // its end marker), known once every row has been read; None otherwise.
    virtual Reason Warning() const { return {}; }
};
