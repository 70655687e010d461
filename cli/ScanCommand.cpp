// scan: one page from a SANE device into a file, with the tables in the
// device (or applied to the rows), or linear. Ctrl+C cancels; nothing is
// written unless the whole page was scanned and written.
#include "cli/ChannelSource.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "cli/ScanBmp.h"
#include "image/SampleOutput.h"
#include "scan/ScanJob.h"
#include "scan/ScanProfile.h"

#include <atomic>
#include <csignal>
#include <ostream>
#include <unistd.h>

namespace {

constexpr std::string_view kLibraryName = "libsane";
constexpr int kPercent = 100;

std::atomic<bool> theInterrupt{false};

extern "C" void OnInterrupt(int) {
    theInterrupt.store(true);
}

// Ctrl+C only raises the flag while the scan and the write run, so both can
// end cleanly and leave no file; the old handling comes back afterwards.
class InterruptCatcher {
public:
    InterruptCatcher() {
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        action.sa_flags = SA_RESTART; // reads in the backend go on; the flag ends the scan
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &old_);
    }
    ~InterruptCatcher() { sigaction(SIGINT, &old_, nullptr); }
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;

private:
    struct sigaction old_ {};
};

// "scanning: NN%" rewritten in place, on a terminal only.
ScanProgress ProgressOn(std::ostream& err) {
    if (::isatty(STDERR_FILENO) == 0) {
        return {};
    }
    return [&err, shown = -1](double fraction) mutable {
        const int percent = static_cast<int>(fraction * kPercent);
        if (percent != shown) {
            shown = percent;
            err << "\rscanning: " << percent << '%' << std::flush;
        }
    };
}

ScanSettings SettingsOf(const CliCommand& command, const std::optional<ChannelParamsSet>& curves) {
    ScanSettings settings;
    settings.device = command.device.value_or("");
    settings.resolution = command.resolution;
    settings.mode = command.mode;
    settings.depth = command.depth;
    settings.options = command.deviceOptions;
    settings.curves = curves;
    return settings;
}

std::string ReasonWords(const Reason& reason) {
    return reason.Code == ReasonCode::Cancelled ? "scan cancelled" : reason.Text;
}

// What became of a scan and its file: the scan's outcome, and the output's
// own failure apart from it, so each is named after what failed.
struct ScanWrite {
    ScanOutcome outcome;
    Reason writeFailure;
};

// The file's compression, resolution and profile, once the page's depth
// and resolution are known.
Outcome<SampleFileOptions> FileOptions(const CliCommand& command, const ScanSettings& settings,
                                       const std::vector<std::uint8_t>& inputProfile,
                                       const SampleLayout& layout,
                                       const std::optional<Resolution>& resolution) {
    SampleFileOptions options;
    options.compression = command.compression;
    options.meta.resolution = resolution;
    Outcome<std::vector<std::uint8_t>> profile =
        ScanFileProfile(inputProfile, settings.curves, layout.depth);
    if (!profile) {
        return profile.Why();
    }
    options.meta.profile = std::move(*profile);
    return options;
}

// PNM, PNG and TIFF are written while the page is read, never held whole.
ScanWrite StreamToFile(const SaneSession& session, const CliCommand& command,
                       const ScanSettings& settings, const std::vector<std::uint8_t>& profile,
                       const ScanProgress& progress, OutputKind kind) {
    const std::filesystem::path& output = command.output;
    ScanWrite result;
    Reason scanFailure;
    result.outcome = RunScanJob(
        session, settings, theInterrupt, progress,
        [&](const SampleLayout& layout, const std::optional<Resolution>& resolution,
            const PageReader& read) {
            const Outcome<SampleFileOptions> options =
                FileOptions(command, settings, profile, layout, resolution);
            if (!options) {
                result.writeFailure = options.Why();
                return options.Why();
            }
            const SampleRuns runs = [&](const SampleRunSink& sink) {
                return scanFailure = read(sink);
            };
            Reason written = WriteSamples(
                layout, kind, runs,
                [&](const PositionedContents& c) { return WriteFileAtomically(output, c); },
                *options);
            const bool scanFailed = scanFailure && scanFailure.Code != ReasonCode::WriteFailed;
            if (written && !scanFailed) {
                result.writeFailure = written;
            }
            return written;
        });
    return result;
}

// BMP rows go bottom-up, so its page is scanned whole first.
ScanWrite ScanThenBmp(const SaneSession& session, const ScanSettings& settings,
                      const ScanProgress& progress, const std::filesystem::path& output) {
    ScanWrite result;
    result.outcome = RunScanJob(session, settings, theInterrupt, progress);
    if (!result.outcome.reason) {
        const WriteOutcome written =
            WriteScanBmp(output, result.outcome.image, theInterrupt, result.outcome.resolution);
        if (written.Result != WriteResult::Ok) {
            result.writeFailure = theInterrupt.load() ? Reason(ReasonCode::Cancelled) : written.Why;
            result.outcome.reason = result.writeFailure;
        }
    }
    return result;
}

} // namespace

int RunScan(const CliCommand& command, std::ostream& err) {
    std::optional<ChannelParamsSet> curves;
    if (!command.linear) {
        curves = ChannelsOrReport(command, err);
        if (!curves) {
            return kExitFailed;
        }
    }
    std::vector<std::uint8_t> profile;
    if (command.profile) {
        Outcome<std::vector<std::uint8_t>> read = ReadProfileFile(*command.profile);
        if (!read) {
            err << FileError(*command.profile, ReasonText(read.Why()));
            return kExitFailed;
        }
        profile = std::move(*read);
    }
    const InterruptCatcher catcher;
    const SaneSession session;
    const ScanProgress progress = ProgressOn(err);
    const ScanSettings settings = SettingsOf(command, curves);
    const OutputKind kind = SampleOutputOf(command.output).value_or(OutputKind::Pnm);
    const ScanWrite result =
        kind == OutputKind::Bmp ? ScanThenBmp(session, settings, progress, command.output)
                                : StreamToFile(session, command, settings, profile, progress, kind);
    if (progress) {
        err << '\n';
    }
    const ScanOutcome& outcome = result.outcome;
    const bool scanned = !outcome.reason || result.writeFailure;
    if (scanned && outcome.curvesInSoftware) {
        err << FileError(std::filesystem::path(outcome.device),
                         "takes no gamma tables for these curves; they were applied to the "
                         "scanned rows");
    }
    if (result.writeFailure) {
        err << FileError(command.output, result.writeFailure.Code == ReasonCode::Cancelled
                                             ? ReasonWords(result.writeFailure)
                                             : ReasonText(result.writeFailure));
        return kExitFailed;
    }
    if (outcome.reason) {
        const std::string_view where = outcome.device.empty() ? kLibraryName : outcome.device;
        err << FileError(std::filesystem::path(where), ReasonWords(outcome.reason));
        return kExitFailed;
    }
    return kExitOk;
}
