// Corner positions print as the user typed them: plain decimals without
// trailing zeros.
#include "cli/ChartCommand.h"

#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"

#include <ostream>

namespace fs = std::filesystem;

namespace {

std::string Number(double v) {
    std::string text = std::to_string(v);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
        text.pop_back();
    }
    return text;
}

std::string CornerProblemText(const CalibrationProblem& problem) {
    switch (problem.fault) {
    case CalibrationFault::OutsideScan:
        return "the sampled box of " + problem.patch + " lies outside the scan; check the corners";
    case CalibrationFault::NoPixels:
        return "the chart is too small in the scan: the sampled box of " + problem.patch +
               " holds no pixel";
    default:
        break;
    }
    return "the corners do not bound a convex quadrilateral";
}

// calibrate makes a profile; assess takes the scan through one.
std::string ProfileWords(const CliCommand& command) {
    return command.kind == CommandKind::Assess ? "the scan's colours could not be measured: "
                                               : "the profile could not be made: ";
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

int ReportChartProblem(const CliCommand& command, const CalibrationProblem& problem,
                       std::ostream& err) {
    const fs::path& scan = command.inputs.front();
    switch (problem.fault) {
    case CalibrationFault::MissingPatch:
        err << FileError(command.reference.value_or("the built-in reference"),
                         "the reference lacks patch " + problem.patch);
        return kExitFailed;
    case CalibrationFault::GreysOutOfOrder:
        err << FileError(scan, "is this a linear scan of the chart? " + problem.patch +
                                   " is lighter than " + problem.other);
        return kExitFailed;
    case CalibrationFault::GreyClipped:
        err << FileError(scan, problem.patch +
                                   " is clipped at the top level: scan with a lower exposure "
                                   "or White");
        return kExitFailed;
    case CalibrationFault::ProfileFailed:
        err << PlainError(ProfileWords(command) + problem.detail);
        return kExitFailed;
    default:
        break;
    }
    return ReportUsage(command, CornerProblemText(problem), err);
}
