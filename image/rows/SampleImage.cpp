// Reading one sample back, for readouts and tests; the writers take whole rows.
#include "image/rows/SampleImage.h"

#include <cstring>

int SampleImage::Sample(std::int32_t x, std::int32_t y, int channel) const {
    const std::size_t index =
        static_cast<std::size_t>(x) * static_cast<std::size_t>(layout.channels) +
        static_cast<std::size_t>(channel);
    const std::uint8_t* row = Row(y).data();
    if (layout.depth != kWordDepth) {
        return row[index];
    }
    std::uint16_t word = 0;
    std::memcpy(&word, row + index * sizeof word, sizeof word);
    return word;
}
