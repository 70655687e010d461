// apply: each image put through the tables as the preview shows it
// (upright) and written as a 24-bit BMP, a PNM, a PNG, a TIFF or a JPEG, or
// every image a page of one PDF; 16-bit inputs go through the 65536-entry
// curves.
#include "cli/ApplyTargets.h"
#include "curve/ChannelCurves.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "cli/OutputChecks.h"
#include "cli/ParamSource.h"
#include "curve/FilmTables.h"
#include "image/ApplyImage.h"
#include "io/SameFile.h"

#include <ostream>

namespace {

// The index of a 16-bit sample into these curves is its value scaled to 0..65535.
constexpr TableShape kWideShape{65536, 65535};

bool ApplyOne(const ApplyTarget& target, const ApplyTables& tables, const ApplyOptions& options,
              std::ostream& err) {
    if (IsSameFile(target.input, target.output)) {
        err << FileError(target.output, kReasonIsInput);
        return false;
    }
    // Stored rows go through the tables and out a run at a time: the whole
    // image is never decoded.
    ApplyOptions named = options;
    named.GreyOnly = HoldsGreyOnly(target.output);
    Reason warning;
    const Reason failed =
        ApplyImageFile(target.input, target.output, target.format, tables, named, &warning);
    if (failed) {
        err << FileError(IsAboutOutput(failed) ? target.output : target.input, ReasonText(failed));
    } else if (warning) {
        err << FileError(target.input, ReasonText(warning));
    }
    return !failed;
}

// Every input a page of the one output, in order. The first input that
// fails stops the others and nothing is written (an old output stays): a
// document that lacks a page is no use, and the inputs are still there.
bool ApplyToPages(const std::vector<ApplyTarget>& targets, const ApplyTables& tables,
                  const ApplyOptions& options, std::ostream& err) {
    const ApplyTarget& first = targets.front();
    const std::unique_ptr<PageWriter> pages = EntryOf(first.format).OpenPages();
    for (const ApplyTarget& target : targets) {
        if (IsSameFile(target.input, target.output)) {
            err << FileError(target.output, kReasonIsInput);
            return false;
        }
        Reason warning;
        const Reason failed =
            ApplyFileToPage(target.input, target.format, *pages, tables, options, &warning);
        if (warning) {
            err << FileError(target.input, ReasonText(warning));
        }
        if (failed) {
            err << FileError(IsAboutOutput(failed) ? target.output : target.input,
                             ReasonText(failed));
            return false;
        }
        if (const std::optional<double> dpi = pages->LastPageAssumedDpi()) {
            err << FileError(target.input, AssumedDpiText(*dpi));
        }
    }
    const Reason written = pages->Finish(
        [&](const PositionedContents& c) { return WriteFileAtomically(first.output, c); });
    if (written) {
        err << FileError(first.output, ReasonText(written));
    }
    return !written;
}

} // namespace

int RunApply(const CliCommand& command, std::ostream& err) {
    if (const std::string bad = CheckApplyOutputs(command); !bad.empty()) {
        return ReportUsage(command, bad, err);
    }
    const auto params = ParamsOrReport(command, err);
    if (!params) {
        return kExitFailed;
    }
    const ChannelCurves wide = CurvesOf(params->channels, kWideShape);
    ApplyTables tables{&params->tables, {wide[kRed], wide[kGreen], wide[kBlue]}, {}};
    ChannelCurves positive;
    if (HasFilm(params->channels)) {
        positive = CurvesOf(CurvesAlone(params->channels), kWideShape);
        tables.PositiveWide = {positive[kRed], positive[kGreen], positive[kBlue]};
    }
    ApplyOptions options;
    options.Compression = TiffCompressionOf(command.compression);
    options.Quality = command.quality;
    const std::vector<ApplyTarget> targets = ApplyTargets(command, KeepsGrey(tables));
    if (!command.outputDir && HoldsPages(EntryOf(targets.front().format))) {
        return ApplyToPages(targets, tables, options, err) ? kExitOk : kExitFailed;
    }
    // One failed image does not stop the others; the status still says so.
    int status = kExitOk;
    for (const ApplyTarget& target : targets) {
        if (!ApplyOne(target, tables, options, err)) {
            status = kExitFailed;
        }
    }
    return status;
}
