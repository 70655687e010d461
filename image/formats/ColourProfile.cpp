// Every profile is opened in a context of its own whose error handler keeps
// LittleCMS's first message for the reason. Tone curves are written as
// tables of 16-bit entries, the form every ICC version reads: kCurvePoints
// of them, or one per level where the output's samples take fewer (256 for
// 8 bits, as the window's tables give): entry i then stands at level i
// exactly, and more entries would say nothing more of the file's samples.
#include "image/formats/ColourProfile.h"

#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

namespace {

constexpr std::size_t kCurvePoints = 4096;
constexpr double kMax16 = 65535.0;
constexpr std::size_t kRgb = 3;
constexpr const char* kProfileWords = "ICC profile";
// Put after the input profile's description once the tables are in the
// profile, so that a colour-managed program lists it for what it is.
constexpr const wchar_t* kTablesNote = L" with Tamrel tables";
// What the profile is called when the input names itself nothing.
constexpr const wchar_t* kUnnamedProfile = L"Scanner profile";
// The language and country the written description is filed under.
constexpr const char* kDescriptionLanguage = "en";
constexpr const char* kDescriptionCountry = "US";

struct Log {
    std::string message;
};

void OnError(cmsContext context, cmsUInt32Number, const char* text) {
    auto* log = static_cast<Log*>(cmsGetContextUserData(context));
    if (log != nullptr && log->message.empty()) {
        log->message = text;
    }
}

struct ContextFree {
    void operator()(cmsContext context) const { cmsDeleteContext(context); }
};
struct ProfileClose {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
struct CurveFree {
    void operator()(cmsToneCurve* curve) const { cmsFreeToneCurve(curve); }
};
struct PipelineFree {
    void operator()(cmsPipeline* pipeline) const { cmsPipelineFree(pipeline); }
};
struct MluFree {
    void operator()(cmsMLU* mlu) const { cmsMLUfree(mlu); }
};
using Context = std::unique_ptr<std::remove_pointer_t<cmsContext>, ContextFree>;
using Profile = std::unique_ptr<void, ProfileClose>;
using Curve = std::unique_ptr<cmsToneCurve, CurveFree>;
using Pipeline = std::unique_ptr<cmsPipeline, PipelineFree>;
using Curves = std::array<Curve, kRgb>;

// A context, its log, and the profile opened in it.
struct Opened {
    std::unique_ptr<Log> log = std::make_unique<Log>();
    Context context;
    Profile profile;

