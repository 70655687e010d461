// An 8-bit picture's array is the ImageBuffer's (bottom-up where its flag
// says so); a sample is read from its stored row, whose number an upright
// row gives through the layout.
#include "image/rows/KeptImage.h"

#include <cstring>

KeptImage KeptImage::OfLevels(const ImageBuffer& image, MallocPtr<std::uint8_t> pixels) {
    const MemoryRows rows = RowsOf(image);
    std::shared_ptr<const std::uint8_t> owner(pixels.release(), FreeDeleter{});
    return {std::move(owner), image.Pixels, rows.Layout()};
}

std::array<std::uint32_t, kColourChannels> KeptImage::SamplesAt(std::int32_t x,
                                                                std::int32_t y) const {
    const std::int32_t stored = layout_.BottomUp ? layout_.Height - 1 - y : y;
    const std::uint8_t* pixel =
        first_ + stored * layout_.Stride + x * layout_.Format.BytesPerPixel();
    const bool grey = layout_.Format.Samples == 1;
    std::array<std::uint32_t, kColourChannels> samples{};
    for (std::int32_t c = 0; c < kColourChannels; ++c) {
        const std::int32_t i = grey ? 0 : c;
        if (Wide()) {
            std::uint16_t word = 0;
            std::memcpy(&word, pixel + 2 * i, sizeof word);
            samples[static_cast<std::size_t>(c)] = word;
        } else {
            samples[static_cast<std::size_t>(c)] = pixel[i];
        }
    }
    return samples;
}
