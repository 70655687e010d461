// assess: a scan of a chart measured as it will be delivered and judged
// against the imaging guidelines. The scan goes through the tables of
// --params where given (at 65536 entries, as a 16-bit scan goes through
// them), and its values are read through --profile, or else the profile
// the scan's file carries, or else sRGB; with --params that profile is
// rewritten for the tables, as scan and apply write it. The chart is found
// as calibrate finds it where no corners are given, and the corners used
// are printed first. Nothing is fitted and nothing is written.
#include "cli/CalibrateProblems.h"
#include "cli/ChartCommand.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "cli/ParamSource.h"
#include "curve/ChannelCurves.h"
#include "curve/ClassicFormat.h"
#include "image/formats/ChannelTables.h"
#include "image/formats/FileRows.h"
#include "image/rows/SampleImage.h"
#include "measure/Assessment.h"
#include "measure/VerdictReport.h"
#include "scan/ScanProfile.h"

#include <ostream>

namespace fs = std::filesystem;

namespace {

constexpr TableShape kDeliveredShape{65536, 65535};
constexpr std::size_t kLineBytes = 256;

struct ScannedChart {
    ChartScan scan;
    std::vector<std::uint8_t> profile; // the one the file carries, or none
};

Outcome<ScannedChart> ReadScanned(const fs::path& path) {
    return UseFileRows(path, ReadFormatOf(path),
                       [](const RowSource& rows) -> Outcome<ScannedChart> {
                           Outcome<ChartScan> scan = ScanOfRows(rows);
                           if (!scan) {
                               return scan.Why();
                           }
                           return ScannedChart{std::move(*scan), rows.Meta().profile};
                       });
}

ChannelTables TablesOf(const ChannelParamsSet& channels) {
    const ChannelCurves curves = CurvesOf(channels, kDeliveredShape);
    std::array<std::span<const std::uint16_t>, kChannelCount> spans;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        spans[c] = curves[c];
    }
    return ChannelTablesOf(spans, kDeliveredShape.maxLevel);
}

// The tables and the profile of the values delivered; nullopt after the
// failure was reported on `err`.
std::optional<Delivery> DeliveryOrReport(const CliCommand& command,
                                         std::vector<std::uint8_t> profile, std::ostream& err) {
    if (command.profile) {
        Outcome<std::vector<std::uint8_t>> read = ReadProfileFile(*command.profile);
        if (!read) {
            err << FileError(*command.profile, ReasonText(read.Why()));
            return std::nullopt;
        }
        profile = std::move(*read);
    }
    std::optional<ChannelParamsSet> channels;
    if (!command.params.empty()) {
        const std::optional<ParamSet> params = ParamsOrReport(command, err);
        if (!params) {
            return std::nullopt;
        }
        channels = params->channels;
    }
    Outcome<std::vector<std::uint8_t>> delivered = ScanFileProfile(profile, channels, kWordDepth);
    if (!delivered) {
        err << FileError(command.profile.value_or(command.inputs.front()),
                         ReasonText(delivered.Why()));
        return std::nullopt;
    }
    Delivery delivery{std::nullopt, std::move(*delivered)};
    if (channels) {
        delivery.tables = TablesOf(*channels);
    }
    return delivery;
}

// What the scan was taken through, in words.
std::string ThroughText(const CliCommand& command, const Delivery& delivery) {
    std::string text = command.params.empty() ? "as scanned" : "through " + command.params.string();
    if (command.profile) {
        return text + ", read with " + command.profile->string();
    }
    return text + (delivery.profile.empty() ? ", read as sRGB" : ", read with its own profile");
}

std::string AssessmentText(const CliCommand& command, const Delivery& delivery,
                           const ChartFigures& figures) {
    const std::string title(LayoutOf(*command.chart).title);
    std::string text = "Tamrel chart assessment: " + command.inputs.front().filename().string() +
                       " (" + title + "), " + ThroughText(command, delivery) + "\n";
    text += FormatClassic<kLineBytes>("CIEDE2000 over %zu patches: mean %.2f, largest %.2f\n",
                                      figures.delivered.size(), figures.Of(ChartFigure::MeanDeltaE),
                                      figures.Of(ChartFigure::LargestDeltaE));
    return text + VerdictText(Judge(figures, GuidelineLimits()));
}

} // namespace

int RunAssess(const CliCommand& command, std::ostream& out, std::ostream& err) {
    const fs::path& scanPath = command.inputs.front();
    Outcome<ScannedChart> scanned = ReadScanned(scanPath);
    if (!scanned) {
        err << FileError(scanPath, ReasonText(scanned.Why()));
        return kExitFailed;
    }
    if (command.corners) {
        if (const std::string outside = CornerOutsideScan(*command.corners, scanned->scan);
            !outside.empty()) {
            return ReportUsage(command, outside, err);
        }
    }
    const std::optional<ChartReference> reference = ReferenceOrReport(command, err);
    const std::optional<Delivery> delivery =
        reference ? DeliveryOrReport(command, std::move(scanned->profile), err) : std::nullopt;
    const std::optional<ChartCorners> corners =
        delivery ? SettleCorners(command, scanned->scan, *reference, out, err) : std::nullopt;
    if (!corners) {
        return kExitFailed;
    }
    const AssessmentOutcome outcome =
        Assess(scanned->scan, *command.chart, *reference, *corners, *delivery);
    if (const auto* problem = std::get_if<CalibrationProblem>(&outcome)) {
        return ReportCalibrationProblem(command, *problem, err);
    }
    return PrintAll(AssessmentText(command, *delivery, std::get<ChartFigures>(outcome)), out, err);
}
