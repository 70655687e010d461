// The layouts of the images held in memory: the window's R, G, B, 255 array,
// and a scanned page, whose channels and depth pick one of the scan formats
// the level kernels take.
#include "image/rows/MemoryRows.h"

namespace {

RowFormat FormatOf(const SampleLayout& page) {
    const bool wide = page.depth == kWordDepth;
    if (page.channels == kGreyChannels) {
        return wide ? kGrey16 : kGrey8;
    }
    return wide ? kRgb48 : kRgb24;
}

} // namespace

MemoryRows RowsOf(const ImageBuffer& image) {
    return {image.Pixels,
            {image.Width, image.Height, kRgbx32, image.TopDown,
             std::int64_t{image.Width} * kImageBytesPerPixel}};
}

MemoryRows RowsOf(const SampleImage& page) {
    return {page.bytes.data(),
            {page.layout.width, page.layout.height, FormatOf(page.layout), false,
             static_cast<std::int64_t>(page.layout.RowBytes()), page.layout.MaxLevel()}};
}
