// A version 2.4 profile of the input class, RGB to PCS XYZ: rXYZ, gXYZ,
// bXYZ, rTRC, gTRC, bTRC (tables of kShaperPoints 16-bit entries), wtpt at
// D50, desc and cprt. With the media white at D50 no chromatic adaptation
// tag is needed in either version, and absolute colorimetry equals
// relative. LittleCMS picks each tag's type by the header's version as the
// tag is written.
#include "measure/InputProfile.h"

#include "measure/LcmsContext.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr double kVersionTwo = 2.4;
constexpr double kVersionFour = 4.3;
constexpr double kMax16 = 65535.0;
constexpr const char* kLanguage = "en";
constexpr const char* kCountry = "US";
constexpr const char* kCopyright = "No copyright, use freely";
constexpr std::string_view kProfileWords = "ICC profile";
constexpr cmsTagSignature kColorantTags[] = {cmsSigRedColorantTag, cmsSigGreenColorantTag,
                                             cmsSigBlueColorantTag};
constexpr cmsTagSignature kTrcTags[] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};

struct MluFree {
    void operator()(cmsMLU* mlu) const { cmsMLUfree(mlu); }
};

Reason Failed(const LcmsContext& context) {
    return {ReasonCode::DamagedData, 0,
            std::string(kProfileWords) +
                (context.Message().empty() ? "" : ": " + context.Message())};
}

bool WriteText(const LcmsContext& context, cmsHPROFILE profile, cmsTagSignature tag,
               const std::string& text) {
    const std::unique_ptr<cmsMLU, MluFree> mlu(cmsMLUalloc(context.Get(), 1));
    return mlu && cmsMLUsetASCII(mlu.get(), kLanguage, kCountry, text.c_str()) &&
           cmsWriteTag(profile, tag, mlu.get());
}

bool WriteCurve(const LcmsContext& context, cmsHPROFILE profile, cmsTagSignature tag,
                const std::vector<double>& curve) {
    std::vector<cmsUInt16Number> entries(curve.size());
    std::transform(curve.begin(), curve.end(), entries.begin(), [](double v) {
        return static_cast<cmsUInt16Number>(std::lround(std::clamp(v, 0.0, 1.0) * kMax16));
    });
    const LcmsCurve table(cmsBuildTabulatedToneCurve16(
        context.Get(), static_cast<cmsUInt32Number>(entries.size()), entries.data()));
    return table && cmsWriteTag(profile, tag, table.get());
}

bool WriteColour(const LcmsContext& context, cmsHPROFILE profile, const ShaperMatrix& model) {
    for (std::size_t c = 0; c < 3; ++c) {
        const cmsCIEXYZ colorant{model.toXyz[c], model.toXyz[3 + c], model.toXyz[6 + c]};
        if (!cmsWriteTag(profile, kColorantTags[c], &colorant) ||
            !WriteCurve(context, profile, kTrcTags[c], model.curves[c])) {
            return false;
        }
    }
    return cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ());
}

void StartInputProfile(cmsHPROFILE profile, double version) {
    cmsSetProfileVersion(profile, version);
    cmsSetDeviceClass(profile, cmsSigInputClass);
    cmsSetColorSpace(profile, cmsSigRgbData);
    cmsSetPCS(profile, cmsSigXYZData);
    cmsSetHeaderRenderingIntent(profile, INTENT_PERCEPTUAL);
}

Outcome<std::vector<std::uint8_t>> Saved(const LcmsContext& context, cmsHPROFILE profile) {
    cmsUInt32Number size = 0;
    if (!cmsSaveProfileToMem(profile, nullptr, &size)) {
        return Failed(context);
    }
    std::vector<std::uint8_t> bytes(size);
    if (!cmsSaveProfileToMem(profile, bytes.data(), &size)) {
        return Failed(context);
    }
    bytes.resize(size);
    return bytes;
}

} // namespace

Outcome<std::vector<std::uint8_t>> WriteInputProfile(const ShaperMatrix& model,
                                                     std::string_view description) {
    const LcmsContext context;
    const LcmsProfile profile(cmsCreateProfilePlaceholder(context.Get()));
    if (!profile) {
        return Failed(context);
    }
    cmsHPROFILE h = profile.get();
    StartInputProfile(h, kVersionTwo);
    if (!WriteText(context, h, cmsSigProfileDescriptionTag, std::string(description)) ||
        !WriteText(context, h, cmsSigCopyrightTag, kCopyright) || !WriteColour(context, h, model)) {
        return Failed(context);
    }
    return Saved(context, h);
}

Outcome<std::vector<std::uint8_t>> AtIccVersion(std::span<const std::uint8_t> bytes,
                                                IccVersion version) {
    const LcmsContext context;
    const LcmsProfile from(cmsOpenProfileFromMemTHR(context.Get(), bytes.data(),
                                                    static_cast<cmsUInt32Number>(bytes.size())));
    const LcmsProfile to(cmsCreateProfilePlaceholder(context.Get()));
    if (!from || !to) {
        return Failed(context);
    }
    StartInputProfile(to.get(), version == IccVersion::Two ? kVersionTwo : kVersionFour);
    const cmsInt32Number tags = cmsGetTagCount(from.get());
    for (cmsInt32Number i = 0; i < tags; ++i) {
        const cmsTagSignature tag = cmsGetTagSignature(from.get(), static_cast<cmsUInt32Number>(i));
        const void* data = cmsReadTag(from.get(), tag);
        if (data == nullptr || !cmsWriteTag(to.get(), tag, data)) {
            return Failed(context);
        }
    }
    return Saved(context, to.get());
}

Outcome<std::vector<LabColour>> LabsThroughProfile(std::span<const std::uint8_t> bytes,
                                                   std::span<const Vector3> device) {
    const LcmsContext context;
    const LcmsProfile profile(cmsOpenProfileFromMemTHR(context.Get(), bytes.data(),
                                                       static_cast<cmsUInt32Number>(bytes.size())));
    const LcmsProfile lab(cmsCreateLab4ProfileTHR(context.Get(), nullptr));
    if (!profile || !lab) {
        return Failed(context);
    }
    const LcmsTransform transform(cmsCreateTransformTHR(
        context.Get(), profile.get(), TYPE_RGB_DBL, lab.get(), TYPE_Lab_DBL,
        INTENT_ABSOLUTE_COLORIMETRIC, cmsFLAGS_NOOPTIMIZE | cmsFLAGS_NOCACHE));
    if (!transform) {
        return Failed(context);
    }
    std::vector<LabColour> labs;
    for (const Vector3& rgb : device) {
        cmsCIELab out{};
        cmsDoTransform(transform.get(), rgb.data(), &out, 1);
        labs.push_back({out.L, out.a, out.b});
    }
    return labs;
}
