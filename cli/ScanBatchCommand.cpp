// scan --batch: a document feeder's pages, each into the file its number
// names, until the feeder is empty. A finished page is complete on the disk
// before its name is printed; the page in progress at a failure or Ctrl+C
// leaves nothing, the pages before it stay.
#include "cli/Commands.h"
#include "cli/ScanSupport.h"
#include "image/SampleOutput.h"

#include <ostream>

namespace {

// Blanks over "page NNN: 100%" before a page's name takes the line.
constexpr std::size_t kProgressWidth = 24;

std::filesystem::path NameOf(const CliCommand& command, std::size_t index) {
    return PageName(*command.batch, static_cast<int>(index) + 1);
}

} // namespace

int ScanBatchToFiles(const SaneSession& session, const ScanSettings& settings,
                     const CliCommand& command, const PageFormat& format, std::ostream& out,
                     std::ostream& err) {
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
    const bool scanned = batch.pages > 0 || writeFailure;
    return ReportScan(batch.scan, scanned, writeFailure, current, err);
}
