// scan: one page from a SANE device into a file, with the tables in the
// device (or applied to the rows), or linear. Ctrl+C cancels; nothing is
// written unless the whole page was scanned and written.
#include "cli/ChannelSource.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "cli/ScanBmp.h"
#include "cli/ScanFormat.h"
#include "image/PnmWriter.h"
#include "scan/ScanJob.h"

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

WriteOutcome WriteScan(const CliCommand& command, const SampleImage& image) {
    if (ScanFormatOf(command.output) == ScanFormat::Bmp) {
        return WriteScanBmp(command.output, image, theInterrupt);
    }
    return WritePnm(command.output, image.layout, [&image](std::int32_t y) {
        return theInterrupt.load() ? std::span<const std::uint8_t>() : image.Row(y);
    });
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
    const InterruptCatcher catcher;
    const SaneSession session;
    const ScanProgress progress = ProgressOn(err);
    const ScanOutcome outcome =
        RunScanJob(session, SettingsOf(command, curves), theInterrupt, progress);
    if (progress) {
        err << '\n';
    }
    if (outcome.reason) {
        const std::string_view where = outcome.device.empty() ? kLibraryName : outcome.device;
        err << FileError(std::filesystem::path(where), ReasonWords(outcome.reason));
        return kExitFailed;
    }
    if (outcome.curvesInSoftware) {
        err << FileError(std::filesystem::path(outcome.device),
                         "takes no gamma tables for these curves; they were applied to the "
                         "scanned rows");
    }
    const WriteOutcome written = WriteScan(command, outcome.image);
    if (written.Result != WriteResult::Ok) {
        err << FileError(command.output,
                         theInterrupt.load() ? "scan cancelled" : ReasonText(written.Why));
        return kExitFailed;
    }
    return kExitOk;
}
