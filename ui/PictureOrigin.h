// Where the window's picture came from: a file (its name), or a page
// scanned, kept at the depth it was scanned in with the resolution and
// device its file should name (a 16-bit page is the picture itself).
#pragma once

#include "image/ImageMeta.h"
#include "image/rows/SampleImage.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

struct ScannedPage {
    std::shared_ptr<const SampleImage> samples;
    std::optional<Resolution> resolution;
    std::string device;
};

struct PictureOrigin {
    std::filesystem::path file;      // empty for a scan, and before any picture
    std::optional<ScannedPage> scan; // the page, for a scan
};
