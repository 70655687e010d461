// scan --batch: a document feeder's pages, each into the file its number
// names, or all into one PDF, until the feeder is empty. A finished page
// is complete on the disk before its name is printed (a PDF is written,
// and named, once the batch has ended); the page in progress at a failure
// or Ctrl+C leaves nothing, the pages before it stay.
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "cli/OutputChecks.h"
#include "cli/ScanSupport.h"
#include "image/SampleOutput.h"

#include <ostream>

namespace {

// Blanks over "page NNN: 100%" before a page's name takes the line.
constexpr std::size_t kProgressWidth = 24;

std::filesystem::path NameOf(const CliCommand& command, std::size_t index) {
    return PageName(*command.batch, static_cast<int>(index) + 1);
}

// Every page into the one document, which is written when the batch ends
// with a page or more, whatever ended it.
int ScanBatchIntoOne(const SaneSession& session, const ScanSettings& settings,
                     const CliCommand& command, const PageFormat& format, std::ostream& out,
                     std::ostream& err) {
    const auto line = ProgressLine(err);
    const std::unique_ptr<PageWriter> pages = EntryOf(format.kind).OpenPages();
    Reason writeFailure;
    bool dpiTold = false; // one line for the batch: every page comes from the same device
    BatchCallbacks callbacks;
    callbacks.use = [&](const BatchPage& page, const PageReader& read) {
        const Reason failed =
            AddScannedPage(page.layout, page.resolution, read, format, *pages, writeFailure);
        if (!failed && !dpiTold && pages->LastPageAssumedDpi()) {
            err << FileError(command.output, AssumedDpiText(*pages->LastPageAssumedDpi()));
            dpiTold = true;
        }
        return failed;
    };
    if (line) {
        callbacks.done = [&](std::size_t) {
            err << '\r' << std::string(kProgressWidth, ' ') << '\r' << std::flush;
        };
        callbacks.progress = [&line](std::size_t pagesDone, double fraction) {
            line("page " + std::to_string(pagesDone + 1), fraction);
        };
    }
    const BatchOutcome batch = RunScanBatch(session, settings, theInterrupt, callbacks);
    if (line) {
        err << '\n';
    }
    if (pages->Pages() > 0) {
        if (Reason written = FinishPages(*pages, command.output)) {
            writeFailure = written;
        } else {
            out << command.output.string() << '\n' << std::flush;
        }
    }
    const bool scanned = batch.pages > 0 || writeFailure;
    return ReportScan(batch.scan, scanned, writeFailure, command.output, err);
}

} // namespace

int ScanBatchToFiles(const SaneSession& session, const ScanSettings& settings,
                     const CliCommand& command, const PageFormat& format, std::ostream& out,
                     std::ostream& err) {
    if (command.batchIntoOne) {
        return ScanBatchIntoOne(session, settings, command, format, out, err);
    }
    const auto line = ProgressLine(err);
    Reason writeFailure;
    std::filesystem::path current;
    BatchCallbacks callbacks;
    callbacks.use = [&](const BatchPage& page, const PageReader& read) {
        current = NameOf(command, page.index);
        return WritePage(page.layout, page.resolution, read, format, current, writeFailure);
    };
    callbacks.done = [&](std::size_t index) {
        if (line) {
            err << '\r' << std::string(kProgressWidth, ' ') << '\r' << std::flush;
        }
        out << NameOf(command, index).string() << '\n' << std::flush;
    };
    if (line) {
        callbacks.progress = [&line](std::size_t pages, double fraction) {
            line("page " + std::to_string(pages + 1), fraction);
        };
    }
    const BatchOutcome batch = RunScanBatch(session, settings, theInterrupt, callbacks);
    if (line) {
        err << '\n';
    }
    err << OlderPagesLeft(command, static_cast<int>(batch.pages));
    const bool scanned = batch.pages > 0 || writeFailure;
    return ReportScan(batch.scan, scanned, writeFailure, current, err);
}
