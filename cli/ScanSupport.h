// What the scan command's single page and batch share: Ctrl+C as a flag,
// progress on a terminal, the settings from the command line, a page written
// to its file, and the one line (and status) that tells a failure.
#pragma once

#include "cli/CliArgs.h"
#include "image/formats/FormatTable.h"
#include "scan/ScanBatch.h"

#include <atomic>
#include <csignal>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// Raised by Ctrl+C while an InterruptCatcher lives.
extern std::atomic<bool> theInterrupt;

// Ctrl+C only raises the flag while the scan and the write run, so both can
// end cleanly and leave no file; the old handling comes back afterwards.
class InterruptCatcher {
public:
    InterruptCatcher();
    ~InterruptCatcher();
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;

private:
    struct sigaction old_ {};
};

// "LABEL: NN%" rewritten in place, on a terminal only; empty otherwise.
std::function<void(const std::string& label, double fraction)> ProgressLine(std::ostream& err);

ScanSettings SettingsOf(const CliCommand& command, const std::optional<ChannelParamsSet>& curves);

// How each page's file is written: its format by the name's extension, the
// TIFF compression asked for, and the scanner's input profile with the
// curves it is rewritten for (none for a linear scan).
struct PageFormat {
    ImageFormat kind = ImageFormat::Pnm;
    TiffCompression compression = TiffCompression::None;
    std::optional<std::int32_t> quality;
    std::vector<std::uint8_t> inputProfile;
    std::optional<ChannelParamsSet> curves;
};

// Writes the page read through `read` to `output` by the safe replacement
// as it comes, with the page's
// resolution and the profile that describes its samples. A failure of the
// output itself, apart from the scan's, is also put in `writeFailure`.
Reason WritePage(const SampleLayout& layout, const std::optional<ScanResolution>& resolution,
                 const PageReader& read, const PageFormat& format,
                 const std::filesystem::path& output, Reason& writeFailure);

// The same as the next page of `pages`, a document of format.kind.
Reason AddScannedPage(const SampleLayout& layout, const std::optional<ScanResolution>& resolution,
                      const PageReader& read, const PageFormat& format, PageWriter& pages,
                      Reason& writeFailure);

// Writes the pages to `output` by the safe replacement: its reason.
Reason FinishPages(PageWriter& pages, const std::filesystem::path& output);

// The scan's end on standard error and its exit status: a note when the
// curves were applied to the rows, the output's own failure naming
// `output`, the scan's naming the device (a refused source or area being
// bad usage), or success.
int ReportScan(const ScanOutcome& outcome, bool scanned, const Reason& writeFailure,
               const std::filesystem::path& output, std::ostream& err);

// scan --batch: pages until the feeder is empty, each name on `out` once
// its file is complete; or, with command.batchIntoOne, every page into the
// one file, whose name is printed once it is complete (also when a later
// page failed or was cancelled: the pages before it are kept).
int ScanBatchToFiles(const SaneSession& session, const ScanSettings& settings,
                     const CliCommand& command, const PageFormat& format, std::ostream& out,
                     std::ostream& err);
