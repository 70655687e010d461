// The contents of a 24-bit BMP made band by band from an image and the gamma
// tables: the header, then the stored rows bottom to top, so that only one
// band of rendered rows is held at a time.
#pragma once

#include "cli/BmpWriter.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

class BmpBandSource {
public:
    // `layout`, `image` and `tables` must outlive the source; `layout` is the
    // image's. Bands hold `bandRows` rows (the last one fewer).
    BmpBandSource(const Bmp24Layout& layout, const ImageBuffer& image,
                  const std::array<GammaTable, 3>& tables, std::int32_t bandRows);

    // The next piece of the file, valid until the following call; an empty
    // span at the end; nullopt when a band's memory could not be had.
    std::optional<std::span<const std::uint8_t>> Next();

private:
    bool RenderBandEndingAt(std::int32_t end);

    const Bmp24Layout& layout_;
    const ImageBuffer& image_;
    const std::array<GammaTable, 3>& tables_;
    const std::int32_t bandRows_;
    const BmpHeaderBytes header_;
    bool headerDone_ = false;
    std::optional<PreviewImage> band_; // rendered and packed
    std::int32_t bandBegin_;           // the image row in band_ row 0
    std::int32_t nextRow_;             // one past the next image row to hand out
};
