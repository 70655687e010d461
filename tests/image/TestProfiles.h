// ICC profiles made with LittleCMS for the tests: a matrix/TRC RGB profile
// with power-law curves, and a LUT-based one whose A2B0 pipeline holds the
// same curves and matrix as stages.
#pragma once

#include <lcms2.h>

#include <cstdint>
#include <vector>

namespace profiletest {

inline std::vector<std::uint8_t> Saved(cmsHPROFILE profile) {
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    std::vector<std::uint8_t> bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

// The inverse of a 3 x 3 matrix in rows, by cofactors.
inline void Invert(const cmsFloat64Number m[9], cmsFloat64Number out[9]) {
    const double det = m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
                       m[2] * (m[3] * m[7] - m[4] * m[6]);
    out[0] = (m[4] * m[8] - m[5] * m[7]) / det;
    out[1] = (m[2] * m[7] - m[1] * m[8]) / det;
    out[2] = (m[1] * m[5] - m[2] * m[4]) / det;
    out[3] = (m[5] * m[6] - m[3] * m[8]) / det;
    out[4] = (m[0] * m[8] - m[2] * m[6]) / det;
    out[5] = (m[2] * m[3] - m[0] * m[5]) / det;
    out[6] = (m[3] * m[7] - m[4] * m[6]) / det;
    out[7] = (m[1] * m[6] - m[0] * m[7]) / det;
    out[8] = (m[0] * m[4] - m[1] * m[3]) / det;
}

// sRGB's primaries on the D65 white point, each channel a power law.
inline std::vector<std::uint8_t> MatrixTrcProfile(double gamma) {
    cmsCIExyY white{};
    cmsWhitePointFromTemp(&white, 6504);
    const cmsCIExyYTRIPLE primaries = {{0.64, 0.33, 1.0}, {0.30, 0.60, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve* curve = cmsBuildGamma(nullptr, gamma);
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(curve);
    return Saved(profile);
}

// A grey profile on D50 whose curve is a power law.
inline std::vector<std::uint8_t> GreyProfile(double gamma) {
    cmsToneCurve* curve = cmsBuildGamma(nullptr, gamma);
    cmsHPROFILE profile = cmsCreateGrayProfile(cmsD50_xyY(), curve);
    cmsFreeToneCurve(curve);
    return Saved(profile);
}

// An ICC v4 input profile, RGB to XYZ, whose colour tags are pipelines:
// A2B0 of power-law curves, a matrix and identity curves, and B2A0 its
// inverse. The matrix and its inverse are held exactly by the file's 16.16
// fixed-point numbers, so that the two directions agree to the last level.
inline std::vector<std::uint8_t> LutProfile(double gamma) {
    cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
    cmsSetProfileVersion(profile, 4.3);
    cmsSetDeviceClass(profile, cmsSigInputClass);
    cmsSetColorSpace(profile, cmsSigRgbData);
    cmsSetPCS(profile, cmsSigXYZData);
    cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ());
    cmsMLU* description = cmsMLUalloc(nullptr, 1);
    cmsMLUsetASCII(description, "en", "US", "A2B0 test profile");
    cmsWriteTag(profile, cmsSigProfileDescriptionTag, description);
    cmsMLUfree(description);
    cmsToneCurve* power = cmsBuildGamma(nullptr, gamma);
    cmsToneCurve* identity = cmsBuildGamma(nullptr, 1.0);
    cmsToneCurve* powers[3] = {power, power, power};
    cmsToneCurve* identities[3] = {identity, identity, identity};
    const cmsFloat64Number matrix[9] = {0.5, 0.25, 0.125, 0, 0.5, 0, 0, 0, 0.5};
    cmsPipeline* pipeline = cmsPipelineAlloc(nullptr, 3, 3);
    cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, powers));
    cmsPipelineInsertStage(pipeline, cmsAT_END,
                           cmsStageAllocMatrix(nullptr, 3, 3, matrix, nullptr));
    cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, identities));
    cmsWriteTag(profile, cmsSigAToB0Tag, pipeline);
    cmsPipelineFree(pipeline);
    cmsFloat64Number inverse[9] = {};
    Invert(matrix, inverse);
    cmsToneCurve* root = cmsReverseToneCurve(power);
    cmsToneCurve* roots[3] = {root, root, root};
    cmsPipeline* back = cmsPipelineAlloc(nullptr, 3, 3);
    cmsPipelineInsertStage(back, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, identities));
    cmsPipelineInsertStage(back, cmsAT_END, cmsStageAllocMatrix(nullptr, 3, 3, inverse, nullptr));
    cmsPipelineInsertStage(back, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, roots));
    cmsWriteTag(profile, cmsSigBToA0Tag, back);
    cmsPipelineFree(back);
    cmsFreeToneCurve(root);
    cmsFreeToneCurve(power);
    cmsFreeToneCurve(identity);
    return Saved(profile);
}

} // namespace profiletest
