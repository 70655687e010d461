// A profile rewritten for the tables: LittleCMS, going from the written
// profile back to the input's, turns each output sample into the linear
// sample it came from; matrix/TRC and A2B0 profiles alike. And the inverse
// of a table keeps to the end of a flat part.
#include "image/formats/ColourProfile.h"
#include "image/formats/ChannelTables.h"
#include "tests/image/TestProfiles.h"

#include <lcms2_plugin.h>

#include "curve/ChannelCurve.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace colour_profile_test {

namespace {

constexpr int kTop16 = 65535;
// One level, and the rounding of a double computed from whole levels.
constexpr double kOneLevel = 1.01;

// Each channel its own curve, two of them with flat parts below Black and
// above White.
std::array<std::vector<std::uint16_t>, kChannelCount> WideTables() {
    const ChannelParams params[kChannelCount] = {
        MakeChannelParams({50, 230, 99, 220}),
        kDefaultChannelParams,
        MakeChannelParams({100, 200, 150, 180}),
    };
    std::array<std::vector<std::uint16_t>, kChannelCount> tables;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        tables[c].resize(kTop16 + 1);
        ComputeChannelCurve(params[c], tables[c], kTop16);
    }
    return tables;
}

struct Transform {
    cmsHPROFILE from = nullptr;
    cmsHPROFILE to = nullptr;
    cmsHTRANSFORM transform = nullptr;

    Transform(const std::vector<std::uint8_t>& written, const std::vector<std::uint8_t>& input)
        : from(cmsOpenProfileFromMem(written.data(), cmsUInt32Number(written.size()))),
          to(cmsOpenProfileFromMem(input.data(), cmsUInt32Number(input.size()))) {
        if (from != nullptr && to != nullptr) {
            transform = cmsCreateTransform(from, TYPE_RGB_DBL, to, TYPE_RGB_DBL,
                                           INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOOPTIMIZE);
        }
    }
    ~Transform() {
        if (transform != nullptr) {
            cmsDeleteTransform(transform);
        }
        cmsCloseProfile(from);
        cmsCloseProfile(to);
    }
    Transform(const Transform&) = delete;
    Transform& operator=(const Transform&) = delete;
};

// The inputs whose table entry is `output`: [first, last] as 0..1.
std::pair<double, double> InputsGiving(const std::vector<std::uint16_t>& table, int output) {
    const auto first = std::lower_bound(table.begin(), table.end(), output) - table.begin();
    const auto last = std::upper_bound(table.begin(), table.end(), output) - table.begin() - 1;
    return {double(first) / kTop16, double(last) / kTop16};
}

// How far `value` lies outside [low, high].
double Outside(double value, double low, double high) {
    return value < low ? low - value : value > high ? value - high : 0.0;
}

