// Corner positions print as the user typed them: plain decimals without
// trailing zeros.
#include "cli/ChartCommand.h"

#include "cli/CalibrateProblems.h"
#include "cli/Messages.h"
#include "measure/ChartFinder.h"

#include <ostream>

namespace {

std::string Number(double v) {
    std::string text = std::to_string(v);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
        text.pop_back();
    }
    return text;
}

} // namespace

std::string CornerOutsideScan(const ChartCorners& corners, const ChartScan& scan) {
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const ImagePoint& p = corners[i];
        if (p.x < 0 || p.y < 0 || p.x > scan.width || p.y > scan.height) {
            return "corner " + std::to_string(i + 1) + " (" + Number(p.x) + "," + Number(p.y) +
                   ") lies outside the " + std::to_string(scan.width) + " x " +
                   std::to_string(scan.height) + " scan";
        }
    }
    return {};
}

std::optional<ChartReference> ReferenceOrReport(const CliCommand& command, std::ostream& err) {
    if (!command.reference) {
        return BuiltInColorChecker();
    }
    Outcome<ChartReference> read = ReadReferenceFile(*command.reference);
    if (!read) {
        err << FileError(*command.reference, ReasonText(read.Why()));
        return std::nullopt;
    }
    return std::move(*read);
}

std::optional<ChartCorners> SettleCorners(const CliCommand& command, const ChartScan& scan,
                                          const ChartReference& reference, std::ostream& out,
                                          std::ostream& err) {
    std::optional<ChartCorners> corners = command.corners;
    if (!corners) {
        const FindOutcome found = FindChart(scan, *command.chart, &reference);
        if (const auto* missing = std::get_if<ChartNotFound>(&found)) {
            err << FileError(command.inputs.front(), NotFoundText(*command.chart, *missing));
            return std::nullopt;
        }
        corners = std::get<ChartCorners>(found);
    }
    out << CornersLine(*corners) << std::flush;
    return corners;
}
