// The level counts of an image file, taken as its rows stream past: no
// image-sized memory, whatever the file's size.
#pragma once

#include "image/Outcome.h"
#include "image/kernels/Histogram.h"
#include "image/kernels/WidePicture.h"
#include "image/preview/PictureTables.h"
#include "image/rows/KeptImage.h"
#include "image/rows/StoredRows.h"

#include <filesystem>
#include <optional>

// The counts of the 8-bit levels the window would show for `source`'s rows:
// a scan's samples as their nearest levels, a BMP's pixels (colour table
// applied) as they are. The reason of a failed read, or NoMemory.
Outcome<LevelHistogram> CountLevels(const RowSource& source);

// The counts of the image the window keeps (R, G, B, x pixels, rows packed),
// its halves counted on two threads. Nothing for an image without pixels.
LevelHistogram CountKeptLevels(const ImageBuffer& image);

// The file opened and read as ReadImageFile would, its levels counted;
// `warning`, when given, takes what the reader went past.
Outcome<LevelHistogram> CountImageLevels(const std::filesystem::path& path,
                                         Reason* warning = nullptr);

// The counts of the picture the window keeps: an 8-bit picture's levels; a
// 16-bit picture's every raw sample, whose own levels are their nearest
// 8-bit levels. Counted on two threads, halves apart.
struct PictureCounts {
    LevelHistogram Levels;
    std::optional<WideCounts> Samples; // a 16-bit picture's only
};
PictureCounts CountPicture(const KeptImage& picture);

// The counts on the plot's 256 columns after `tables`: an 8-bit level L in
// column Levels[L] & 0xFF, a 16-bit sample in the column the preview shows
// it at through the tables' curves (its nearest level without curves).
LevelHistogram CountsThrough(const PictureCounts& counts, const PictureTables& tables);