TEST(ColourProfile, TheWrittenProfileLeadsEachOutputBackToItsLinearInput) {
    const auto tables = WideTables();
    const ChannelTables scaled =
        ChannelTablesOf({std::span<const std::uint16_t>(tables[0]), tables[1], tables[2]}, kTop16);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> input;
        double gamma;     // of the input profile's curves
        double tolerance; // 16-bit levels of light
    };
    const Case cases[] = {
        // A linear input profile gives the level back within one level (an
        // ICC curve holds 16-bit entries, which LittleCMS interpolates at 16
        // bits). Behind a 2.2 power law, one level of the stored curve
        // weighs up to two of light.
        {"matrix/TRC gamma 1.0", profiletest::MatrixTrcProfile(1.0), 1.0, kOneLevel},
        {"matrix/TRC gamma 2.2", profiletest::MatrixTrcProfile(2.2), 2.2, 2 * kOneLevel},
        {"A2B0 gamma 1.0", profiletest::LutProfile(1.0), 1.0, kOneLevel},
        {"A2B0 gamma 2.2", profiletest::LutProfile(2.2), 2.2, 2 * kOneLevel},
    };
    for (const Case& c : cases) {
        const Outcome<std::vector<std::uint8_t>> written = ProfileAfterTables(c.input, scaled);
        ASSERT_TRUE(written) << c.name << ": " << written.Why().Text;
        EXPECT_FALSE(CheckProfile(*written)) << c.name;
        const Transform back(*written, c.input);
        ASSERT_NE(back.transform, nullptr) << c.name;
        // Every 97th linear level whose outputs lie outside the flat parts.
        for (int v = 0; v <= kTop16; v += 97) {
            double out[3] = {};
            bool flat = false;
            for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
                const int o = tables[ch][std::size_t(v)];
                flat = flat || o == 0 || o == kTop16;
                out[ch] = o / double(kTop16);
            }
            if (flat) {
                continue;
            }
            double in[3] = {};
            cmsDoTransform(back.transform, out, in, 1);
            // The input found must be one the table sends to the output,
            // within one 16-bit level of the light the input profile gives
            // it (the level itself where its curves are linear).
            for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
                const auto [low, high] = InputsGiving(tables[ch], tables[ch][std::size_t(v)]);
                const double light = std::pow(std::max(in[ch], 0.0), c.gamma);
                const double error =
                    Outside(light, std::pow(low, c.gamma), std::pow(high, c.gamma)) * kTop16;
                EXPECT_LE(error, c.tolerance)
                    << c.name << ", channel " << ch << ", level " << v << " got " << in[ch] * kTop16
                    << " want " << low * kTop16 << ".." << high * kTop16;
            }
        }
    }
}

// The window's 256-entry tables, as an 8-bit input to any output takes
// them: the written profile leads each output level back to the input
// levels that give it, within 0.5 % of the range.
TEST(ColourProfile, AfterEightBitTablesEachOutputLevelLeadsBackWithinHalfAPercent) {
    constexpr int kTop8 = 255;
    constexpr double kHalfPercent = 0.005;
    const ChannelParams params[kChannelCount] = {
        MakeChannelParams({50, 230, 99, 220}),
        kDefaultChannelParams,
        MakeChannelParams({100, 200, 150, 180}),
    };
    GammaTableSet levels{};
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        ComputeChannelTable(params[c], levels[c]);
    }
    for (const auto& [name, input] : {std::pair{"matrix/TRC", profiletest::MatrixTrcProfile(1.0)},
                                      std::pair{"A2B0", profiletest::LutProfile(1.0)}}) {
        const Outcome<std::vector<std::uint8_t>> written =
            ProfileAfterTables(input, ChannelTablesOf(levels));
        ASSERT_TRUE(written) << name << ": " << written.Why().Text;
        const Transform back(*written, input);
        ASSERT_NE(back.transform, nullptr) << name;
        for (int v = 0; v <= kTop8; ++v) {
            double out[3] = {};
            bool flat = false;
            for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
                const int o = levels[ch][std::size_t(v)];
                flat = flat || o == 0 || o == kTop8;
                out[ch] = o / double(kTop8);
            }
            if (flat) {
                continue;
            }
            double in[3] = {};
            cmsDoTransform(back.transform, out, in, 1);
            for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
                const GammaTable& table = levels[ch];
                const int o = table[std::size_t(v)];
                const auto first = std::find(table.begin(), table.end(), o) - table.begin();
                const auto last = table.rend() - std::find(table.rbegin(), table.rend(), o) - 1;
                EXPECT_LE(Outside(in[ch], double(first) / kTop8, double(last) / kTop8),
                          kHalfPercent)
                    << name << ", channel " << ch << ", level " << v << " got " << in[ch] * kTop8;
            }
        }
    }
}

