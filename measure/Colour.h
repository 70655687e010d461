// CIE colours as calibration uses them: XYZ with the perfect white's Y = 1,
// CIELAB relative to D50, and the CIEDE2000 difference, through LittleCMS.
#pragma once

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

// CIEDE2000 with kL = kC = kH = 1.
double DeltaE2000(const LabColour& a, const LabColour& b);
