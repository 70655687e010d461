// scan: one page from a SANE device into a file, with the tables in the
// device (or applied to the rows), or linear; or a feeder's pages with
// --batch. Ctrl+C cancels; nothing is written unless the whole page was
// scanned and written.
#include "cli/ChannelSource.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/OutputChecks.h"
#include "cli/ScanSupport.h"
#include "image/SampleOutput.h"

#include <ostream>

namespace {

int ScanToFile(const SaneSession& session, const ScanSettings& settings, const CliCommand& command,
               std::ostream& err) {
    const auto line = ProgressLine(err);
    ScanProgress progress;
    if (line) {
        progress = [&line](double fraction) { line("scanning", fraction); };
    }
    const OutputKind kind = SampleOutputOf(command.output).value_or(OutputKind::Pnm);
    Reason writeFailure;
    const ScanOutcome outcome =
        RunScanJob(session, settings, theInterrupt, progress,
                   [&](const SampleLayout& layout, const PageReader& read) {
                       return WritePage(layout, read, kind, command.output, writeFailure);
                   });
    if (progress) {
        err << '\n';
    }
    const bool scanned = !outcome.reason || writeFailure;
    return ReportScan(outcome, scanned, writeFailure, command.output, err);
}

} // namespace

int RunScan(const CliCommand& command, std::ostream& out, std::ostream& err) {
    if (const std::string bad = CheckScanOutput(command); !bad.empty()) {
        return ReportUsage(command, bad, err);
    }
    std::optional<ChannelParamsSet> curves;
    if (!command.linear) {
        curves = ChannelsOrReport(command, err);
        if (!curves) {
            return kExitFailed;
        }
    }
    const InterruptCatcher catcher;
    const SaneSession session;
    const ScanSettings settings = SettingsOf(command, curves);
    return command.batch ? ScanBatchToFiles(session, settings, command, out, err)
                         : ScanToFile(session, settings, command, err);
}
