// The wording follows the order a user fixes things in: the corners first
// (they are where the boxes are), then the reference, then the scan.
#include "cli/CalibrateProblems.h"

#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "measure/Plausibility.h"

#include <cstdio>
#include <ostream>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kNumberBytes = 32;

std::string Fixed(double value, int decimals) {
    char text[kNumberBytes];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
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

std::string ChartTitle(const CliCommand& command) {
    return std::string(LayoutOf(*command.chart).title);
}

// The fit's problem: the reference given is likely another chart's; with
// the built-in values, the scan is likely not of the chart they describe.
std::string ImplausibleText(const CliCommand& command, const CalibrationProblem& problem) {
    const std::string figures = "mean CIEDE2000 " + Fixed(problem.figure, 1) +
                                ", where a chart with its own reference stays below " +
                                Fixed(kImplausibleMean, 0);
    if (command.reference) {
        return FileError(*command.reference, "does not fit the chart scanned (" + figures +
                                                 "): is it the reference of this " +
                                                 ChartTitle(command) + "?");
    }
    return FileError(command.inputs.front(), "does not fit the built-in values (" + figures +
                                                 "): is this a linear scan "
                                                 "of a " +
                                                 ChartTitle(command) +
                                                 " made since November 2014?");
}

std::string ScanProblemText(const CliCommand& command, const CalibrationProblem& problem) {
    const ChartLayout& layout = LayoutOf(*command.chart);
    switch (problem.fault) {
    case CalibrationFault::PatchesMixed:
        return std::to_string(problem.count) + " of " + std::to_string(layout.patches.size()) +
               " sampled boxes are not uniform inside (" + problem.patch +
               " first): the corners are not on the chart's patch grid";
    case CalibrationFault::GreysFlat:
        return "the grey patches " + layout.patches[layout.greys.front()].id + " to " +
               layout.patches[layout.greys.back()].id + " do not differ (they span " +
               Fixed(problem.figure, 1) +
               " of 100 in lightness): is the chart in the scan "
               "at these corners, and the scan not blank?";
    case CalibrationFault::GreysAlike:
        return problem.patch + " reads as " + problem.other +
               ": are the scan's shadows clipped? scan with more exposure";
    case CalibrationFault::GreysOutOfOrder:
        return "is this a linear scan of the chart? " + problem.patch + " is lighter than " +
               problem.other;
    default:
        break;
    }
    return problem.patch + " is clipped at the top level: scan with a lower exposure or White";
}

} // namespace

int ReportCalibrationProblem(const CliCommand& command, const CalibrationProblem& problem,
                             std::ostream& err) {
    switch (problem.fault) {
    case CalibrationFault::Degenerate:
    case CalibrationFault::OutsideScan:
    case CalibrationFault::NoPixels:
        return ReportUsage(command, CornerProblemText(problem), err);
    case CalibrationFault::MissingPatch:
        err << FileError(command.reference.value_or("the built-in reference"),
                         "the reference lacks patch " + problem.patch);
        break;
    case CalibrationFault::ProfileFailed:
        err << PlainError(ProfileWords(command) + problem.detail);
        break;
    case CalibrationFault::FitImplausible:
        err << ImplausibleText(command, problem);
        break;
    default:
        err << FileError(command.inputs.front(), ScanProblemText(command, problem));
        break;
    }
    return kExitFailed;
}

std::string NotFoundText(ChartKind chart, const ChartNotFound& found) {
    const ChartLayout& layout = LayoutOf(chart);
    std::string text = "no " + std::string(layout.title) + " found: looked for a grid of " +
                       std::to_string(layout.columns) + " x " + std::to_string(layout.rows) +
                       " patches at least a fifth of the scan wide, square to the scan or "
                       "turned by quarter turns";
    if (found.columns > 0) {
        text += ", and found one of " + std::to_string(found.columns) + " x " +
                std::to_string(found.rows) + " (is --chart right?)";
    }
    return text + "; --corners gives its corners by hand";
}

std::string CornersLine(const ChartCorners& corners) {
    std::string line = "corners: ";
    for (std::size_t i = 0; i < corners.size(); ++i) {
        line += (i == 0 ? "" : ",") + Fixed(corners[i].x, 1) + "," + Fixed(corners[i].y, 1);
    }
    return line + "\n";
}
