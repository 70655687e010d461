// Renders stored rows through the three gamma tables into a PreviewImage,
// upright whichever row order the file had.
#pragma once

#include "curve/ChannelParams.h"
#include "image/kernels/ToneMap.h"
#include "image/kernels/WidePicture.h"
#include "image/preview/PictureTables.h"
#include "image/preview/PreviewImage.h"
#include "image/rows/ImageBuffer.h"
#include "image/rows/KeptImage.h"
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

// A 16-bit picture's samples through `map` into a preview of its size, as
// RenderRows does: the preview pixel of a sample is map.Shown's.
Reason RenderWideRows(const RowSource& source, const WideToneMap& map, PreviewImage& preview);

// The tone map a 16-bit picture is shown through for `tables`; none for an
// 8-bit picture, which takes the tables as they are.
std::optional<WideToneMap> ToneMapFor(const KeptImage& picture, const PictureTables& tables);

// The kept picture rendered: an 8-bit one through tables.Levels as
// RenderPreview renders it, a 16-bit one through `map` (which it must be
// given). False, with nothing written, when the sizes differ or the pixels
// are missing.
bool RenderPicture(const KeptImage& picture, const PictureTables& tables, const WideToneMap* map,
                   PreviewImage& preview);
std::optional<PreviewImage> BuildPicture(const KeptImage& picture, const PictureTables& tables,
                                         const WideToneMap* map);
