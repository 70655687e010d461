// Writes a rendered preview as a 24-bit bottom-up BMP with the 40-byte info
// header: no colour table, B, G, R per pixel, rows padded to 4 bytes.
#pragma once

#include "image/PreviewImage.h"
#include "io/AtomicWrite.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

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
void PackRowsInPlace(PreviewImage& preview, const Bmp24Layout& layout);

// The header and the packed rows in file order, bottom row first.
std::vector<std::span<const std::uint8_t>>
BmpPieces(const BmpHeaderBytes& header, const PreviewImage& packed, const Bmp24Layout& layout);

// Packs the preview (its pixels are used up) and writes the file through the
// safe replacement: a failure leaves no file, and any old one as it was.
WriteResult WriteBmp24File(const std::filesystem::path& path, const Bmp24Layout& layout,
                           PreviewImage&& preview);
