// calibrate: a linear scan of a chart measured into a parameter file, and on
// request an input profile, a report and a diagnostic picture. The chart's
// corners are given or found, and printed either way. Everything is made in
// memory first, so a chart that cannot be found or measured, or whose
// measurement cannot be right, writes nothing.
#include "cli/CalibrateProblems.h"
#include "cli/ChartCommand.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "image/SampleOutput.h"
#include "io/ParamFileWriter.h"
#include "io/SameFile.h"
#include "measure/Calibration.h"
#include "measure/CalibrationReport.h"
#include "measure/ChartPicture.h"
#include "measure/InputProfile.h"

#include <ostream>

namespace fs = std::filesystem;

namespace {

// The calibration's profile (ICC 2.4), or written anew at --icc-version 4.
Outcome<std::vector<std::uint8_t>> ProfileOfVersion(const CliCommand& command,
                                                    const Calibration& result) {
    if (command.iccVersion == 4) {
        return AtIccVersion(result.profile, IccVersion::Four);
    }
    return result.profile;
}

int WriteProfile(const CliCommand& command, const Calibration& result, std::ostream& err) {
    const Outcome<std::vector<std::uint8_t>> profile = ProfileOfVersion(command, result);
    if (!profile) {
        err << PlainError("the profile could not be made: " + profile.Why().Text);
        return kExitFailed;
    }
    const std::span<const std::uint8_t> bytes = *profile;
    const WriteOutcome written = WriteFileAtomically(*command.profile, std::span(&bytes, 1));
    if (written != WriteResult::Ok) {
        err << FileError(*command.profile, ReasonText(written.Why));
        return kExitFailed;
    }
    return kExitOk;
}

// The outputs, each replaced safely; the first failure is reported.
int WriteOutputs(const CliCommand& command, const Calibration& result, const ChartScan& scan,
                 std::ostream& err) {
    if (command.diagnostic) {
        SampleImage picture = ChartBackdrop(scan);
        DrawMarks(picture, MarksOf(result));
        const fs::path& path = *command.diagnostic;
        const Reason written =
            WriteSamples(picture.layout, *FormatOfName(path, NameUse::ColourOnly), RunsOf(picture),
                         [&](const PositionedContents& c) { return WriteFileAtomically(path, c); });
        if (written) {
            err << FileError(path, ReasonText(written));
            return kExitFailed;
        }
    }
    if (command.report) {
        const std::string text = ReportText(result);
        const WriteOutcome written = WriteFileAtomically(*command.report, std::span(&text, 1));
        if (written != WriteResult::Ok) {
            err << FileError(*command.report, ReasonText(written.Why));
            return kExitFailed;
        }
    }
    if (command.profile) {
        if (const int status = WriteProfile(command, result, err); status != kExitOk) {
            return status;
        }
    }
    const WriteOutcome written = SaveParamFile(command.output, result.positions);
    if (written != WriteResult::Ok) {
        err << FileError(command.output, ReasonText(written.Why));
        return kExitFailed;
    }
    return kExitOk;
}

// An output over the scan or the reference would lose what it was made from.
std::optional<fs::path> OutputOverInput(const CliCommand& command) {
    std::vector<fs::path> inputs = {command.inputs.front()};
    if (command.reference) {
        inputs.push_back(*command.reference);
    }
    for (const auto* output : {&command.profile, &command.report, &command.diagnostic}) {
        for (const fs::path& input : inputs) {
            if (*output && IsSameFile(**output, input)) {
                return **output;
            }
        }
    }
    for (const fs::path& input : inputs) {
        if (IsSameFile(command.output, input)) {
            return command.output;
        }
    }
    return std::nullopt;
}

// The scan, or nullopt after the failure was reported; a warning of its
// reader is told on the way.
std::optional<ChartScan> ScanOrReport(const fs::path& path, std::ostream& err) {
    Reason warning;
    Outcome<ChartScan> scan = ReadChartScan(path, &warning);
    if (!scan) {
        err << FileError(path, ReasonText(scan.Why()));
        return std::nullopt;
    }
    if (warning) {
        err << FileError(path, ReasonText(warning));
    }
    return std::move(*scan);
}

} // namespace

int RunCalibrate(const CliCommand& command, std::ostream& out, std::ostream& err) {
    if (const std::optional<fs::path> over = OutputOverInput(command)) {
        err << FileError(*over, kReasonIsInput);
        return kExitFailed;
    }
    const fs::path& scanPath = command.inputs.front();
    const std::optional<ChartScan> scan = ScanOrReport(scanPath, err);
    if (!scan) {
        return kExitFailed;
    }
    if (command.corners) {
        if (const std::string outside = CornerOutsideScan(*command.corners, *scan);
            !outside.empty()) {
            return ReportUsage(command, outside, err);
        }
    }
    const std::optional<ChartReference> reference = ReferenceOrReport(command, err);
    if (!reference) {
        return kExitFailed;
    }
    const std::optional<ChartCorners> corners = SettleCorners(command, *scan, *reference, out, err);
    if (!corners) {
        return kExitFailed;
    }
    const std::string description = "Tamrel: " + scanPath.filename().string() + " (" +
                                    std::string(LayoutOf(*command.chart).title) + ")";
    const CalibrationOutcome outcome =
        Calibrate(*scan, *command.chart, *reference, *corners, description);
    if (const auto* problem = std::get_if<CalibrationProblem>(&outcome)) {
        return ReportCalibrationProblem(command, *problem, err);
    }
    const Calibration& result = std::get<Calibration>(outcome);
    if (const int status = WriteOutputs(command, result, *scan, err); status != kExitOk) {
        return status;
    }
    return PrintAll(PositionsText(result) + SummaryText(result), out, err);
}
