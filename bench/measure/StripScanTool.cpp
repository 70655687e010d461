// Writes a linear scan of a film strip in its holder, made by the tests'
// simulated strip, as a 16-bit PNM, for trying `tamrel-cli roll` by hand,
// the benchmarks and the README's pictures:
//   strip_scan OUT.pnm [35|66|645] [across|along] [colour|bw] [DPI] [FRAMES] [DETAIL]
// (35 mm, across the scan, colour, 200 dpi, six frames, every pixel its own
// scene sample by default; DETAIL pixels each way share one sample).
#include "tests/measure/SyntheticStrip.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

constexpr double kMmPerInch = 25.4;

striptest::StripPlan PlanOf(int argc, char** argv) {
    striptest::StripPlan plan;
    const auto arg = [&](int i) {
        return i < argc ? std::string_view(argv[i]) : std::string_view();
    };
    if (arg(2) == "66" || arg(2) == "645") {
        plan.gauge = arg(2) == "66" ? striptest::Gauge::Square120 : striptest::Gauge::Wide645;
        plan.frames.resize(arg(2) == "66" ? 3 : 4);
    }
    plan.alongRows = arg(3) == "along";
    if (arg(4) == "bw") {
        plan.blackAndWhite = true;
        plan.film.base = {0.78, 0.78, 0.78};
        plan.film.gamma = {0.62, 0.62, 0.62};
    }
    plan.pixelsPerMm = (argc > 5 ? std::atof(argv[5]) : 200.0) / kMmPerInch;
    if (argc > 6) {
        const auto frames = std::size_t(std::atoi(argv[6]));
        const std::vector<striptest::FramePlan> mixed = striptest::MixedFrames();
        plan.frames.clear();
        for (std::size_t k = 0; k < frames; ++k) {
            plan.frames.push_back(mixed[k % mixed.size()]);
        }
    }
    plan.detail = argc > 7 ? std::max(1, std::atoi(argv[7])) : 1;
    plan.dust = int(plan.frames.size()) * 4;
    return plan;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: %s OUT.pnm [35|66|645] [across|along] [colour|bw] [DPI] [FRAMES] "
                     "[DETAIL]\n",
                     argv[0]);
        return 2;
    }
    const striptest::SyntheticStrip strip(PlanOf(argc, argv));
    if (!striptest::WritePnm(strip, argv[1])) {
        std::fprintf(stderr, "%s: cannot write\n", argv[1]);
        return 1;
    }
    for (std::size_t k = 0; k < strip.Plan().frames.size(); ++k) {
        const PixelRect f = strip.Frame(k);
        std::printf("%zu %d,%d,%d,%d\n", k + 1, f.left, f.top, f.width, f.height);
    }
    return 0;
}
