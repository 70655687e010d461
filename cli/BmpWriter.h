// Writes an image put through the gamma tables as a 24-bit bottom-up BMP with the 40-byte info
// header: no colour table, B, G, R per pixel, rows padded to 4 bytes.
#pragma once

#include "curve/GammaTable.h"
#include "image/ImageBuffer.h"
#include "image/PreviewImage.h"
#include "io/AtomicWrite.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
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

BmpHeaderBytes FormatBmp24Header(const Bmp24Layout& layout);

// Turns every row of the preview, in place, into its stored form: B, G, R per
// pixel and zero padding up to the stride, at the start of the row's memory.
// The preview's pixels are no longer usable afterwards.
void PackRowsInPlace(PreviewImage& preview, std::uint32_t stride);

// Rows rendered and packed at a time: about this many bytes of preview.
inline constexpr std::int64_t kBmpBandBytes = std::int64_t{4} << 20;

// Renders the image through the tables (as RenderPreview does, upright) and
// writes it as a 24-bit BMP of `layout`, made for the image's size. The rows
// are rendered and packed one band of `bandRows` at a time (0: about
// kBmpBandBytes), last band first, each written as soon as it is ready, so
// the whole rendered image is never held. The write is the safe replacement:
// a failure, out of memory included, leaves no file and any old one as it was.
WriteResult WriteRenderedBmp(const std::filesystem::path& path, const Bmp24Layout& layout,
                             const ImageBuffer& image, const std::array<GammaTable, 3>& tables,
                             std::int32_t bandRows = 0);
