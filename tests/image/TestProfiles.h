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

// An ICC v4 input profile, RGB to XYZ, whose only colour tag is A2B0:
// power-law curves, a matrix (sRGB's, D50), identity curves.
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
    const cmsFloat64Number matrix[9] = {0.4361, 0.3851, 0.1431, 0.2225, 0.7169,
                                        0.0606, 0.0139, 0.0971, 0.7141};
    cmsPipeline* pipeline = cmsPipelineAlloc(nullptr, 3, 3);
    cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, powers));
    cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocMatrix(nullptr, 3, 3, matrix, nullptr));
    cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, identities));
    cmsWriteTag(profile, cmsSigAToB0Tag, pipeline);
    cmsPipelineFree(pipeline);
    cmsFreeToneCurve(power);
    cmsFreeToneCurve(identity);
    return Saved(profile);
}

} // namespace profiletest
