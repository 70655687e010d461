// The 24-bit bottom-up BMP the tool writes: 40-byte info header, no colour
// table, B, G, R per pixel, rows padded to 4 bytes with zeros.
#pragma once

#include "image/ImageMeta.h"
#include "image/kernels/ToneMap.h"
#include "image/rows/Pipeline.h"
#include "io/AtomicWrite.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

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

// An output replaced as a whole: the file's safe replacement, or its
// in-memory twin.
using Replacement = std::function<WriteOutcome(const PositionedContents&)>;

inline constexpr std::string_view kNoPixels = "the image has no pixels";

// Every stored row of `source` through the tone map into a 24-bit BMP of the
// upright image, the output asked for only once the rows are accepted and the
// buffers are had (a refused input never touches it). The reason: TooLarge
// (Value = bytes) past the format's 32-bit sizes, Unsupported with kNoPixels
// for an image without rows or columns, NoMemory, Unsupported for a
// row format no kernel reads, a failed read's, or the output's.
// Of `meta`, only the resolution has a place in the file.
Reason WriteBmp24(const RowSource& source, const ToneMap& map, const Replacement& output,
                  const PipelineOptions& options = {}, const ImageMeta& meta = {});
