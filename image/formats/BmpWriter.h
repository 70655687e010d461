// The 24-bit bottom-up BMP the tool writes: 40-byte info header, no colour
// table, B, G, R per pixel, rows padded to 4 bytes with zeros.
#pragma once

#include "image/ImageMeta.h"
#include "image/formats/RowWriter.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

inline constexpr std::size_t kBmpFileHeaderBytes = 14;
inline constexpr std::size_t kBmpInfoHeaderBytes = 40;
inline constexpr std::size_t kBmpHeaderBytes = kBmpFileHeaderBytes + kBmpInfoHeaderBytes;

using BmpHeaderBytes = std::array<std::uint8_t, kBmpHeaderBytes>;

struct Bmp24Layout {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t stride = 0;    // bytes per stored row, a multiple of 4
    std::uint32_t imageSize = 0; // stride x height
    std::uint32_t fileSize = 0;  // header and rows
};

// nullopt when the file would not fit the format's 32-bit size fields.
std::optional<Bmp24Layout> LayoutBmp24(std::int32_t width, std::int32_t height);

// The resolution goes in as pixels per metre; without one the fields are 0.
BmpHeaderBytes FormatBmp24Header(const Bmp24Layout& layout,
                                 const std::optional<Resolution>& resolution = std::nullopt);

// Rows of BGR 8-bit samples, bottom-up, padded to 4 bytes (the shape the
// format table gives), each run written at its place in the file, so runs
// may come in any order and from several threads at once; the padding is
// zeroed here. TooLarge (Value = bytes) past the format's 32-bit sizes,
// Unsupported with kNoPixels for an image without rows or columns, the
// producer's reason or the output's. Of the options, only the resolution
// has a place in the file.
Reason WriteBmp(const RowShape& shape, const RowProducer& produce, const Replacement& output,
                const WriteOptions& options);
