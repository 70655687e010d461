// Ctrl+C, progress, settings, page files and the report of a scan.
#include "cli/ScanSupport.h"

#include "cli/Commands.h"
#include "cli/Messages.h"
#include "image/SampleOutput.h"
#include "scan/ScanProfile.h"

#include <csignal>
#include <ostream>
#include <unistd.h>

std::atomic<bool> theInterrupt{false};

namespace {

constexpr int kPercent = 100;

extern "C" void OnInterrupt(int) {
    theInterrupt.store(true);
}

std::string ReasonWords(const Reason& reason) {
    return reason.Code == ReasonCode::Cancelled ? "scan cancelled" : reason.Text;
}

} // namespace

InterruptCatcher::InterruptCatcher() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESTART; // reads in the backend go on; the flag ends the scan
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &old_);
}

InterruptCatcher::~InterruptCatcher() {
    sigaction(SIGINT, &old_, nullptr);
}

std::function<void(const std::string&, double)> ProgressLine(std::ostream& err) {
    if (::isatty(STDERR_FILENO) == 0) {
        return {};
    }
    return
        [&err, shown = -1, label = std::string()](const std::string& now, double fraction) mutable {
            const int percent = static_cast<int>(fraction * kPercent);
            if (percent != shown || now != label) {
                shown = percent;
                label = now;
                err << '\r' << label << ": " << percent << '%' << std::flush;
            }
        };
}

ScanSettings SettingsOf(const CliCommand& command, const std::optional<ChannelParamsSet>& curves) {
    ScanSettings settings;
    settings.device = command.device.value_or("");
    settings.resolution = command.resolution;
    settings.mode = command.mode;
    settings.depth = command.depth;
    settings.source = command.source;
    settings.area = command.area;
    settings.options = command.deviceOptions;
    settings.curves = curves;
    return settings;
}

namespace {

using SampleWrite = std::function<Reason(const SampleRuns& runs, const WriteOptions& options)>;

// The page's options (its resolution, the profile of its samples, the
// compression and quality asked for), then its rows through `write`.
Reason WriteScanned(const SampleLayout& layout, const std::optional<ScanResolution>& resolution,
                    const PageReader& read, const PageFormat& format, const SampleWrite& write,
                    Reason& writeFailure) {
    WriteOptions options;
    options.Compression = format.compression;
    options.Quality = format.quality;
    options.Meta.resolution = resolution;
    Outcome<std::vector<std::uint8_t>> profile =
        ScanFileProfile(format.inputProfile, format.curves, layout.depth);
    if (!profile) {
        return writeFailure = profile.Why();
    }
    options.Meta.profile = std::move(*profile);
    Reason scanFailure;
    const SampleRuns runs = [&](const SampleRunSink& sink) { return scanFailure = read(sink); };
    Reason written = write(runs, options);
    const bool scanFailed = scanFailure && scanFailure.Code != ReasonCode::WriteFailed;
    if (written && !scanFailed) {
        writeFailure = written;
    }
    return written;
}

} // namespace

// Every format is written while the page is read, never held whole: BMP's
// bottom-up rows go to their places in the file.
Reason WritePage(const SampleLayout& layout, const std::optional<ScanResolution>& resolution,
                 const PageReader& read, const PageFormat& format,
                 const std::filesystem::path& output, Reason& writeFailure) {
    return WriteScanned(
        layout, resolution, read, format,
        [&](const SampleRuns& runs, const WriteOptions& options) {
            return WriteSamples(
                layout, format.kind, runs,
                [&](const PositionedContents& c) { return WriteFileAtomically(output, c); },
                options);
        },
        writeFailure);
}

Reason AddScannedPage(const SampleLayout& layout, const std::optional<ScanResolution>& resolution,
                      const PageReader& read, const PageFormat& format, PageWriter& pages,
                      Reason& writeFailure) {
    return WriteScanned(
        layout, resolution, read, format,
        [&](const SampleRuns& runs, const WriteOptions& options) {
            return WriteSamplesToPage(layout, format.kind, runs, pages, options);
        },
        writeFailure);
}

Reason FinishPages(PageWriter& pages, const std::filesystem::path& output) {
    return pages.Finish(
        [&](const PositionedContents& c) { return WriteFileAtomically(output, c); });
}

int ReportScan(const ScanOutcome& outcome, bool scanned, const Reason& writeFailure,
               const std::filesystem::path& output, std::ostream& err) {
    if (outcome.narrowNegative) {
        err << PlainError(kNarrowNegativeWarning);
    }
    if (scanned && outcome.curvesInSoftware) {
        err << FileError(std::filesystem::path(outcome.device),
                         "takes no gamma tables for these curves; they were applied to the "
                         "scanned rows");
    }
    if (writeFailure) {
        err << FileError(output, writeFailure.Code == ReasonCode::Cancelled
                                     ? ReasonWords(writeFailure)
                                     : ReasonText(writeFailure));
        return kExitFailed;
    }
    if (outcome.reason) {
        const std::string_view where = outcome.device.empty() ? kLibraryName : outcome.device;
        err << FileError(std::filesystem::path(where), ReasonWords(outcome.reason));
        return outcome.settingRefused ? kExitUsage : kExitFailed;
    }
    return kExitOk;
}
