// One pass over the rows; the image buffer's memory is a pixel block, as the
// readers' is, so that the preview state frees both alike.
#include "image/SampleBuffer.h"

#include "image/PixelMemory.h"

bool ToImageBuffer(const SampleImage& image, ImageBuffer& out) {
    const SampleLayout& layout = image.layout;
    if (layout.width <= 0 || layout.height <= 0) {
        return false;
    }
    auto block = AllocatePixelBlock(static_cast<std::uint64_t>(layout.width) *
                                        static_cast<std::uint64_t>(layout.height),
                                    kImageBytesPerPixel);
    if (!block) {
        return false;
    }
    const bool wide = layout.depth == kWordDepth;
    std::uint8_t* to = block->get();
    for (std::int32_t y = 0; y < layout.height; ++y) {
        for (std::int32_t x = 0; x < layout.width; ++x, to += kImageBytesPerPixel) {
            for (int c = 0; c < kRgbChannels; ++c) {
                const int sample = image.Sample(x, y, layout.channels == kGreyChannels ? 0 : c);
                to[c] = wide ? LevelOf16(static_cast<std::uint32_t>(sample))
                             : static_cast<std::uint8_t>(sample);
            }
            to[kRgbChannels] = kOpaque;
        }
    }
    out = ImageBuffer{false, layout.width, layout.height, block->release()};
    return true;
}
