// What an EXIF block (a JPEG's APP1 "Exif" marker) says that a reader
// uses: the orientation of the stored rows (TIFF tag 274, 1..8) and the
// resolution of the first image directory (XResolution, YResolution and
// ResolutionUnit, in inches or centimetres), read from the block's TIFF
// structure with every offset checked against its length.
#pragma once

#include "image/ImageMeta.h"

#include <cstdint>
#include <optional>
#include <span>

struct ExifFacts {
    std::int32_t orientation = kUpright; // 1..8; an absent or unknown value is 1
    std::optional<Resolution> resolution;
};

// The facts of an APP1 marker's contents ("Exif\0\0" and the TIFF
// structure after it); defaults for anything else, a block cut short or
// entries that point outside it.
ExifFacts ReadExif(std::span<const std::uint8_t> app1);
