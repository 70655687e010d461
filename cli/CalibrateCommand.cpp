// calibrate: a linear scan of a chart measured into a parameter file, and on
// request an input profile, a report and a diagnostic picture. Everything is
// made in memory first, so a chart that cannot be measured writes nothing.
#include "cli/ChartCommand.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "image/SampleOutput.h"
#include "io/ParamFileWriter.h"
#include "measure/Calibration.h"
#include "measure/CalibrationReport.h"
#include "measure/ChartPicture.h"

#include <ostream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool NamesSameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
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
        const std::span<const std::uint8_t> bytes = result.profile;
        const WriteOutcome written = WriteFileAtomically(*command.profile, std::span(&bytes, 1));
        if (written != WriteResult::Ok) {
            err << FileError(*command.profile, ReasonText(written.Why));
            return kExitFailed;
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
            if (*output && NamesSameFile(**output, input)) {
                return **output;
            }
        }
    }
    for (const fs::path& input : inputs) {
        if (NamesSameFile(command.output, input)) {
            return command.output;
        }
    }
    return std::nullopt;
}

} // namespace

int RunCalibrate(const CliCommand& command, std::ostream& out, std::ostream& err) {
    if (const std::optional<fs::path> over = OutputOverInput(command)) {
        err << FileError(*over, kReasonIsInput);
        return kExitFailed;
    }
    const fs::path& scanPath = command.inputs.front();
    const Outcome<ChartScan> scan = ReadChartScan(scanPath);
    if (!scan) {
        err << FileError(scanPath, ReasonText(scan.Why()));
        return kExitFailed;
    }
    if (const std::string outside = CornerOutsideScan(*command.corners, *scan); !outside.empty()) {
        return ReportUsage(command, outside, err);
    }
    const std::optional<ChartReference> reference = ReferenceOrReport(command, err);
    if (!reference) {
        return kExitFailed;
    }
    const ChartLayout& layout = LayoutOf(*command.chart);
    const std::string description =
        "Tamrel: " + scanPath.filename().string() + " (" + std::string(layout.title) + ")";
    const CalibrationOutcome outcome =
        Calibrate(*scan, *command.chart, *reference, *command.corners, description);
    if (const auto* problem = std::get_if<CalibrationProblem>(&outcome)) {
        return ReportChartProblem(command, *problem, err);
    }
    const Calibration& result = std::get<Calibration>(outcome);
    if (const int status = WriteOutputs(command, result, *scan, err); status != kExitOk) {
        return status;
    }
    return PrintAll(PositionsText(result) + SummaryText(result), out, err);
}
