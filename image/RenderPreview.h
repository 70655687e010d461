// Renders an ImageBuffer through the three gamma tables into a PreviewImage,
// upright whichever row order the file had.
#pragma once

#include "curve/GammaTable.h"
#include "image/ImageBuffer.h"
#include "image/PreviewImage.h"

#include <array>
#include <cstdint>
#include <optional>

// Preview pixel of an image pixel (R, G, B): 0xFF, then the low 8 bits of red
// table[R], green table[G] and blue table[B]; the image's fourth byte is unused.
// Array row k goes to preview row k, or to row Height-1-k for a top-down image.
// Every preview pixel is written. False, with nothing written, when the sizes
// differ or the image has no pixels.
bool RenderPreview(const ImageBuffer& image, const std::array<GammaTable, 3>& tables,
                   PreviewImage& preview);

// A new preview of the image's size, rendered; nullopt when its memory cannot
// be had.
std::optional<PreviewImage> BuildPreview(const ImageBuffer& image,
                                         const std::array<GammaTable, 3>& tables);
