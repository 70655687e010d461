// scan: one page from a SANE device into a file, with the tables in the
// device (or applied to the rows), or linear; or a feeder's pages with
// --batch, a file each or all in one PDF. Ctrl+C cancels; nothing is
// written unless the whole page was scanned and written.
#include "cli/ApplyTargets.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "cli/OutputChecks.h"
#include "cli/ParamSource.h"
#include "cli/ScanSupport.h"
#include "image/SampleOutput.h"
#include "scan/ScanProfile.h"

#include <ostream>

namespace {

// A format of pages (PDF) takes the page as its one page and is written
// once the scan is whole; the others are written as the page is read.
int ScanToFile(const SaneSession& session, const ScanSettings& settings, const CliCommand& command,
               const PageFormat& format, std::ostream& err) {
    const auto line = ProgressLine(err);
    ScanProgress progress;
    if (line) {
        progress = [&line](double fraction) { line("scanning", fraction); };
    }
    Reason writeFailure;
    const PagesOpener openPages = EntryOf(format.kind).OpenPages;
    const std::unique_ptr<PageWriter> pages = openPages != nullptr ? openPages() : nullptr;
    const ScanOutcome outcome = RunScanJob(
        session, settings, theInterrupt, progress,
        [&](const SampleLayout& layout, const std::optional<ScanResolution>& resolution,
            const PageReader& read) {
            return pages
                       ? AddScannedPage(layout, resolution, read, format, *pages, writeFailure)
                       : WritePage(layout, resolution, read, format, command.output, writeFailure);
        });
    if (progress) {
        err << '\n';
    }
    if (pages && pages->Pages() > 0 && !outcome.reason) {
        if (const std::optional<double> dpi = pages->LastPageAssumedDpi()) {
            err << FileError(command.output, AssumedDpiText(*dpi));
        }
        writeFailure = FinishPages(*pages, command.output);
    }
    const bool scanned = !outcome.reason || writeFailure;
    return ReportScan(outcome, scanned, writeFailure, command.output, err);
}

// The page's format, compression and profile; nullopt after a profile that
// cannot be used was reported.
std::optional<PageFormat> PageFormatOf(const CliCommand& command,
                                       const std::optional<ChannelParamsSet>& curves,
                                       std::ostream& err) {
    PageFormat format;
    const std::filesystem::path first =
        command.batch ? std::filesystem::path(PageName(*command.batch, 1)) : command.output;
    format.kind = FormatOfName(first).value_or(ImageFormat::Pnm);
    format.compression = TiffCompressionOf(command.compression);
    format.quality = command.quality;
    format.curves = curves;
    if (command.profile) {
        Outcome<std::vector<std::uint8_t>> read = ReadProfileFile(*command.profile);
        if (!read) {
            err << FileError(*command.profile, ReasonText(read.Why()));
            return std::nullopt;
        }
        format.inputProfile = std::move(*read);
    }
    return format;
}

} // namespace

int RunScan(const CliCommand& command, std::ostream& out, std::ostream& err) {
    if (const std::string bad = CheckScanOutput(command); !bad.empty()) {
        return ReportUsage(command, bad, err);
    }
    if (const std::string there = command.force ? "" : ExistingScanOutput(command);
        !there.empty()) {
        err << there;
        return kExitFailed;
    }
    std::optional<ChannelParamsSet> curves;
    if (!command.linear) {
        const auto params = ParamsOrReport(command, err);
        if (!params) {
            return kExitFailed;
        }
        curves = params->channels;
    }
    const std::optional<PageFormat> format = PageFormatOf(command, curves, err);
    if (!format) {
        return kExitFailed;
    }
    const InterruptCatcher catcher;
    const SaneSession session;
    const ScanSettings settings = SettingsOf(command, curves);
    return command.batch || command.batchIntoOne
               ? ScanBatchToFiles(session, settings, command, *format, out, err)
               : ScanToFile(session, settings, command, *format, err);
}
