// The portable kernels: each stored pixel's red, green and blue levels (or
// its colour-table entry) looked up in the tone map, pixel by pixel.
#include "image/kernels/RowKernels.h"

#include <cstring>
#include <utility>

namespace {

constexpr std::int64_t kBgrBytes = 3;
constexpr int kGreenShift = 8;
constexpr int kRedShift = 16;
constexpr std::uint32_t kByteMask = 0xFF;

// How a stored pixel of each format gives its levels.
template <std::int64_t Bytes, bool Rgb> struct Direct {
    static constexpr std::int64_t kBytes = Bytes;
    static std::uint32_t Preview(const std::uint8_t* p, const ToneMap& map) {
        return Rgb ? map.Pixel(p[0], p[1], p[2]) : map.Pixel(p[2], p[1], p[0]);
    }
    static void Bgr(const std::uint8_t* p, std::uint8_t* out, const ToneMap& map) {
        out[0] = map.Level[kBlue][Rgb ? p[2] : p[0]];
        out[1] = map.Level[kGreen][p[1]];
        out[2] = map.Level[kRed][Rgb ? p[0] : p[2]];
    }
};

struct Indexed {
    static constexpr std::int64_t kBytes = 1;
    static std::uint32_t Preview(const std::uint8_t* p, const ToneMap& map) {
        return map.Indexed[*p];
    }
    static void Bgr(const std::uint8_t* p, std::uint8_t* out, const ToneMap& map) {
        const std::uint32_t pixel = map.Indexed[*p];
        out[0] = static_cast<std::uint8_t>(pixel & kByteMask);
        out[1] = static_cast<std::uint8_t>(pixel >> kGreenShift & kByteMask);
        out[2] = static_cast<std::uint8_t>(pixel >> kRedShift & kByteMask);
    }
};

template <typename Pixel> void ToPreview(const RowBlock& block, const ToneMap& map) {
    for (std::int32_t k = 0; k < block.Rows; ++k) {
        const std::uint8_t* in = block.In + k * block.InStride;
        auto* out = reinterpret_cast<std::uint32_t*>(block.Out + k * block.OutStride);
        for (std::int64_t x = 0; x < block.Width; ++x) {
            out[x] = Pixel::Preview(in + x * Pixel::kBytes, map);
        }
    }
}

template <typename Pixel> void ToBgr(const RowBlock& block, const ToneMap& map) {
    for (std::int32_t k = 0; k < block.Rows; ++k) {
        const std::uint8_t* in = block.In + k * block.InStride;
        std::uint8_t* out = block.Out + k * block.OutStride;
        for (std::int64_t x = 0; x < block.Width; ++x) {
            Pixel::Bgr(in + x * Pixel::kBytes, out + x * kBgrBytes, map);
        }
    }
}

template <typename Pixel> void ToRgb(const RowBlock& block, const ToneMap& map) {
    for (std::int32_t k = 0; k < block.Rows; ++k) {
        const std::uint8_t* in = block.In + k * block.InStride;
        std::uint8_t* out = block.Out + k * block.OutStride;
        for (std::int64_t x = 0; x < block.Width; ++x) {
            std::uint8_t* px = out + x * kBgrBytes;
            Pixel::Bgr(in + x * Pixel::kBytes, px, map);
            std::swap(px[0], px[2]);
        }
    }
}

// Levels of grey pixels (R, G, B, 255 with R = G = B) to one grey sample.
void ToGrey(const RowBlock& block, const ToneMap& map) {
    constexpr std::int64_t kLevelBytes = 4;
    const Levels& green = map.Level[kGreen];
    for (std::int32_t k = 0; k < block.Rows; ++k) {
        const std::uint8_t* in = block.In + k * block.InStride;
        std::uint8_t* out = block.Out + k * block.OutStride;
        for (std::int64_t x = 0; x < block.Width; ++x) {
            out[x] = green[in[x * kLevelBytes + kGreen]];
        }
    }
}

using Bgr24 = Direct<3, false>;
using Rgb24 = Direct<3, true>;
using Bgrx32 = Direct<4, false>;
using Rgbx32 = Direct<4, true>;

} // namespace

RowKernel PreviewKernel(const RowFormat& format) {
    if (format == kRgbx32) {
        return ToPreview<Rgbx32>;
    }
    if (format == kBgr24) {
        return ToPreview<Bgr24>;
    }
    if (format == kBgrx32) {
        return ToPreview<Bgrx32>;
    }
    return format == kIndexed8 ? ToPreview<Indexed> : nullptr;
}

RowKernel BgrKernel(const RowFormat& format, bool wide) {
    if (format == kBgr24) {
        return wide && HasAvx512Vbmi() ? MapBgrRowsAvx512Vbmi : ToBgr<Bgr24>;
    }
    if (format == kBgrx32) {
        return ToBgr<Bgrx32>;
    }
    if (format == kRgbx32) {
        return ToBgr<Rgbx32>;
    }
    if (format == kRgb24) {
        return ToBgr<Rgb24>;
    }
    return format == kIndexed8 ? ToBgr<Indexed> : nullptr;
}

RowKernel GreyKernel(const RowFormat& format) {
    return format == kRgbx32 ? ToGrey : nullptr;
}

RowKernel RgbKernel(const RowFormat& format, bool wide) {
    if (format == kRgbx32) {
        return ToRgb<Rgbx32>;
    }
    if (format == kBgr24) {
        return ToRgb<Bgr24>;
    }
    if (format == kBgrx32) {
        return ToRgb<Bgrx32>;
    }
    if (format == kRgb24) {
        return wide && HasAvx512Vbmi() ? MapRgbRowsAvx512Vbmi : ToRgb<Rgb24>;
    }
    return format == kIndexed8 ? ToRgb<Indexed> : nullptr;
}
