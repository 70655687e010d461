// Lab from XYZ and back against LittleCMS's D50 white (0.9642, 1, 0.8249),
// and its CIEDE2000.
#include "measure/Colour.h"

#include <lcms2.h>

LabColour LabOf(const XyzColour& xyz) {
    const cmsCIEXYZ in{xyz.X, xyz.Y, xyz.Z};
    cmsCIELab out{};
    cmsXYZ2Lab(cmsD50_XYZ(), &out, &in);
    return {out.L, out.a, out.b};
}

XyzColour XyzOf(const LabColour& lab) {
    const cmsCIELab in{lab.L, lab.a, lab.b};
    cmsCIEXYZ out{};
    cmsLab2XYZ(cmsD50_XYZ(), &out, &in);
    return {out.X, out.Y, out.Z};
}

double DeltaE2000(const LabColour& a, const LabColour& b) {
    const cmsCIELab x{a.L, a.a, a.b};
    const cmsCIELab y{b.L, b.a, b.b};
    return cmsCIE2000DeltaE(&x, &y, 1.0, 1.0, 1.0);
}
