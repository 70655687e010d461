// Writes a linear scan of a chart by the tests' simulated scanner and its
// reference file, for trying calibration by hand, the benchmarks and the
// README's pictures: chart_scan it8|it8-knee|colorchecker OUT.tif [REF.txt]
// (an IT8 chart on a light bed of 1600 x 1100, turned half round and a
// little more; a ColorChecker on one of 1200 x 850, turned a quarter and a
// little less; the ColorChecker's reference is its published values).
// it8-knee is the IT8 by a scanner whose red bends over above 0.6 of full
// scale (a highlight knee), with colours lighter in a channel than the
// lightest grey. The true corners are printed in the form --corners takes.
#include "tests/measure/SimulatedScanner.h"

#include <cstdio>
#include <fstream>
#include <string_view>

int main(int argc, char** argv) {
    const bool knee = argc >= 3 && std::string_view(argv[1]) == "it8-knee";
    if (argc < 3 || (!knee && !ChartNamed(argv[1]))) {
        std::fprintf(stderr, "usage: %s it8|it8-knee|colorchecker OUT.tif [REF.txt]\n", argv[0]);
        return 2;
    }
    const ChartKind kind = knee ? ChartKind::It8 : *ChartNamed(argv[1]);
    const bool it8 = kind == ChartKind::It8;
    const std::vector<ReferencePatch> patches =
        it8 ? simscan::It8Patches(false, knee ? 0.97 : 0.85) : BuiltInColorChecker().Patches();
    simscan::Scanner scanner = simscan::TypicalScanner(kind, 0.6);
    scanner.knee[0] = knee ? 0.6 : 1.0;
    scanner.dustShare = 0.001;
    const int width = it8 ? 1600 : 1200;
    const int height = it8 ? 1100 : 850;
    const ChartLayout& layout = LayoutOf(kind);
    const ChartCorners corners = it8 ? simscan::Centred(layout, 860, 520, 48, 181.5)
                                     : simscan::Centred(layout, 600, 430, 115, 88.5);
    const Reason written = simscan::WriteScan(
        simscan::Scan(scanner, layout, ChartReference(patches), corners, width, height), argv[2],
        ImageFormat::Tiff);
    if (written) {
        std::fprintf(stderr, "%s: cannot write\n", argv[2]);
        return 1;
    }
    if (argc > 3) {
        std::ofstream(argv[3]) << simscan::Cgats(patches, false);
    }
    for (const ImagePoint& p : corners) {
        std::printf("%s%.1f,%.1f", &p == corners.data() ? "" : ",", p.x, p.y);
    }
    std::printf("\n");
    return 0;
}
