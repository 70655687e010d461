// Every scan the window writes goes through the format table's writers into
// a temporary file renamed over its name when whole, so a failed save never
// leaves half a file where a good one stood.
#include "ui/ScanFiles.h"

#include "image/SampleOutput.h"
#include "io/AtomicWrite.h"
#include "io/SameFile.h"
#include "platform/WaitCursor.h"
#include "scan/ScanProfile.h"
#include "ui/Messages.h"
#include "ui/ReasonText.h"
#include "ui/ScanMemory.h"
#include "ui/UserPath.h"

#include <cstdio>

namespace {

const QString kCannotScan = QStringLiteral("スキャンできません。");
// After a scan the warning about 8-bit tables says they are the scanner's.
const QString kNarrowNegativeScan = QStringLiteral("このスキャナの ") + kNarrowNegative;
const QString kDeviceWord = QStringLiteral("スキャナ");
const QString kProfileLeftOut =
    QStringLiteral("スキャナのプロファイルを読めません。プロファイルなしで保存します。");
const QString kOverwriteQuestion = QStringLiteral("既存ファイルを上書きしますか？");

Replacement ReplacementOf(const std::filesystem::path& path) {
    return [path](const PositionedContents& c) { return WriteFileAtomically(path, c); };
}

// What a scan's file carries beside its pixels, and how it is compressed.
WriteOptions ScanWriteOptions(const SaveTarget& target, const std::optional<Resolution>& resolution,
                              const std::vector<std::uint8_t>& profile) {
    WriteOptions options;
    options.Compression = target.compression;
    options.Meta.resolution = resolution;
    options.Meta.profile = profile;
    return options;
}

// One line on standard error for a page sized at the document's resolution.
bool TellAssumedDpi(const PageWriter& pages, const std::filesystem::path& path) {
    const std::optional<double> dpi = pages.LastPageAssumedDpi();
    if (dpi) {
        std::fprintf(stderr, "tamrel: %s: no resolution given; the page is sized at %.0f dpi\n",
                     path.c_str(), *dpi);
    }
    return dpi.has_value();
}

} // namespace

FileDialogRequest ScanSaveRequest(int* chosenFilter) {
    return {FileDialogRequest::Mode::Save, ScanSaveFilter(), QStringLiteral("pnm"), true,
            QStringLiteral("scan"),        chosenFilter};
}

bool MayReplaceFile(AskUser& ask, const SaveTarget& target, const std::filesystem::path& typed,
                    bool asked) {
    std::error_code error;
    return (asked && IsSameFile(target.path, typed)) ||
           !std::filesystem::exists(target.path, error) ||
           ask.ShowMessage(kOverwriteQuestion, MessageButtons::OkCancel, MessageIcon::Default) ==
               Answer::Ok;
}

Reason SaveScan(const SaveTarget& target, const SampleImage& image,
                const std::optional<Resolution>& resolution,
                const std::vector<std::uint8_t>& profile) {
    if (const PagesOpener openPages = EntryOf(target.format).OpenPages) {
        const std::unique_ptr<PageWriter> pages = openPages();
        bool dpiTold = false;
        if (Reason failed = AddScanPage(*pages, target, image, resolution, profile, dpiTold)) {
            return failed;
        }
        return FinishDocument(*pages, target.path);
    }
    return WriteSamples(image.layout, target.format, RunsOf(image), ReplacementOf(target.path),
                        ScanWriteOptions(target, resolution, profile));
}

std::optional<std::filesystem::path> SaveScannedPage(AskUser& ask, const ScanMemory& memory,
                                                     const ScannedPage& page) {
    int chosenFilter = -1;
    const std::optional<QString> name = ask.AskFileName(ScanSaveRequest(&chosenFilter));
    if (!name) {
        return std::nullopt;
    }
    const SaveTarget target = ScanSaveTarget(PathFromUser(*name), chosenFilter);
    if (!MayReplaceFile(ask, target, PathFromUser(*name), true)) {
        return std::nullopt;
    }
    const std::vector<std::uint8_t> profile =
        DeviceProfile(memory, ask, page.device, std::nullopt, page.samples->layout.depth);
    Reason failed;
    {
        const WaitCursor wait;
        failed = SaveScan(target, *page.samples, page.resolution, profile);
    }
    if (failed) {
        TellCannotSave(ask, target.path, failed);
        return std::nullopt;
    }
    return target.path;
}

Reason AddScanPage(PageWriter& pages, const SaveTarget& target, const SampleImage& image,
                   const std::optional<Resolution>& resolution,
                   const std::vector<std::uint8_t>& profile, bool& dpiTold) {
    Reason failed = WriteSamplesToPage(image.layout, target.format, RunsOf(image), pages,
                                       ScanWriteOptions(target, resolution, profile));
    if (!failed && !dpiTold) {
        dpiTold = TellAssumedDpi(pages, target.path);
    }
    return failed;
}

Reason FinishDocument(PageWriter& pages, const std::filesystem::path& path) {
    return pages.Finish(ReplacementOf(path));
}

std::vector<std::uint8_t> DeviceProfile(const ScanMemory& memory, AskUser& ask,
                                        const std::string& device,
                                        const std::optional<ChannelParamsSet>& curves, int depth) {
    const QString file = memory.ProfileOf(QString::fromStdString(device));
    if (file.isEmpty()) {
        return {};
    }
    Outcome<std::vector<std::uint8_t>> read = ReadProfileFile(PathFromUser(file));
    if (read) {
        read = ScanFileProfile(*read, curves, depth);
    }
    if (!read) {
        ask.ShowMessage(kProfileLeftOut, MessageButtons::Ok, MessageIcon::Default,
                        ReasonLine(PathFromUser(file), read.Why()));
        return {};
    }
    return std::move(*read);
}

BatchProfiles ProfilesForBatch(const ScanMemory& memory, AskUser& ask,
                               const ScanSettings& settings) {
    return {DeviceProfile(memory, ask, settings.device, settings.curves, kByteDepth),
            DeviceProfile(memory, ask, settings.device, settings.curves, kWordDepth)};
}

bool ScanSucceeded(AskUser& ask, const ScanOutcome& outcome) {
    if (outcome.reason.Code == ReasonCode::Cancelled) {
        return false;
    }
    if (outcome.reason) {
        TellCannotScan(ask, outcome);
        return false;
    }
    return true;
}

void TellCannotSave(AskUser& ask, const std::filesystem::path& file, const Reason& why,
                    const QString& more) {
    const QString line = ReasonLine(file, why);
    ask.ShowMessage(kCannotSave, MessageButtons::Ok, MessageIcon::Default,
                    more.isEmpty() ? line : line + QLatin1Char('\n') + more);
}

void TellCannotScan(AskUser& ask, const ScanOutcome& outcome, const QString& more) {
    const QString where =
        outcome.device.empty() ? kDeviceWord : QString::fromStdString(outcome.device);
    const QString line = where + QStringLiteral(": ") + ReasonText(outcome.reason);
    ask.ShowMessage(kCannotScan, MessageButtons::Ok, MessageIcon::Default,
                    more.isEmpty() ? line : line + QLatin1Char('\n') + more);
}

QString WithNarrowNegativeNote(const QString& where, bool narrowNegative) {
    return narrowNegative ? where + QLatin1Char('\n') + kNarrowNegativeScan : where;
}
