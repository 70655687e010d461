// The cells hold 0..65535 steps of transmission, the start-up curve's
// index as it is for a 16-bit scan.
#include "measure/StripPicture.h"

#include "measure/ChartPicture.h"

SampleImage StripPicture(const StripMap& map) {
    SampleImage picture{{map.columns, map.rows, kRgbChannels, kByteDepth}, {}};
    const std::vector<std::uint16_t> curve = StartUpLevels();
    picture.bytes.resize(map.cells.size() * kRgbChannels);
    std::uint8_t* out = picture.bytes.data();
    for (const CellSteps& cell : map.cells) {
        for (const std::uint16_t step : cell) {
            *out++ = static_cast<std::uint8_t>(curve[step]);
        }
    }
    return picture;
}
