// What a file says about its pixels beside them, kept from reader to writer:
// the resolution in dots per inch (absent when unknown) and an embedded ICC
// profile (empty when none). PNM has no place for either.
#pragma once

#include "image/WriteTime.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

struct Resolution {
    double x = 0; // dots per inch across
    double y = 0; // dots per inch down
    friend bool operator==(const Resolution&, const Resolution&) = default;
};

// EXIF's and TIFF's Orientation: where stored row 0 and column 0 lie in the
// upright picture. 1 is upright; 2..8 mirror and turn it (image/rows/OrientedRows.h).
inline constexpr std::int32_t kUpright = 1;

struct ImageMeta {
    std::optional<Resolution> resolution;
    std::vector<std::uint8_t> profile; // the ICC profile's bytes, as embedded
    friend bool operator==(const ImageMeta&, const ImageMeta&) = default;
};

// PNG pHYs and BMP store pixels per metre: round(dpi / 0.0254).
std::uint32_t PixelsPerMetre(double dotsPerInch);
double DotsPerInchOf(std::uint32_t pixelsPerMetre);
// A resolution only when both are positive (0 means "unspecified" in both
// formats).
std::optional<Resolution> ResolutionOfPixelsPerMetre(std::uint32_t x, std::uint32_t y);

// "Tamrel 1.0.1.2": the program that wrote a file, for TIFF's Software tag and
// PNG's Software text.
std::string SoftwareName();

// TIFF's DateTime, "YYYY:MM:DD HH:MM:SS".
std::string TiffDateTime(const WriteTime& time);
