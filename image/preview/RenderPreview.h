// Renders stored rows through the three gamma tables into a PreviewImage,
// upright whichever row order the file had.
#pragma once

#include "curve/ChannelParams.h"
#include "image/kernels/ToneMap.h"
#include "image/preview/PreviewImage.h"
#include "image/rows/ImageBuffer.h"
#include "image/rows/Pipeline.h"
#include "image/rows/StoredRows.h"

#include <optional>

// Preview pixel of an input pixel (R, G, B): 0xFF, then the low 8 bits of red
// table[R], green table[G] and blue table[B]. Stored row k goes to preview row
// Layout().UprightRow(k); every preview pixel is written. The preview must be
// of the source's size. Unsupported for a row format no kernel reads, or a
// failed read's reason.
Reason RenderRows(const RowSource& source, const ToneMap& map, PreviewImage& preview,
                  const PipelineOptions& options = {});

// The window's decoded image rendered: array row k goes to preview row k, or
// to row Height-1-k for a top-down image; the fourth byte is unused. False,
// with nothing written, when the sizes differ or the pixels are missing.
bool RenderPreview(const ImageBuffer& image, const GammaTableSet& tables, PreviewImage& preview);

// A new preview of the image's size, rendered; nullopt when its memory cannot
// be had.
std::optional<PreviewImage> BuildPreview(const ImageBuffer& image, const GammaTableSet& tables);