TEST(ColourProfile, TheInverseOfATableKeepsToTheEndsOfItsFlatParts) {
    // Flat at 0 up to 0.25, rising to 1 at 0.75, flat after.
    const std::vector<double> table = {0, 0, 0.0, 0.5, 1.0, 1.0, 1.0, 1.0, 1.0};
    const std::vector<double> inverse = InverseTable(table, 5); // outputs 0, .25, .5, .75, 1
    const std::vector<double> expected = {0.25, 0.3125, 0.375, 0.4375, 0.5};
    ASSERT_EQ(inverse.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_NEAR(inverse[k], expected[k], 1e-12) << k;
    }
}

TEST(ColourProfile, ProfilesThatCannotServeAnRgbImageAreRefused) {
    std::vector<std::uint8_t> cut = profiletest::MatrixTrcProfile(2.2);
    cut.resize(cut.size() - 40);
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    const std::vector<std::uint8_t> labBytes = profiletest::Saved(lab);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        ReasonCode code;
    };
    const Case cases[] = {
        {"cut short", cut, ReasonCode::DamagedData},
        {"not a profile", std::vector<std::uint8_t>(300, 0x20), ReasonCode::DamagedData},
        {"too short for a header", {0, 0, 0, 8, 1, 2, 3, 4}, ReasonCode::DamagedData},
        {"Lab", labBytes, ReasonCode::Unsupported},
    };
    ChannelTables identity;
    for (auto& t : identity) {
        t = {0.0, 1.0};
    }
    for (const Case& c : cases) {
        EXPECT_EQ(CheckProfile(c.bytes).Code, c.code) << c.name;
        EXPECT_EQ(ProfileAfterTables(c.bytes, identity).Why().Code, c.code) << c.name;
        EXPECT_EQ(ProfileForRgb(c.bytes).Why().Code, c.code) << c.name;
    }
    EXPECT_TRUE(ProfileAfterTables({}, identity)->empty()) << "no profile in, no profile out";
}

