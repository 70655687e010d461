// Fixed-point numbers with a decimal point whatever the locale: the texts
// go to scripts and files as well as to people.
#include "measure/CalibrationReport.h"

#include "curve/ClassicFormat.h"
#include "measure/HeldOut.h"
#include "measure/VerdictReport.h"

#include <array>

namespace {

constexpr std::size_t kLineBytes = 160;
constexpr std::array<const char*, kChannelCount> kChannelWords = {"red", "green", "blue"};

template <typename... Args> std::string Line(const char* format, Args... args) {
    return FormatClassic<kLineBytes>(format, args...);
}

} // namespace

std::string PositionsText(const Calibration& c) {
    std::string text = Line("%-6s%9s%9s%9s%9s\n", "", "Black", "White", "Alpha", "Gamma");
    for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
        text += Line("%-6s", kChannelWords[ch]);
        for (const Param p : kAllParams) {
            const std::string value = FormatValue(p, PositionToValue(p, c.positions[ch][p]));
            text += Line("%9s", value.c_str());
        }
        text += "\n";
    }
    return text;
}

std::string SummaryText(const Calibration& c) {
    std::string text =
        Line("CIEDE2000 over %zu patches: mean %.2f, 90th percentile %.2f, "
             "largest %.2f\n",
             c.patches.size(), c.summary.mean, c.summary.percentile90, c.summary.largest);
    text += Line("held out (%zu-fold cross-validation): mean %.2f, 90th percentile %.2f, "
                 "largest %.2f\n",
                 kFolds, c.heldOut.mean, c.heldOut.percentile90, c.heldOut.largest);
    if (HeldOutFarAbove(c)) {
        text += "warning: the held-out mean is more than twice the mean of the fitted patches:\n"
                "  the profile follows these patches more closely than it will other colours\n";
    }
    text += "grey patches off the start-up curve, in output levels (mean / largest):\n";
    for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
        const ToneFit& f = c.fits[ch];
        text += Line("  %-6s before %6.2f / %6.2f   after %6.2f / %6.2f\n", kChannelWords[ch],
                     f.before.mean, f.before.largest, f.after.mean, f.after.largest);
    }
    return text;
}

std::string ReportText(const Calibration& c) {
    std::string text = "Tamrel chart calibration: " + std::string(LayoutOf(c.chart).name) + "\n\n" +
                       PositionsText(c) + "\n" + SummaryText(c) + "\n";
    text += Line("%-6s %8s %8s %8s   %8s %8s %8s   %9s %9s\n", "patch", "ref L*", "a*", "b*",
                 "prof L*", "a*", "b*", "CIEDE2000", "held out");
    for (const PatchResult& p : c.patches) {
        text += Line("%-6s %8.2f %8.2f %8.2f   %8.2f %8.2f %8.2f   %9.2f %9.2f\n", p.id.c_str(),
                     p.reference.L, p.reference.a, p.reference.b, p.profiled.L, p.profiled.a,
                     p.profiled.b, p.deltaE, p.heldOut);
    }
    text += "\nVerdict of the scan through the fitted tables and profile:\n";
    text += c.delivered
                ? VerdictText(Judge(*c.delivered, GuidelineLimits()))
                : "none: the scan could not be measured through them (" + c.deliveredWhy + ")\n";
    return text;
}
