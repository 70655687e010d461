// The layout and the 54-byte head of the 24-bit bottom-up BMP that `apply`
// writes: 40-byte info header, no colour table, B, G, R per pixel, rows padded
// to 4 bytes.
#pragma once

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

BmpHeaderBytes FormatBmp24Header(const Bmp24Layout& layout);
