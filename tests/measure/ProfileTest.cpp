// The profile a calibration writes, as other programs and this one's own
// rewrite for the tables will read it: LittleCMS opens it as an RGB input
// profile with a D50 media white, device colours survive a trip to Lab and
// back through it, and after apply's rewrite for the fitted tables it still
// shows each patch as the same colour.
#include "image/formats/ColourProfile.h"
#include "measure/Calibration.h"
#include "measure/LcmsContext.h"
#include "tests/measure/SimulatedScanner.h"

#include <gtest/gtest.h>

namespace profile_test {

namespace {

const Calibration& Calibrated() {
    static const Calibration result = [] {
        const ChartLayout& layout = LayoutOf(ChartKind::It8);
        const ChartReference reference(simscan::It8Patches(false));
        simscan::Scanner scanner;
        scanner.channels = {{{{23, 241, 85, 220}}, {{5, 250, 120, 180}}, {{70, 230, 94, 205}}}};
        scanner.crosstalk = {0.9, 0.07, 0.03, 0.05, 0.9, 0.05, 0.02, 0.08, 0.9};
        const ChartCorners corners = simscan::Placed(layout, 20, 12, 8, 0);
        const ChartScan scan = simscan::Scan(scanner, layout, reference, corners, 220, 170);
        return std::get<Calibration>(Calibrate(scan, ChartKind::It8, reference, corners, "t"));
    }();
    return result;
}

std::vector<LabColour> Through(cmsHPROFILE profile, const std::vector<Vector3>& device) {
    const LcmsProfile lab(cmsCreateLab4Profile(nullptr));
    const LcmsTransform transform(cmsCreateTransform(profile, TYPE_RGB_DBL, lab.get(), TYPE_Lab_DBL,
                                                     INTENT_ABSOLUTE_COLORIMETRIC,
                                                     cmsFLAGS_NOOPTIMIZE));
    std::vector<LabColour> labs(device.size());
    cmsDoTransform(transform.get(), device.data(), labs.data(), cmsUInt32Number(device.size()));
    return labs;
}

std::vector<Vector3> Samples() {
    std::vector<Vector3> device;
    for (const PatchResult& p : Calibrated().patches) {
        device.push_back(p.sample.value);
    }
    return device;
}

TEST(InputProfile, OpensAsAnRgbInputProfileWithTheD50White) {
    const std::vector<std::uint8_t>& bytes = Calibrated().profile;
    EXPECT_FALSE(CheckProfile(bytes));
    const LcmsProfile profile(cmsOpenProfileFromMem(bytes.data(), cmsUInt32Number(bytes.size())));
    ASSERT_TRUE(profile);
    EXPECT_EQ(cmsGetDeviceClass(profile.get()), cmsSigInputClass);
    EXPECT_EQ(cmsGetColorSpace(profile.get()), cmsSigRgbData);
    EXPECT_EQ(cmsGetPCS(profile.get()), cmsSigXYZData);
    const auto* white =
        static_cast<const cmsCIEXYZ*>(cmsReadTag(profile.get(), cmsSigMediaWhitePointTag));
    ASSERT_NE(white, nullptr);
    EXPECT_NEAR(white->Y, 1.0, 1e-4);
    EXPECT_NEAR(white->X, cmsD50_XYZ()->X, 1e-4);
}

TEST(InputProfile, DeviceColoursSurviveTheTripToLabAndBack) {
    const std::vector<std::uint8_t>& bytes = Calibrated().profile;
    const LcmsProfile profile(cmsOpenProfileFromMem(bytes.data(), cmsUInt32Number(bytes.size())));
    const LcmsProfile lab(cmsCreateLab4Profile(nullptr));
    const LcmsTransform back(cmsCreateTransform(lab.get(), TYPE_Lab_DBL, profile.get(),
                                                TYPE_RGB_DBL, INTENT_RELATIVE_COLORIMETRIC,
                                                cmsFLAGS_NOOPTIMIZE));
    ASSERT_TRUE(back);
    const std::vector<Vector3> device = Samples();
    const std::vector<LabColour> labs = Through(profile.get(), device);
    for (std::size_t i = 0; i < device.size(); ++i) {
        Vector3 again{};
        cmsDoTransform(back.get(), &labs[i], again.data(), 1);
        for (std::size_t c = 0; c < 3; ++c) {
            EXPECT_NEAR(again[c], device[i][c], 2e-3) << Calibrated().patches[i].id;
        }
        EXPECT_NEAR(DeltaE2000(labs[i], Calibrated().patches[i].profiled), 0, 1e-6);
    }
}

TEST(InputProfile, RewrittenForTheFittedTablesShowsThePatchesAlike) {
    const Calibration& c = Calibrated();
    ChannelTables tables;
    for (std::size_t ch = 0; ch < 3; ++ch) {
        for (int i = 0; i < 4096; ++i) {
            tables[ch].push_back(CurveOutput(c.positions[ch], i * 255.0 / 4095) / 255);
        }
    }
    const Outcome<std::vector<std::uint8_t>> rewritten = ProfileAfterTables(c.profile, tables);
    ASSERT_TRUE(rewritten) << rewritten.Why().Text;
    const LcmsProfile after(
        cmsOpenProfileFromMem(rewritten->data(), cmsUInt32Number(rewritten->size())));
    std::vector<Vector3> output = Samples();
    for (Vector3& v : output) {
        for (std::size_t ch = 0; ch < 3; ++ch) {
            v[ch] = CurveOutput(c.positions[ch], v[ch] * 255) / 255;
        }
    }
    const std::vector<LabColour> labs = Through(after.get(), output);
    for (std::size_t i = 0; i < labs.size(); ++i) {
        EXPECT_LT(DeltaE2000(labs[i], c.patches[i].profiled), 1.0) << c.patches[i].id;
    }
}

TEST(DeltaESummary, MeanNinetiethPercentileAndLargest) {
    std::vector<double> deltaE(10);
    for (std::size_t i = 0; i < deltaE.size(); ++i) {
        deltaE[i] = 0.1 * double(10 - i);
    }
    const DeltaESummary s = SummaryOf(deltaE);
    EXPECT_NEAR(s.mean, 0.55, 1e-9);
    EXPECT_NEAR(s.percentile90, 0.9, 1e-9);
    EXPECT_NEAR(s.largest, 1.0, 1e-9);
}

} // namespace

} // namespace profile_test