TEST(ColourProfile, AGreyProfileBecomesRgbWithItsCurveOnEveryChannel) {
    cmsToneCurve* curve = cmsBuildGamma(nullptr, 1.8);
    cmsHPROFILE grey = cmsCreateGrayProfile(cmsD50_xyY(), curve);
    cmsFreeToneCurve(curve);
    const std::vector<std::uint8_t> bytes = profiletest::Saved(grey);
    const Outcome<std::vector<std::uint8_t>> rgb = ProfileForRgb(bytes);
    ASSERT_TRUE(rgb) << rgb.Why().Text;
    cmsHPROFILE made = cmsOpenProfileFromMem(rgb->data(), cmsUInt32Number(rgb->size()));
    cmsHPROFILE source = cmsOpenProfileFromMem(bytes.data(), cmsUInt32Number(bytes.size()));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(cmsGetColorSpace(made), cmsSigRgbData);
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    cmsHTRANSFORM fromRgb =
        cmsCreateTransform(made, TYPE_RGB_DBL, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
    cmsHTRANSFORM fromGrey = cmsCreateTransform(source, TYPE_GRAY_DBL, lab, TYPE_Lab_DBL,
                                                INTENT_RELATIVE_COLORIMETRIC, 0);
    for (const double v : {0.05, 0.2, 0.5, 0.9}) {
        const double rgbIn[3] = {v, v, v};
        cmsCIELab a{};
        cmsCIELab b{};
        cmsDoTransform(fromRgb, rgbIn, &a, 1);
        cmsDoTransform(fromGrey, &v, &b, 1);
        EXPECT_NEAR(a.L, b.L, 0.05) << v;
        EXPECT_NEAR(a.a, 0, 0.1) << v; // a neutral stays neutral
        EXPECT_NEAR(a.b, 0, 0.1) << v;
    }
    cmsDeleteTransform(fromRgb);
    cmsDeleteTransform(fromGrey);
    cmsCloseProfile(lab);
    cmsCloseProfile(made);
    cmsCloseProfile(source);
}

std::string DescriptionOfGrey(const std::vector<std::uint8_t>& bytes) {
    cmsHPROFILE profile = cmsOpenProfileFromMem(bytes.data(), cmsUInt32Number(bytes.size()));
    char text[256] = {};
    cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", text, sizeof text);
    cmsCloseProfile(profile);
    return text;
}

TEST(ColourProfile, AGreyOutputKeepsAGreyProfileThatShowsTheSameLight) {
    const std::vector<std::uint8_t> input = profiletest::GreyProfile(1.8);
    ChannelTables roots; // each table the square root: output = sqrt(input)
    for (auto& t : roots) {
        for (int i = 0; i <= 255; ++i) {
            t.push_back(std::sqrt(i / 255.0));
        }
    }
    const Outcome<std::vector<std::uint8_t>> written = GreyProfileAfterTables(input, roots);
    ASSERT_TRUE(written) << written.Why().Text;
    cmsHPROFILE made = cmsOpenProfileFromMem(written->data(), cmsUInt32Number(written->size()));
    cmsHPROFILE source = cmsOpenProfileFromMem(input.data(), cmsUInt32Number(input.size()));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(cmsGetColorSpace(made), cmsSigGrayData);
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    cmsHTRANSFORM after =
        cmsCreateTransform(made, TYPE_GRAY_DBL, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
    cmsHTRANSFORM before = cmsCreateTransform(source, TYPE_GRAY_DBL, lab, TYPE_Lab_DBL,
                                              INTENT_RELATIVE_COLORIMETRIC, 0);
    for (const double v : {0.04, 0.2, 0.5, 0.9}) {
        const double out = std::sqrt(v);
        cmsCIELab a{};
        cmsCIELab b{};
        cmsDoTransform(after, &out, &a, 1);
        cmsDoTransform(before, &v, &b, 1);
        EXPECT_NEAR(a.L, b.L, 0.1) << v;
    }
    cmsDeleteTransform(after);
    cmsDeleteTransform(before);
    cmsCloseProfile(lab);
    cmsCloseProfile(made);
    cmsCloseProfile(source);
    EXPECT_EQ(DescriptionOfGrey(*written), DescriptionOfGrey(input) + " with Tamrel tables");
    EXPECT_TRUE(GreyProfileAfterTables(profiletest::MatrixTrcProfile(2.2), roots)->empty())
        << "an RGB profile cannot describe grey samples";
}

TEST(ColourProfile, AProfileIsFittedToTheRowsItDescribes) {
    const std::vector<std::uint8_t> grey = profiletest::GreyProfile(2.2);
    const std::vector<std::uint8_t> rgb = profiletest::MatrixTrcProfile(2.2);
    EXPECT_EQ(*ProfileForChannels(grey, 1), grey) << "grey rows keep a grey profile";
    EXPECT_TRUE(ProfileForChannels(rgb, 1)->empty()) << "an RGB profile cannot describe grey";
    EXPECT_EQ(*ProfileForChannels(rgb, 3), rgb) << "colour rows keep an RGB profile";
    const std::vector<std::uint8_t> made = *ProfileForChannels(grey, 3);
    EXPECT_TRUE(ProfileFits(made, 3)) << "a grey profile made RGB for colour rows";
    EXPECT_TRUE(ProfileForChannels({}, 3)->empty());
}

// The entries of each stored curve: of the TRC tags, or of the curves
// that start the A2B0 pipeline.
std::vector<cmsUInt32Number> CurveEntries(const std::vector<std::uint8_t>& bytes) {
    cmsHPROFILE profile = cmsOpenProfileFromMem(bytes.data(), cmsUInt32Number(bytes.size()));
    std::vector<cmsUInt32Number> entries;
    for (const cmsTagSignature tag : {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag}) {
        if (const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(profile, tag))) {
            entries.push_back(cmsGetToneCurveEstimatedTableEntries(curve));
        }
    }
    if (const auto* lut = static_cast<cmsPipeline*>(cmsReadTag(profile, cmsSigAToB0Tag))) {
        cmsStage* first = cmsPipelineGetPtrToFirstStage(lut);
        const auto* data = static_cast<_cmsStageToneCurvesData*>(cmsStageData(first));
        for (cmsUInt32Number c = 0; c < data->nCurves; ++c) {
            entries.push_back(cmsGetToneCurveEstimatedTableEntries(data->TheCurves[c]));
        }
    }
    cmsCloseProfile(profile);
    return entries;
}

// Samples of 8 bits take 256 levels: a curve of more entries says nothing
// more of them, and would make a 3 KB profile 26 KB in every file.
TEST(ColourProfile, TheCurvesHoldOneEntryPerLevelOfTheWrittenSamples) {
    GammaTableSet levels{};
    for (GammaTable& table : levels) {
        ComputeChannelTable(kDefaultChannelParams, table);
    }
    const ChannelTables eight = ChannelTablesOf(levels);
    const auto wide = WideTables();
    const ChannelTables sixteen =
        ChannelTablesOf({std::span<const std::uint16_t>(wide[0]), wide[1], wide[2]}, kTop16);
    const struct {
        const char* name;
        std::vector<std::uint8_t> input;
        const ChannelTables& tables;
        std::size_t levels;
        cmsUInt32Number entries;
    } cases[] = {
        {"8-bit tables, matrix/TRC", profiletest::MatrixTrcProfile(2.2), eight, kLevels8, 256},
        {"8-bit tables, A2B0", profiletest::LutProfile(2.2), eight, kLevels8, 256},
        {"16-bit tables to 8-bit samples", profiletest::MatrixTrcProfile(2.2), sixteen, kLevels8,
         256},
        {"16-bit tables to 16-bit samples", profiletest::MatrixTrcProfile(2.2), sixteen, kLevels16,
         4096},
    };
    for (const auto& c : cases) {
        const Outcome<std::vector<std::uint8_t>> written =
            ProfileAfterTables(c.input, c.tables, c.levels);
        ASSERT_TRUE(written) << c.name;
        EXPECT_EQ(CurveEntries(*written), std::vector<cmsUInt32Number>(3, c.entries)) << c.name;
        if (c.entries == 256) {
            EXPECT_LT(written->size(), c.input.size() + 3 * 2 * 256 + 512) << c.name;
        }
    }
}

// The description a colour-managed program lists, as LittleCMS reads it.
std::string DescriptionOf(const std::vector<std::uint8_t>& bytes) {
    cmsHPROFILE profile = cmsOpenProfileFromMem(bytes.data(), cmsUInt32Number(bytes.size()));
    char text[256] = {};
    cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", text, sizeof text);
    cmsCloseProfile(profile);
    return text;
}

TEST(ColourProfile, TheRewrittenProfileSaysItHoldsTheTables) {
    cmsToneCurve* curve = cmsBuildGamma(nullptr, 1.8);
    cmsHPROFILE greyProfile = cmsCreateGrayProfile(cmsD50_xyY(), curve);
    cmsFreeToneCurve(curve);
    const std::vector<std::uint8_t> grey = profiletest::Saved(greyProfile);
    ChannelTables halves;
    for (auto& t : halves) {
        t = {0.0, 0.5, 1.0};
    }
    const struct {
        const char* name;
        std::vector<std::uint8_t> input;
    } cases[] = {
        {"matrix/TRC", profiletest::MatrixTrcProfile(2.2)},
        {"A2B0", profiletest::LutProfile(2.2)},
        {"grey", grey},
    };
    for (const auto& c : cases) {
        const Outcome<std::vector<std::uint8_t>> written = ProfileAfterTables(c.input, halves);
        ASSERT_TRUE(written) << c.name;
        const std::string before = DescriptionOf(c.input);
        ASSERT_FALSE(before.empty()) << c.name;
        EXPECT_EQ(DescriptionOf(*written), before + " with Tamrel tables") << c.name;
    }
    EXPECT_EQ(DescriptionOf(*ProfileForRgb(grey)), DescriptionOf(grey)) << "no tables, no note";
}

} // namespace

} // namespace colour_profile_test
