// Negatives the tests make themselves: a scene of patches (linear RGB light)
// on a film whose transmission is T_c = b_c * ((E_c + f) / f)^(-gamma_c),
// with noise, as 16-bit RGB samples; and the ColorChecker's colours as such
// a scene, in linear Rec. 2020 light, with CIELAB (D50) through LittleCMS.
#pragma once

#include "curve/FilmSettings.h"
#include "image/rows/MemoryRows.h"
#include "measure/FilmCounts.h"

#include <lcms2.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace filmtest {

struct Film {
    ChannelValues base{0.72, 0.46, 0.27}; // an orange mask
    ChannelValues gamma{0.55, 0.6, 0.66};
    double fog = 0.01; // f: the exposure where the film starts to respond
};

ChannelValues Transmission(const Film& film, const ChannelValues& exposure);

// Patches in rows of `columns`, `size` pixels square, with `gap` pixels of
// unexposed film between them and around them.
struct Layout {
    int columns = 6;
    int size = 12;
    int gap = 4;
};

struct Negative {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint16_t> samples; // R, G, B per pixel, rows from the top
    Layout layout;

    // The inside of patch i, a pixel in from its edges.
    PixelRect Patch(std::size_t i) const {
        const int step = layout.size + layout.gap;
        const int column = static_cast<int>(i) % layout.columns;
        const int row = static_cast<int>(i) / layout.columns;
        return {layout.gap + column * step + 1, layout.gap + row * step + 1, layout.size - 2,
                layout.size - 2};
    }
    // The top gap: unexposed film.
    PixelRect Border() const { return {0, 0, width, layout.gap}; }

    MemoryRows Rows() const {
        RowLayout rows;
        rows.Width = width;
        rows.Height = height;
        rows.Format = kRgb48;
        rows.Stride = std::int64_t{width} * 6;
        rows.MaxValue = kMaxSample16;
        return MemoryRows(reinterpret_cast<const std::uint8_t*>(samples.data()), rows);
    }
};

// Each sample's transmission times (1 + noise * a standard normal deviate).
Negative MakeNegative(const std::vector<ChannelValues>& scene, const Film& film,
                      double noise = 0.004, Layout layout = {});

// The ColorChecker Classic 24's CIELAB (D50), row by row, its six greys
// made exactly neutral so that a neutral result means a*, b* of 0.
inline constexpr std::array<std::array<double, 3>, 24> kCheckerLab = {{
    {37.54, 14.37, 14.92},  {64.66, 19.27, 17.50},   {49.32, -3.82, -22.54}, {43.46, -12.74, 22.72},
    {54.94, 9.61, -24.79},  {70.48, -32.26, -0.37},  {62.73, 35.83, 56.50},  {39.43, 10.75, -45.17},
    {50.57, 48.64, 16.67},  {30.10, 22.54, -20.87},  {71.77, -24.13, 58.19}, {71.51, 18.24, 67.37},
    {28.37, 15.42, -49.80}, {54.38, -39.72, 32.27},  {42.43, 51.05, 28.62},  {81.80, 2.67, 80.41},
    {50.63, 51.28, -14.12}, {49.57, -29.71, -28.32}, {95.19, 0, 0},          {81.29, 0, 0},
    {66.89, 0, 0},          {50.76, 0, 0},           {35.63, 0, 0},          {20.64, 0, 0},
}};
inline constexpr std::size_t kFirstGrey = 18; // white 9.5 .. black 2
inline constexpr std::size_t kLightGrey = 19; // neutral 8
inline constexpr std::size_t kDarkGrey = 22;  // neutral 3.5

// Linear Rec. 2020 light <-> CIELAB D50, both ways through LittleCMS.
class LabSpace {
public:
    LabSpace() {
        const cmsCIExyY white{0.3127, 0.3290, 1.0};
        const cmsCIExyYTRIPLE primaries{
            {0.708, 0.292, 1.0}, {0.170, 0.797, 1.0}, {0.131, 0.046, 1.0}};
        cmsToneCurve* linear = cmsBuildGamma(nullptr, 1.0);
        cmsToneCurve* curves[3] = {linear, linear, linear};
        cmsHPROFILE rgb = cmsCreateRGBProfile(&white, &primaries, curves);
        cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
        toLab_ =
            cmsCreateTransform(rgb, TYPE_RGB_DBL, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC,
                               cmsFLAGS_NOOPTIMIZE | cmsFLAGS_NOCACHE);
        toRgb_ =
            cmsCreateTransform(lab, TYPE_Lab_DBL, rgb, TYPE_RGB_DBL, INTENT_RELATIVE_COLORIMETRIC,
                               cmsFLAGS_NOOPTIMIZE | cmsFLAGS_NOCACHE);
        cmsCloseProfile(rgb);
        cmsCloseProfile(lab);
        cmsFreeToneCurve(linear);
    }
    ~LabSpace() {
        cmsDeleteTransform(toLab_);
        cmsDeleteTransform(toRgb_);
    }
    LabSpace(const LabSpace&) = delete;
    LabSpace& operator=(const LabSpace&) = delete;

    cmsCIELab Lab(const ChannelValues& rgb) const {
        cmsCIELab lab{};
        cmsDoTransform(toLab_, rgb.data(), &lab, 1);
        return lab;
    }
    ChannelValues Rgb(const cmsCIELab& lab) const {
        ChannelValues rgb{};
        cmsDoTransform(toRgb_, &lab, rgb.data(), 1);
        return rgb;
    }

private:
    cmsHTRANSFORM toLab_ = nullptr;
    cmsHTRANSFORM toRgb_ = nullptr;
};

inline std::vector<ChannelValues> CheckerScene(const LabSpace& space) {
    std::vector<ChannelValues> scene;
    for (const auto& [l, a, b] : kCheckerLab) {
        scene.push_back(space.Rgb(cmsCIELab{l, a, b}));
    }
    return scene;
}

} // namespace filmtest
