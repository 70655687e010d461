// Crops of one image, each through tables of its own into a file of its
// own: a film strip's frames as positives. The image is read once for all
// of them, and no crop is held whole in memory.
#pragma once

#include "image/ApplyImage.h"
#include "image/rows/CropRows.h"

#include <filesystem>
#include <span>
#include <vector>

struct CropOutput {
    PixelRect Rect; // must fit the image
    ApplyTables Tables;
    std::filesystem::path Path;
    ImageFormat Format = ImageFormat::Tiff;
};

// Each output's reason, in order, as ApplyRowsFile gives it: a failed
// output leaves no file (an old one stays), the others go on. `control`
// follows the read and stops it: outputs whose rows were all read by then
// are still written whole; the rest fail with Cancelled.
std::vector<Reason> ApplyCrops(const RowSource& source, std::span<const CropOutput> outputs,
                               const ApplyOptions& options, const CropControl& control = {});
