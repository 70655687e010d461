// A JPEG image cut into bands of whole MCU rows that are encoded on their
// own, each through libjpeg-turbo with the same tables, and joined into one
// baseline JPEG: the first band's header (its frame's height made the whole
// image's), every band's entropy-coded data with a restart marker between
// two bands, and the end marker. The restart interval is one band's MCUs,
// so a decoder resets its DC prediction exactly where a band begins.
#pragma once

#include "image/ImageMeta.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// Quality at and above which the chroma keeps every sample (4:4:4); below
// it chroma is halved both ways (4:2:0).
inline constexpr std::int32_t kFullChromaQuality = 90;
// JPEG counts rows and columns in 16 bits.
inline constexpr std::int32_t kJpegMostSide = 65535;

struct JpegSettings {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t channels = 3; // 1: grey; 3: RGB, coded as YCbCr
    std::int32_t quality = 92;
    std::optional<Resolution> density; // JFIF density in dots per inch
    std::span<const std::uint8_t> icc; // in APP2 markers, when not empty

    bool FullChroma() const { return channels == 1 || quality >= kFullChromaQuality; }
    std::int32_t McuWidth() const;
    std::int32_t McuHeight() const;
};

// Rows per band (whole MCU rows but for the last band) and the restart
// interval in MCUs, kept within JPEG's 16-bit interval.
struct JpegBandPlan {
    std::int32_t bandRows = 0;
    std::int32_t restartInterval = 0;
    std::int32_t Bands(std::int32_t height) const { return (height + bandRows - 1) / bandRows; }
};

// Bands of about `targetBytes` of 8-bit rows.
JpegBandPlan PlanJpegBands(const JpegSettings& settings, std::int64_t targetBytes);

// Band `index` from its 8-bit rows (packed, grey or R, G, B): for the first
// band the header and the data, for the others the data only, never the end
// marker. False when libjpeg-turbo fails (no memory).
bool EncodeJpegBand(const JpegSettings& settings, const JpegBandPlan& plan, std::int32_t index,
                    std::span<const std::uint8_t> rows, std::vector<std::uint8_t>& out);

// What follows band `index` of `bands`: its restart marker, or the end
// marker after the last.
std::vector<std::uint8_t> JpegBandEnd(std::int32_t index, std::int32_t bands);
