// CIE colours as calibration uses them: XYZ with the perfect white's Y = 1,
// CIELAB relative to D50 (through LittleCMS), and the CIEDE2000 difference
// (kL = kC = kH = 1) with the variants the imaging guidelines use.
#pragma once

#include <array>

struct LabColour {
    double L = 0;
    double a = 0;
    double b = 0;
};

struct XyzColour {
    double X = 0;
    double Y = 0;
    double Z = 0;
};

LabColour LabOf(const XyzColour& xyz);
XyzColour XyzOf(const LabColour& lab);

// How CIEDE2000 weighs the lightness difference: by S_L as defined, by 1
// (S_L = 1), or not at all (the chromatic difference, Delta E(a*b*)).
enum class LightnessTerm { Weighted, Unweighted, LeftOut };

// Three terms whose squares sum to the square of CIEDE2000 from `reference`
// to `sample`: dL'/S_L, dC'/S_C + R_T/2 dH'/S_H, sqrt(1 - R_T^2/4) dH'/S_H.
// Each is smooth where the difference is 0, unlike the difference itself,
// which is what a least-squares fit wants.
std::array<double, 3> DeltaE2000Terms(const LabColour& reference, const LabColour& sample,
                                      LightnessTerm lightness = LightnessTerm::Weighted);

double DeltaE2000(const LabColour& a, const LabColour& b,
                  LightnessTerm lightness = LightnessTerm::Weighted);