    Reason Damaged() const {
        return {ReasonCode::DamagedData, 0,
                std::string(kProfileWords) + (log->message.empty() ? "" : ": " + log->message)};
    }
};

// The header's first field is the profile's size: a profile cut short is
// refused here, since LittleCMS reads tags only when they are asked for.
// Bytes after the profile are left alone.
constexpr std::size_t kSizeFieldBytes = 4;

std::uint32_t DeclaredSize(std::span<const std::uint8_t> bytes) {
    std::uint32_t size = 0;
    for (std::size_t i = 0; i < kSizeFieldBytes && i < bytes.size(); ++i) {
        size = size << 8 | bytes[i];
    }
    return size;
}

Opened Open(std::span<const std::uint8_t> bytes) {
    Opened opened;
    if (bytes.size() >= kSizeFieldBytes && DeclaredSize(bytes) > bytes.size()) {
        opened.log->message = "the profile says it holds " + std::to_string(DeclaredSize(bytes)) +
                              " bytes, not " + std::to_string(bytes.size());
        return opened;
    }
    opened.context.reset(cmsCreateContext(nullptr, opened.log.get()));
    if (opened.context) {
        cmsSetLogErrorHandlerTHR(opened.context.get(), OnError);
        opened.profile.reset(cmsOpenProfileFromMemTHR(opened.context.get(), bytes.data(),
                                                      static_cast<cmsUInt32Number>(bytes.size())));
    }
    return opened;
}

Reason SpaceProblem(cmsHPROFILE profile) {
    const cmsColorSpaceSignature space = cmsGetColorSpace(profile);
    if (space == cmsSigRgbData || space == cmsSigGrayData) {
        return {};
    }
    return {ReasonCode::Unsupported, 0, "an ICC profile of a colour space other than RGB or grey"};
}

Outcome<std::vector<std::uint8_t>> Saved(const Opened& opened, cmsHPROFILE profile) {
    cmsUInt32Number size = 0;
    if (!cmsSaveProfileToMem(profile, nullptr, &size)) {
        return opened.Damaged();
    }
    std::vector<std::uint8_t> bytes(size);
    if (!cmsSaveProfileToMem(profile, bytes.data(), &size)) {
        return opened.Damaged();
    }
    bytes.resize(size);
    return bytes;
}

// `shape(x)` sampled into a 16-bit table curve of `points` entries.
template <typename Shape>
Curve TableCurve(cmsContext context, const Shape& shape, std::size_t points) {
    std::vector<cmsUInt16Number> entries(points);
    for (std::size_t i = 0; i < points; ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(points - 1);
        const double y = std::clamp(shape(x), 0.0, 1.0);
        entries[i] = static_cast<cmsUInt16Number>(std::lround(y * kMax16));
    }
    return Curve(cmsBuildTabulatedToneCurve16(context, static_cast<cmsUInt32Number>(points),
                                              entries.data()));
}

// Linear interpolation in a table sampled evenly over 0..1.
double Lookup(const std::vector<double>& table, double x) {
    const double at = std::clamp(x, 0.0, 1.0) * static_cast<double>(table.size() - 1);
    const auto i = std::min(static_cast<std::size_t>(at), table.size() - 2);
    return table[i] + (at - static_cast<double>(i)) * (table[i + 1] - table[i]);
}

// A value for each channel (0..2) at each x in 0..1: a table, its inverse,
// a profile's curves, or two of these one after the other. Curves are
// composed as functions and sampled once, so no 16-bit table lies between
// two of them.
using ChannelFn = std::function<double(std::size_t channel, double x)>;

Curves Sampled(cmsContext context, const ChannelFn& shape, std::size_t points) {
    Curves curves;
    for (std::size_t c = 0; c < kRgb; ++c) {
        curves[c] = TableCurve(
            context, [&](double x) { return shape(c, x); }, points);
    }
    return curves;
}

// The entries a stored curve takes: kCurvePoints, or one per level where
// the output's samples take fewer.
std::size_t PointsFor(std::size_t levels) {
    return std::clamp<std::size_t>(levels, 2, kCurvePoints);
}

bool AllMade(const Curves& curves) {
    return std::all_of(curves.begin(), curves.end(), [](const Curve& c) { return c != nullptr; });
}

// The inverse tables, or identity when there are none.
ChannelFn InverseOf(const ChannelTables* tables) {
    if (tables == nullptr) {
        return [](std::size_t, double x) { return x; };
    }
    auto inverse = std::make_shared<ChannelTables>();
    for (std::size_t c = 0; c < kRgb; ++c) {
        (*inverse)[c] = InverseTable((*tables)[c], kCurvePoints);
    }
    return [inverse](std::size_t c, double y) { return Lookup((*inverse)[c], y); };
}

ChannelFn ForwardOf(const ChannelTables& tables) {
    return [&tables](std::size_t c, double x) { return Lookup(tables[c], x); };
}

ChannelFn CurvesOf(const std::array<const cmsToneCurve*, kRgb>& curves) {
    return [curves](std::size_t c, double x) {
        return static_cast<double>(cmsEvalToneCurveFloat(curves[c], static_cast<float>(x)));
    };
}

// The curve set `stage`, run alone in a pipeline of its own.
ChannelFn StageOf(cmsContext context, cmsStage* stage) {
    std::shared_ptr<cmsPipeline> alone(cmsPipelineAlloc(context, kRgb, kRgb), PipelineFree());
    if (!alone || !cmsPipelineInsertStage(alone.get(), cmsAT_END, cmsStageDup(stage))) {
        return nullptr;
    }
    return [alone](std::size_t c, double x) {
        const cmsFloat32Number in[kRgb] = {float(x), float(x), float(x)};
        cmsFloat32Number out[kRgb] = {};
        cmsPipelineEvalFloat(in, out, alone.get());
        return static_cast<double>(out[c]);
    };
}

ChannelFn Then(ChannelFn first, ChannelFn second) {
    return [first = std::move(first), second = std::move(second)](std::size_t c, double x) {
        return second(c, first(c, x));
    };
}

constexpr cmsTagSignature kRgbTrcTags[kRgb] = {cmsSigRedTRCTag, cmsSigGreenTRCTag,
                                               cmsSigBlueTRCTag};
constexpr cmsTagSignature kToPcsTags[] = {cmsSigAToB0Tag, cmsSigAToB1Tag, cmsSigAToB2Tag};
constexpr cmsTagSignature kFromPcsTags[] = {cmsSigBToA0Tag, cmsSigBToA1Tag, cmsSigBToA2Tag};
// Floating-point pipelines take precedence over the others in LittleCMS; this
// program does not rewrite them, so they go.
constexpr cmsTagSignature kFloatTags[] = {cmsSigDToB0Tag, cmsSigDToB1Tag, cmsSigDToB2Tag,
                                          cmsSigDToB3Tag, cmsSigBToD0Tag, cmsSigBToD1Tag,
                                          cmsSigBToD2Tag, cmsSigBToD3Tag};

constexpr cmsTagSignature kColourTags[] = {
    cmsSigRedTRCTag,      cmsSigGreenTRCTag,      cmsSigBlueTRCTag,      cmsSigGrayTRCTag,
    cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag, cmsSigMediaWhitePointTag,
    cmsSigAToB0Tag,       cmsSigAToB1Tag,         cmsSigAToB2Tag,        cmsSigBToA0Tag,
    cmsSigBToA1Tag,       cmsSigBToA2Tag};

// rTRC, gTRC, bTRC replaced by the inverse tables followed by the old curves.
bool ComposeTrc(cmsHPROFILE profile, cmsContext context, const ChannelFn& inverse,
                std::size_t points) {
    std::array<const cmsToneCurve*, kRgb> old{};
    for (std::size_t c = 0; c < kRgb; ++c) {
        old[c] = static_cast<const cmsToneCurve*>(cmsReadTag(profile, kRgbTrcTags[c]));
        if (old[c] == nullptr) {
            return false;
        }
    }
    const Curves composed = Sampled(context, Then(inverse, CurvesOf(old)), points);
    if (!AllMade(composed)) {
        return false;
    }
    for (std::size_t c = 0; c < kRgb; ++c) {
        if (!cmsWriteTag(profile, kRgbTrcTags[c], composed[c].get())) {
            return false;
        }
    }
    return true;
}

// `pipeline` with `curves` run before it (atStart) or after it. Where the
// pipeline already starts (or ends) with curves, the two are composed into
// one curve stage, so that a lut8 or lut16 keeps the shape its type takes.
Pipeline WithCurves(cmsContext context, const cmsPipeline* pipeline, const ChannelFn& curves,
                    bool atStart, std::size_t points) {
    Pipeline result(cmsPipelineDup(pipeline));
    if (!result || cmsPipelineInputChannels(result.get()) != kRgb ||
        cmsPipelineOutputChannels(result.get()) == 0) {
        return nullptr;
    }
    cmsStage* end = atStart ? cmsPipelineGetPtrToFirstStage(result.get())
                            : cmsPipelineGetPtrToLastStage(result.get());
    const bool join = end != nullptr && cmsStageType(end) == cmsSigCurveSetElemType &&
                      cmsStageOutputChannels(end) == kRgb;
    if (!atStart && cmsPipelineOutputChannels(result.get()) != kRgb) {
        return nullptr;
    }
    ChannelFn shape = curves;
    if (join) {
        ChannelFn old = StageOf(context, end);
        if (!old) {
            return nullptr;
        }
        shape = atStart ? Then(curves, old) : Then(old, curves);
    }
    const Curves joined = Sampled(context, shape, points);
    if (!AllMade(joined)) {
        return nullptr;
    }
    if (join) {
        cmsStage* removed = nullptr;
        cmsPipelineUnlinkStage(result.get(), atStart ? cmsAT_BEGIN : cmsAT_END, &removed);
        cmsStageFree(removed);
    }
    cmsToneCurve* raw[kRgb] = {joined[0].get(), joined[1].get(), joined[2].get()};
    cmsStage* stage = cmsStageAllocToneCurves(context, kRgb, raw);
    if (stage == nullptr ||
        !cmsPipelineInsertStage(result.get(), atStart ? cmsAT_BEGIN : cmsAT_END, stage)) {
        return nullptr;
    }
    return result;
}

bool RewritePipelines(cmsHPROFILE profile, cmsContext context, const ChannelFn& inverse,
                      const ChannelFn& forward, std::size_t points) {
    for (const cmsTagSignature tag : kToPcsTags) {
        if (cmsIsTag(profile, tag)) {
            const auto* old = static_cast<const cmsPipeline*>(cmsReadTag(profile, tag));
            const Pipeline rewritten =
                old ? WithCurves(context, old, inverse, true, points) : nullptr;
            if (!rewritten || !cmsWriteTag(profile, tag, rewritten.get())) {
                return false;
            }
        }
    }
    for (const cmsTagSignature tag : kFromPcsTags) {
        if (cmsIsTag(profile, tag)) {
            const auto* old = static_cast<const cmsPipeline*>(cmsReadTag(profile, tag));
            const Pipeline rewritten =
                old ? WithCurves(context, old, forward, false, points) : nullptr;
            if (!rewritten || !cmsWriteTag(profile, tag, rewritten.get())) {
                return false;
            }
        }
    }
    for (const cmsTagSignature tag : kFloatTags) {
        if (cmsIsTag(profile, tag)) {
            cmsWriteTag(profile, tag, nullptr);
        }
    }
    return true;
}

// The profile's description in the language LittleCMS picks first, or
// empty when it has none.
std::wstring DescriptionOf(cmsHPROFILE profile) {
    const auto* mlu = static_cast<const cmsMLU*>(cmsReadTag(profile, cmsSigProfileDescriptionTag));
    if (mlu == nullptr) {
        return {};
    }
    const cmsUInt32Number bytes = cmsMLUgetWide(mlu, cmsNoLanguage, cmsNoCountry, nullptr, 0);
    if (bytes < sizeof(wchar_t)) {
        return {};
    }
    std::wstring text(bytes / sizeof(wchar_t), L'\0');
    cmsMLUgetWide(mlu, cmsNoLanguage, cmsNoCountry, text.data(), bytes);
    text.resize(std::wcslen(text.c_str()));
    return text;
}

// `profile` described as `input` was, with the tables named after it when
// there are any.
bool Describe(cmsHPROFILE profile, cmsContext context, cmsHPROFILE input, bool tables) {
    std::wstring text = DescriptionOf(input);
    if (text.empty()) {
        text = kUnnamedProfile;
    }
    if (tables) {
        text += kTablesNote;
    }
    const std::unique_ptr<cmsMLU, MluFree> mlu(cmsMLUalloc(context, 1));
    return mlu &&
           cmsMLUsetWide(mlu.get(), kDescriptionLanguage, kDescriptionCountry, text.c_str()) &&
           cmsWriteTag(profile, cmsSigProfileDescriptionTag, mlu.get());
}

// A grey profile's tone curve after the inverse tables, one per channel, on
// the sRGB primaries adapted to D50: a neutral sample shows as the grey it
// was; the primaries only matter where the tables part the channels.
Outcome<std::vector<std::uint8_t>> GreyAsRgb(const Opened& opened, const ChannelTables* tables,
                                             std::size_t points) {
    cmsContext context = opened.context.get();
    const auto* grey =
        static_cast<const cmsToneCurve*>(cmsReadTag(opened.profile.get(), cmsSigGrayTRCTag));
    if (grey == nullptr) {
        return Reason(ReasonCode::Unsupported, 0, "a grey ICC profile without a tone curve");
    }
    const Curves composed =
        Sampled(context, Then(InverseOf(tables), CurvesOf({grey, grey, grey})), points);
    if (!AllMade(composed)) {
        return opened.Damaged();
    }
    // sRGB's primaries (IEC 61966-2-1), Y = 1.
    const cmsCIExyYTRIPLE primaries = {
        {0.6400, 0.3300, 1.0}, {0.3000, 0.6000, 1.0}, {0.1500, 0.0600, 1.0}};
    cmsToneCurve* raw[kRgb] = {composed[0].get(), composed[1].get(), composed[2].get()};
    const Profile rgb(cmsCreateRGBProfileTHR(context, cmsD50_xyY(), &primaries, raw));
    if (!rgb || !Describe(rgb.get(), context, opened.profile.get(), tables != nullptr)) {
        return opened.Damaged();
    }
    cmsSetHeaderRenderingIntent(rgb.get(), cmsGetHeaderRenderingIntent(opened.profile.get()));
    return Saved(opened, rgb.get());
}

} // namespace

std::vector<double> InverseTable(const std::vector<double>& table, std::size_t points) {
    std::vector<double> rising(table);
    for (std::size_t i = 1; i < rising.size(); ++i) {
        rising[i] = std::max(rising[i], rising[i - 1]);
    }
    const std::size_t n = rising.size();
    const double last = static_cast<double>(n - 1);
    // The bottom flat part ends at the last entry still at the lowest
    // output; the top one begins at the first entry at the highest.
    std::size_t bottom = 0;
    while (bottom + 1 < n && rising[bottom + 1] <= rising.front()) {
        ++bottom;
    }
    const std::size_t top = static_cast<std::size_t>(
        std::lower_bound(rising.begin(), rising.end(), rising.back()) - rising.begin());
    std::vector<double> inverse(points);
    std::size_t j = bottom + 1; // the first entry at or above the output sought
    for (std::size_t k = 0; k < points; ++k) {
        const double y = static_cast<double>(k) / static_cast<double>(points - 1);
        if (y <= rising.front() || n < 2) {
            inverse[k] = static_cast<double>(bottom) / last;
            continue;
        }
        if (y >= rising.back()) {
            inverse[k] = static_cast<double>(top) / last;
            continue;
        }
        while (rising[j] < y) {
            ++j;
        }
        const double step = rising[j] - rising[j - 1];
        const double within = step > 0 ? (y - rising[j - 1]) / step : 1.0;
        inverse[k] = (static_cast<double>(j - 1) + within) / last;
    }
    return inverse;
}

bool ProfileFits(std::span<const std::uint8_t> profile, std::int32_t channels) {
    // The colour space's signature stands at bytes 16..19 of the header.
    constexpr std::size_t kSpaceAt = 16;
    constexpr std::size_t kSpaceBytes = 4;
    if (profile.size() < kSpaceAt + kSpaceBytes) {
        return false;
    }
    std::uint32_t space = 0;
    for (std::size_t i = 0; i < kSpaceBytes; ++i) {
        space = space << 8 | profile[kSpaceAt + i];
    }
    return space == (channels == 1 ? std::uint32_t{cmsSigGrayData} : std::uint32_t{cmsSigRgbData});
}

Reason CheckProfile(std::span<const std::uint8_t> profile) {
    const Opened opened = Open(profile);
    if (!opened.profile) {
        return opened.Damaged();
    }
    if (Reason problem = SpaceProblem(opened.profile.get())) {
        return problem;
    }
    // The tags that say how colours are read must read.
    for (const cmsTagSignature tag : kColourTags) {
        if (cmsIsTag(opened.profile.get(), tag) &&
            cmsReadTag(opened.profile.get(), tag) == nullptr) {
            return opened.Damaged();
        }
    }
    return {};
}

Outcome<std::vector<std::uint8_t>> ProfileForRgb(std::span<const std::uint8_t> input) {
    if (input.empty()) {
        return std::vector<std::uint8_t>{};
    }
    const Opened opened = Open(input);
    if (!opened.profile) {
        return opened.Damaged();
    }
    if (Reason problem = SpaceProblem(opened.profile.get())) {
        return problem;
    }
    if (cmsGetColorSpace(opened.profile.get()) == cmsSigGrayData) {
        return GreyAsRgb(opened, nullptr, kCurvePoints);
    }
    return std::vector<std::uint8_t>(input.begin(), input.end());
}

Outcome<std::vector<std::uint8_t>> ProfileForChannels(std::span<const std::uint8_t> profile,
                                                      std::int32_t channels) {
    if (channels != 1) {
        // Only a grey profile is opened and rewritten; any other passes as
        // it is (the reader of the file has checked it).
        return ProfileFits(profile, 1)
                   ? ProfileForRgb(profile)
                   : Outcome<std::vector<std::uint8_t>>(
                         std::vector<std::uint8_t>(profile.begin(), profile.end()));
    }
    if (ProfileFits(profile, channels)) {
        return std::vector<std::uint8_t>(profile.begin(), profile.end());
    }
    return std::vector<std::uint8_t>{};
}

Outcome<std::vector<std::uint8_t>> GreyProfileAfterTables(std::span<const std::uint8_t> input,
                                                          const ChannelTables& tables,
                                                          std::size_t levels) {
    if (input.empty()) {
        return std::vector<std::uint8_t>{};
    }
    const Opened opened = Open(input);
    if (!opened.profile) {
        return opened.Damaged();
    }
    if (cmsGetColorSpace(opened.profile.get()) != cmsSigGrayData) {
        return std::vector<std::uint8_t>{};
    }
    cmsHPROFILE profile = opened.profile.get();
    const auto* grey = static_cast<const cmsToneCurve*>(cmsReadTag(profile, cmsSigGrayTRCTag));
    if (grey == nullptr) {
        return Reason(ReasonCode::Unsupported, 0, "a grey ICC profile without a tone curve");
    }
    constexpr std::size_t kGreen = 1; // the three tables are equal
    cmsContext context = opened.context.get();
    const Curves composed =
        Sampled(context, Then(InverseOf(&tables), CurvesOf({grey, grey, grey})), PointsFor(levels));
    if (!AllMade(composed) || !cmsWriteTag(profile, cmsSigGrayTRCTag, composed[kGreen].get()) ||
        !Describe(profile, context, profile, true)) {
        return opened.Damaged();
    }
    cmsMD5computeID(profile);
    return Saved(opened, profile);
}

Outcome<std::vector<std::uint8_t>> ProfileAfterTables(std::span<const std::uint8_t> input,
                                                      const ChannelTables& tables,
                                                      std::size_t levels) {
    if (input.empty()) {
        return std::vector<std::uint8_t>{};
    }
    const Opened opened = Open(input);
    if (!opened.profile) {
        return opened.Damaged();
    }
    cmsHPROFILE profile = opened.profile.get();
    if (Reason problem = SpaceProblem(profile)) {
        return problem;
    }
    const std::size_t points = PointsFor(levels);
    if (cmsGetColorSpace(profile) == cmsSigGrayData) {
        return GreyAsRgb(opened, &tables, points);
    }
    cmsContext context = opened.context.get();
    const ChannelFn inverse = InverseOf(&tables);
    const ChannelFn forward = ForwardOf(tables);
    const bool matrixShaper = cmsIsTag(profile, cmsSigRedTRCTag) &&
                              cmsIsTag(profile, cmsSigGreenTRCTag) &&
                              cmsIsTag(profile, cmsSigBlueTRCTag);
    if ((matrixShaper && !ComposeTrc(profile, context, inverse, points)) ||
        !RewritePipelines(profile, context, inverse, forward, points) ||
        !Describe(profile, context, profile, true)) {
        return opened.Damaged();
    }
    cmsUInt8Number id[16] = {};
    cmsGetHeaderProfileID(profile, id);
    if (std::any_of(std::begin(id), std::end(id), [](cmsUInt8Number b) { return b != 0; })) {
        cmsMD5computeID(profile); // the old ID no longer matches the bytes
    }
    return Saved(opened, profile);
}
