// A scan's samples go through a table of every raw value's step (a
// big-endian sample's bytes swapped in it); other rows are widened to
// R, G, B, x levels as the window's reader widens them, then scaled.
#include "measure/RowSteps.h"

#include "image/rows/ImageBuffer.h"
#include "image/rows/LevelRows.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t kTop16 = 65535;
constexpr std::uint32_t kEightToSixteen = 257; // 255 * 257 = 65535

// Steps of each stored sample value, by its raw bytes: the maxval scaled,
// a big-endian sample swapped first.
std::vector<std::uint16_t> StepsOfSamples(const RowLayout& layout) {
    const RowFormat& format = layout.Format;
    const std::size_t values = std::size_t{1} << format.BitsPerSample;
    const std::uint64_t m = static_cast<std::uint64_t>(std::max(layout.MaxValue, 1));
    std::vector<std::uint16_t> steps(values);
    for (std::size_t raw = 0; raw < values; ++raw) {
        std::uint64_t v = raw;
        if (format.BigEndian) {
            v = (raw >> 8 | raw << 8) & kTop16;
        }
        steps[raw] = static_cast<std::uint16_t>((std::min(v, m) * kTop16 + m / 2) / m);
    }
    return steps;
}

} // namespace

RowSteps::RowSteps(const RowSource& source)
    : layout_(source.Layout()), scan_(IsScanFormat(layout_.Format)),
      palette_(PackColours(source.Colours())) {
    if (scan_) {
        steps_ = StepsOfSamples(layout_);
    }
}

void RowSteps::Convert(const std::uint8_t* stored, std::uint8_t* wide, std::uint16_t* out) const {
    const std::int32_t width = layout_.Width;
    if (scan_) {
        ScanRow(stored, out);
        return;
    }
    const std::uint8_t* rgbx = stored;
    if (layout_.Format != kRgbx32) {
        const auto bytes = static_cast<std::int32_t>(layout_.Format.BytesPerPixel());
        std::memcpy(wide + StoredRowOffset(width, bytes), stored,
                    static_cast<std::size_t>(layout_.RowBytes()));
        ExpandRowInPlace(wide, width, bytes, palette_);
        rgbx = wide;
    }
    for (std::int64_t x = 0; x < width; ++x) {
        for (std::int64_t c = 0; c < kStepsPerPixel; ++c) {
            out[x * kStepsPerPixel + c] =
                static_cast<std::uint16_t>(rgbx[x * kImageBytesPerPixel + c] * kEightToSixteen);
        }
    }
}

void RowSteps::ScanRow(const std::uint8_t* stored, std::uint16_t* out) const {
    const RowFormat& f = layout_.Format;
    const std::int64_t samples = std::int64_t{layout_.Width} * f.Samples;
    for (std::int64_t i = 0; i < samples; ++i) {
        std::size_t raw = stored[i];
        if (f.BitsPerSample == kWideBits) {
            std::uint16_t word = 0;
            std::memcpy(&word, stored + 2 * i, sizeof word);
            raw = word;
        }
        const std::uint16_t step = steps_[raw];
        if (f.Samples == 1) {
            std::fill_n(out + i * kStepsPerPixel, kStepsPerPixel, step);
        } else {
            out[i] = step;
        }
    }
}
