// Lab from XYZ (by its definition, the cube root taken as such) and back
// (through LittleCMS) against LittleCMS's D50 white (0.9642, 1, 0.8249).
// CIEDE2000 as Sharma, Wu and Dalal give it (2005): a' = (1 + G) a with G =
// (1 - sqrt(C^7 / (C^7 + 25^7))) / 2 over the mean chroma; C', h' from a',
// b; dH' = 2 sqrt(C'1 C'2) sin(dh' / 2); S_L = 1 + 0.015 (L' - 50)^2 /
// sqrt(20 + (L' - 50)^2), S_C = 1 + 0.045 C', S_H = 1 + 0.015 C' T; R_T =
// -sin(2 dtheta) R_C. Then dE^2 = dL^2 + dC^2 + dH^2 + R_T dC dH, with each
// d divided by its S, which is the sum of the squares of the three terms.
#include "measure/Colour.h"

#include <lcms2.h>

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegree = kPi / 180.0;
constexpr double kFullTurn = 360.0;
constexpr double kHalfTurn = 180.0;
constexpr double kChromaPivot = 25.0; // the 25 of C^7 / (C^7 + 25^7)
constexpr double kLightnessMid = 50.0;
constexpr double kLightnessSlope = 0.015; // S_L's 0.015 and its 20
constexpr double kLightnessSoftening = 20.0;
constexpr double kChromaSlope = 0.045; // S_C
constexpr double kHueSlope = 0.015;    // S_H
// T = 1 + sum of weight * cos(multiple * h + shift): the hue's own weight.
struct HueTerm {
    double weight;
    double multiple;
    double shiftDegrees;
};
constexpr HueTerm kHueTerms[] = {{-0.17, 1, -30}, {0.24, 2, 0}, {0.32, 3, 6}, {-0.20, 4, -63}};
// R_T's rotation: dtheta = 30 exp(-((h' - 275) / 25)^2) degrees.
constexpr double kRotationDegrees = 30.0;
constexpr double kRotationCentre = 275.0;
constexpr double kRotationWidth = 25.0;
// CIELAB: L = 116 f(Y/Yn) - 16, a = 500 (f(X/Xn) - f(Y/Yn)), b = 200 (f(Y/Yn)
// - f(Z/Zn)); f(t) = t^(1/3) above (6/29)^3, else t / (3 (6/29)^2) + 4/29.
constexpr double kLabScale = 116.0;
constexpr double kLabOffset = 16.0;
constexpr double kLabA = 500.0;
constexpr double kLabB = 200.0;
constexpr double kLabKnee = 6.0 / 29.0;

double LabCurve(double t) {
    return t > kLabKnee * kLabKnee * kLabKnee ? std::cbrt(t)
                                              : t / (3 * kLabKnee * kLabKnee) + 4.0 / 29.0;
}

double Seventh(double v) {
    const double v2 = v * v;
    return v2 * v2 * v2 * v;
}

// sqrt(C^7 / (C^7 + 25^7)).
double ChromaRatio(double c) {
    const double c7 = Seventh(c);
    return std::sqrt(c7 / (c7 + Seventh(kChromaPivot)));
}

// sqrt(a^2 + b^2): Lab's values never come near overflow, so std::hypot's
// care (and cost) is not needed.
double Chroma(double a, double b) {
    return std::sqrt(a * a + b * b);
}

struct Primed {
    double chroma;
    double hue; // degrees, 0..360
};

Primed PrimedOf(const LabColour& lab, double g) {
    const double a = (1 + g) * lab.a;
    const double chroma = Chroma(a, lab.b);
    double hue = chroma == 0 ? 0.0 : std::atan2(lab.b, a) / kDegree;
    if (hue < 0) {
        hue += kFullTurn;
    }
    return {chroma, hue};
}

// dh' and the mean hue h', both in degrees.
std::array<double, 2> HueDifferenceAndMean(const Primed& p1, const Primed& p2) {
    if (p1.chroma * p2.chroma == 0) {
        return {0.0, p1.hue + p2.hue};
    }
    double difference = p2.hue - p1.hue;
    if (difference > kHalfTurn) {
        difference -= kFullTurn;
    } else if (difference < -kHalfTurn) {
        difference += kFullTurn;
    }
    double mean = (p1.hue + p2.hue) / 2;
    if (std::abs(p1.hue - p2.hue) > kHalfTurn) {
        mean += p1.hue + p2.hue < kFullTurn ? kHalfTurn : -kHalfTurn;
    }
    return {difference, mean};
}

double HueWeight(double meanHue, double meanChroma) {
    double t = 1;
    for (const HueTerm& term : kHueTerms) {
        t += term.weight * std::cos((term.multiple * meanHue + term.shiftDegrees) * kDegree);
    }
    return 1 + kHueSlope * meanChroma * t;
}

double Rotation(double meanHue, double meanChroma) {
    const double rise = (meanHue - kRotationCentre) / kRotationWidth;
    const double theta = kRotationDegrees * std::exp(-rise * rise) * kDegree;
    return -std::sin(2 * theta) * 2 * ChromaRatio(meanChroma);
}

double LightnessWeight(double meanLightness, LightnessTerm lightness) {
    const double d2 = (meanLightness - kLightnessMid) * (meanLightness - kLightnessMid);
    return lightness == LightnessTerm::Weighted
               ? 1 + kLightnessSlope * d2 / std::sqrt(kLightnessSoftening + d2)
               : 1.0;
}

} // namespace

LabColour LabOf(const XyzColour& xyz) {
    const cmsCIEXYZ* white = cmsD50_XYZ();
    const double fx = LabCurve(xyz.X / white->X);
    const double fy = LabCurve(xyz.Y / white->Y);
    const double fz = LabCurve(xyz.Z / white->Z);
    return {kLabScale * fy - kLabOffset, kLabA * (fx - fy), kLabB * (fy - fz)};
}

XyzColour XyzOf(const LabColour& lab) {
    const cmsCIELab in{lab.L, lab.a, lab.b};
    cmsCIEXYZ out{};
    cmsLab2XYZ(cmsD50_XYZ(), &out, &in);
    return {out.X, out.Y, out.Z};
}

std::array<double, 3> DeltaE2000Terms(const LabColour& reference, const LabColour& sample,
                                      LightnessTerm lightness) {
    const double meanC = (Chroma(reference.a, reference.b) + Chroma(sample.a, sample.b)) / 2;
    const double g = (1 - ChromaRatio(meanC)) / 2;
    const Primed p1 = PrimedOf(reference, g);
    const Primed p2 = PrimedOf(sample, g);
    const auto [dh, meanHue] = HueDifferenceAndMean(p1, p2);
    const double meanChroma = (p1.chroma + p2.chroma) / 2;
    const double dL =
        lightness == LightnessTerm::LeftOut
            ? 0.0
            : (sample.L - reference.L) / LightnessWeight((reference.L + sample.L) / 2, lightness);
    const double dC = (p2.chroma - p1.chroma) / (1 + kChromaSlope * meanChroma);
    const double dH = 2 * std::sqrt(p1.chroma * p2.chroma) * std::sin(dh * kDegree / 2) /
                      HueWeight(meanHue, meanChroma);
    const double rt = Rotation(meanHue, meanChroma);
    return {dL, dC + rt / 2 * dH, std::sqrt(1 - rt * rt / 4) * dH};
}

double DeltaE2000(const LabColour& a, const LabColour& b, LightnessTerm lightness) {
    const std::array<double, 3> t = DeltaE2000Terms(a, b, lightness);
    return std::sqrt(t[0] * t[0] + t[1] * t[1] + t[2] * t[2]);
}
