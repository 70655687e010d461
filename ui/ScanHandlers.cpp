// The two scan entries of the context menu and the save of a scanned image.
// The scan runs on a worker thread while a progress dialog, modal over the
// window, turns the event loop, so the window keeps painting; its controls
// are disabled meanwhile, and closing it cancels the scan. Nothing replaces
// a scan taken in and not yet saved without asking.
#include "image/ReadImage.h"
#include "image/SampleOutput.h"
#include "image/rows/MemoryRows.h"
#include "io/NumberedFiles.h"
#include "io/SameFile.h"
#include "platform/AskUser.h"
#include "platform/WaitCursor.h"
#include "res/Resource.h"
#include "scan/ScanJob.h"
#include "scan/ScanProfile.h"
#include "scan/ScanSource.h"
#include "ui/BatchPages.h"
#include "ui/CMyGraph.h"
#include "ui/FileFilters.h"
#include "ui/Messages.h"
#include "ui/ReasonText.h"
#include "ui/ScanDialog.h"
#include "ui/ScanMemory.h"
#include "ui/ScanProgress.h"
#include "ui/ScanWorker.h"
#include "ui/TamrelDlg.h"
#include "ui/UserPath.h"

#include <QAbstractButton>
#include <QEventLoop>
#include <QSlider>
#include <QTabBar>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

const QString kCannotScan = QStringLiteral("スキャンできません。");
const QString kScanned = QStringLiteral("スキャンしました。");
// After a scan the warning about 8-bit tables says they are the scanner's.
const QString kNarrowNegativeScan = QStringLiteral("このスキャナの ") + kNarrowNegative;
const QString kPagesScanned = QStringLiteral("%1 ページをスキャンしました。");
const QString kBatchStopped = QStringLiteral("スキャンを中止しました。");
const QString kBatchProgress = QStringLiteral("スキャンしています... (%1 ページ目)");
const QString kNothingScanned = QStringLiteral("取り込んだ画像がありません。");
const QString kDeviceWord = QStringLiteral("スキャナ");
const QString kProfileLeftOut =
    QStringLiteral("スキャナのプロファイルを読めません。プロファイルなしで保存します。");
const QString kDiscardScan = QStringLiteral("取り込んだ画像が保存されていません。破棄して%1か?");
const QString kDiscardDetails =
    QStringLiteral("「取り込んだ画像を保存...」で保存できます。「いいえ」で今のまま戻ります。");

const QString kOverwriteQuestion = QStringLiteral("既存ファイルを上書きしますか？");

// The formats the table offers for scans; the chosen one decides where the
// typed name says nothing (ScanSaveTarget).
FileDialogRequest ScanSaveRequest(int* chosenFilter) {
    return {FileDialogRequest::Mode::Save, ScanSaveFilter(), QStringLiteral("pnm"), true,
            QStringLiteral("scan"),        chosenFilter};
}

// A document's page without a resolution of its own is sized at the
// document's; one line on standard error says so.
bool TellAssumedDpi(const PageWriter& pages, const std::filesystem::path& path) {
    const std::optional<double> dpi = pages.LastPageAssumedDpi();
    if (dpi) {
        std::fprintf(stderr, "tamrel: %s: no resolution given; the page is sized at %.0f dpi\n",
                     path.c_str(), *dpi);
    }
    return dpi.has_value();
}

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

// Formats of pages take the scan as their one page.
Reason SaveScan(const SaveTarget& target, const SampleImage& image,
                const std::optional<Resolution>& resolution,
                const std::vector<std::uint8_t>& profile) {
    const WriteOptions options = ScanWriteOptions(target, resolution, profile);
    if (const PagesOpener openPages = EntryOf(target.format).OpenPages) {
        const std::unique_ptr<PageWriter> pages = openPages();
        if (Reason failed =
                WriteSamplesToPage(image.layout, target.format, RunsOf(image), *pages, options)) {
            return failed;
        }
        TellAssumedDpi(*pages, target.path);
        return pages->Finish(ReplacementOf(target.path));
    }
    return WriteSamples(image.layout, target.format, RunsOf(image), ReplacementOf(target.path),
                        options);
}

// Disables every button, slider and tab of the window for its lifetime and
// restores the ones that were enabled.
class DisabledControls {
public:
    explicit DisabledControls(QWidget* window) {
        for (QWidget* control : window->findChildren<QWidget*>()) {
            if ((qobject_cast<QAbstractButton*>(control) != nullptr ||
                 qobject_cast<QSlider*>(control) != nullptr ||
                 qobject_cast<QTabBar*>(control) != nullptr) &&
                control->isEnabled()) {
                control->setEnabled(false);
                disabled_.push_back(control);
            }
        }
    }
    ~DisabledControls() {
        for (QWidget* control : disabled_) {
            control->setEnabled(true);
        }
    }
    DisabledControls(const DisabledControls&) = delete;
    DisabledControls& operator=(const DisabledControls&) = delete;

private:
    std::vector<QWidget*> disabled_;
};

// A source that is no flatbed feeds pages until it runs out.
bool FeedsPages(const ScanSettings& settings) {
    for (const auto& [name, value] : settings.options) {
        if (name == kSourceOption) {
            return !NamesFlatbed(value);
        }
    }
    return false;
}

// The input profile the device's scans carry (kept by the chart dialog's
// 保存), for a scan of `depth` bits through `curves` (none: a linear scan):
// as it is, or rewritten for the curves. Empty when the device has none; a
// profile that can no longer be read is told and left out.
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

// The device's profiles for a batch's pages, made before it starts (the
// pages are saved on the worker): one for 8-bit pages, one for 16-bit ones.
struct BatchProfiles {
    std::vector<std::uint8_t> narrow;
    std::vector<std::uint8_t> wide;

    const std::vector<std::uint8_t>& For(const SampleImage& page) const {
        return page.layout.depth == kWordDepth ? wide : narrow;
    }
};

BatchProfiles ProfilesForBatch(const ScanMemory& memory, AskUser& ask,
                               const ScanSettings& settings) {
    return {DeviceProfile(memory, ask, settings.device, settings.curves, kByteDepth),
            DeviceProfile(memory, ask, settings.device, settings.curves, kWordDepth)};
}

QString DeviceLine(const ScanOutcome& outcome) {
    const QString where =
        outcome.device.empty() ? kDeviceWord : QString::fromStdString(outcome.device);
    return where + QStringLiteral(": ") + ReasonText(outcome.reason);
}

} // namespace

bool CTamrelDlg::ScanSucceeded(const ScanOutcome& outcome) {
    if (destroyed_ || outcome.reason.Code == ReasonCode::Cancelled) {
        return false;
    }
    if (outcome.reason) {
        Ask().ShowMessage(kCannotScan, MessageButtons::Ok, MessageIcon::Default,
                          DeviceLine(outcome));
        return false;
    }
    return true;
}

ScanOutcome CTamrelDlg::ScanInBackground(const SaneSession& session, const ScanSettings& settings,
                                         const std::function<void(ScanOutcome&)>& finish) {
    std::atomic<bool> cancel{false};
    const DisabledControls disabled(this);
    ScanProgressDialog dialog(this, QStringLiteral("スキャンしています..."), cancel);
    scanCancel_ = &cancel;
    ScanOutcome outcome = ScanOnWorker(
        session, settings, cancel, [&](int done) { dialog.setValue(done); }, finish);
    scanCancel_ = nullptr;
    return outcome;
}

BatchOutcome CTamrelDlg::BatchInBackground(const SaneSession& session, const ScanSettings& settings,
                                           const BatchPageUse& use) {
    std::atomic<bool> cancel{false};
    std::atomic<int> done{0};
    std::atomic<std::size_t> pages{0};
    const DisabledControls disabled(this);
    ScanProgressDialog dialog(this, kBatchProgress.arg(1), cancel);
    scanCancel_ = &cancel;
    BatchOutcome outcome;
    BatchCallbacks callbacks;
    callbacks.use = use;
    callbacks.progress = [&](std::size_t finished, double fraction) {
        pages = finished;
        done = static_cast<int>(fraction * kScanProgressSteps);
    };
    RunOnWorker([&] { outcome = RunScanBatch(session, settings, cancel, callbacks); },
                [&] {
                    dialog.ShowStage(kBatchProgress.arg(pages.load() + 1));
                    dialog.setValue(done.load());
                });
    scanCancel_ = nullptr;
    return outcome;
}

// Each page is written once it is whole; a cancel or a failure leaves the
// pages finished before it and nothing of the page in progress. However it
// ends, the batch says how many pages were kept and where.
void CTamrelDlg::ScanBatchWithTables(const SaneSession& session, const ScanSettings& settings,
                                     const SaveTarget& target) {
    const std::optional<int> first = AskFirstPageNumber(Ask(), target.path);
    if (!first) {
        return;
    }
    Reason saveFailure;
    std::filesystem::path failedPage;
    const BatchProfiles profiles = ProfilesForBatch(*scanMemory_, Ask(), settings);
    const BatchOutcome batch =
        BatchInBackground(session, settings, [&](const BatchPage& page, const PageReader& read) {
            SampleImage image;
            if (Reason reason = CollectInto(image)(page.layout, read)) {
                return reason;
            }
            SaveTarget pageTarget = target;
            pageTarget.path = PageFileName(target.path, *first + static_cast<int>(page.index));
            if (Reason failed = SaveScan(pageTarget, image, page.resolution, profiles.For(image))) {
                saveFailure = failed;
                failedPage = pageTarget.path;
                return failed;
            }
            return Reason{};
        });
    if (destroyed_) {
        return;
    }
    TellBatchEnd(batch, saveFailure, failedPage, KeptPagesLine(target.path, *first, batch.pages));
}

// Every page into the one document, written once the batch has ended with
// a page or more, however it ended: a cancel or a failure keeps the pages
// finished before it, a first page that fails writes nothing.
void CTamrelDlg::ScanBatchIntoDocument(const SaneSession& session, const ScanSettings& settings,
                                       const SaveTarget& target) {
    const std::unique_ptr<PageWriter> pages = EntryOf(target.format).OpenPages();
    Reason saveFailure;
    bool dpiTold = false;
    const BatchProfiles profiles = ProfilesForBatch(*scanMemory_, Ask(), settings);
    const BatchOutcome batch =
        BatchInBackground(session, settings, [&](const BatchPage& page, const PageReader& read) {
            SampleImage image;
            if (Reason reason = CollectInto(image)(page.layout, read)) {
                return reason;
            }
            saveFailure =
                WriteSamplesToPage(image.layout, target.format, RunsOf(image), *pages,
                                   ScanWriteOptions(target, page.resolution, profiles.For(image)));
            dpiTold = dpiTold || (!saveFailure && TellAssumedDpi(*pages, target.path));
            return saveFailure;
        });
    if (destroyed_) {
        return;
    }
    std::size_t kept = 0;
    if (pages->Pages() > 0) {
        const WaitCursor wait;
        const Reason written = pages->Finish(ReplacementOf(target.path));
        kept = written ? 0 : pages->Pages();
        saveFailure = written ? written : saveFailure;
    }
    TellBatchEnd(batch, saveFailure, target.path, KeptDocumentLine(target.path, kept));
}

// The one message a batch ends with, whatever ended it, and where its
// pages went.
void CTamrelDlg::TellBatchEnd(const BatchOutcome& batch, const Reason& saveFailure,
                              const std::filesystem::path& failed, const QString& kept) {
    // A device's 8-bit tables cannot hold a negative's dense parts.
    const QString details =
        batch.scan.narrowNegative ? kept + QLatin1Char('\n') + kNarrowNegativeScan : kept;
    if (saveFailure) {
        Ask().ShowMessage(kCannotSave, MessageButtons::Ok, MessageIcon::Default,
                          ReasonLine(failed, saveFailure) + QLatin1Char('\n') + details);
    } else if (batch.scan.reason.Code == ReasonCode::Cancelled) {
        Ask().ShowMessage(kBatchStopped, MessageButtons::Ok, MessageIcon::Information, details);
    } else if (batch.scan.reason) {
        Ask().ShowMessage(kCannotScan, MessageButtons::Ok, MessageIcon::Default,
                          DeviceLine(batch.scan) + QLatin1Char('\n') + details);
    } else {
        Ask().ShowMessage(kPagesScanned.arg(batch.pages), MessageButtons::Ok,
                          MessageIcon::Information, details);
    }
}

// The file dialog asked about the name typed (when `asked`); an extension
// added after it makes another name, asked about here.
bool CTamrelDlg::MayReplace(const SaveTarget& target, const std::filesystem::path& typed,
                            bool asked) {
    std::error_code error;
    return (asked && IsSameFile(target.path, typed)) ||
           !std::filesystem::exists(target.path, error) ||
           Ask().ShowMessage(kOverwriteQuestion, MessageButtons::OkCancel, MessageIcon::Default) ==
               Answer::Ok;
}

bool CTamrelDlg::MayDiscardScan() {
    return MayReplaceScan(ScanReplacedBy::Closing);
}

bool CTamrelDlg::MayReplaceScan(ScanReplacedBy by) {
    if (!scanned_ || scanSaved_) {
        return true;
    }
    const QString doing = by == ScanReplacedBy::Closing   ? QStringLiteral("閉じます")
                          : by == ScanReplacedBy::Opening ? QStringLiteral("開きます")
                                                          : QStringLiteral("取り込みます");
    return Ask().ShowMessage(kDiscardScan.arg(doing), MessageButtons::YesNo, MessageIcon::Question,
                             kDiscardDetails) == Answer::Yes;
}

void CTamrelDlg::CancelScan() {
    if (scanCancel_ != nullptr) {
        *scanCancel_ = true;
    }
}

void CTamrelDlg::OnScanAcquire() {
    if (!MayReplaceScan(ScanReplacedBy::Acquiring)) {
        return;
    }
    SaneSession session;
    ScanDialog pick(this, session, ScanDialog::Purpose::Acquire, *scanMemory_, scanPreview_);
    if (pick.exec() != QDialog::Accepted) {
        return;
    }
    // The page becomes the window's image on the worker too, by the road a
    // file takes: at 1200 dpi that is a good part of a second the window
    // would not paint in.
    DecodedImage image;
    ScanOutcome outcome = ScanInBackground(session, pick.Settings(), [&](ScanOutcome& done) {
        if (done.reason) {
            return;
        }
        Outcome<DecodedImage> decoded = DecodeRows(RowsOf(done.image));
        if (!decoded) {
            done.reason = decoded.Why();
            return;
        }
        image = std::move(*decoded);
    });
    if (!ScanSucceeded(outcome)) {
        return;
    }
    ReplaceImage(std::move(image), std::make_shared<SampleImage>(std::move(outcome.image)));
    scannedResolution_ = outcome.resolution;
    scannedDevice_ = outcome.device;
    scanSaved_ = false;
}

void CTamrelDlg::OnScanWithTables() {
    SaneSession session;
    ScanDialog pick(this, session, ScanDialog::Purpose::WithTables, *scanMemory_, scanPreview_);
    if (pick.exec() != QDialog::Accepted) {
        return;
    }
    ScanSettings settings = pick.Settings();
    settings.curves = theChannelParams;
    int chosenFilter = -1;
    FileDialogRequest request = ScanSaveRequest(&chosenFilter);
    // A batch writes numbered pages, never the name itself; it asks about
    // the pages already there.
    request.overwritePrompt = !FeedsPages(settings);
    const std::optional<QString> name = Ask().AskFileName(request);
    if (!name) {
        return;
    }
    const SaveTarget target = ScanSaveTarget(PathFromUser(*name), chosenFilter);
    // A document takes every page of a batch under the name itself; numbered
    // pages are asked about before their batch.
    const bool document = EntryOf(target.format).OpenPages != nullptr;
    const bool numbered = FeedsPages(settings) && !document;
    if (!numbered && !MayReplace(target, PathFromUser(*name), request.overwritePrompt)) {
        return;
    }
    if (FeedsPages(settings)) {
        if (document) {
            ScanBatchIntoDocument(session, settings, target);
        } else {
            ScanBatchWithTables(session, settings, target);
        }
        return;
    }
    const ScanOutcome outcome = ScanInBackground(session, settings);
    if (!ScanSucceeded(outcome)) {
        return;
    }
    const std::vector<std::uint8_t> profile = DeviceProfile(
        *scanMemory_, Ask(), outcome.device, settings.curves, outcome.image.layout.depth);
    if (const Reason failed = SaveScan(target, outcome.image, outcome.resolution, profile)) {
        Ask().ShowMessage(kCannotSave, MessageButtons::Ok, MessageIcon::Default,
                          ReasonLine(target.path, failed));
        return;
    }
    // A device's 8-bit tables cannot hold a negative's dense parts.
    const QString where = PathToUser(target.path);
    Ask().ShowMessage(kScanned, MessageButtons::Ok, MessageIcon::Information,
                      outcome.narrowNegative ? where + QLatin1Char('\n') + kNarrowNegativeScan
                                             : where);
}

void CTamrelDlg::OnSaveScan() {
    if (!scanned_) {
        Ask().ShowMessage(kNothingScanned, MessageButtons::Ok, MessageIcon::Information);
        return;
    }
    int chosenFilter = -1;
    const std::optional<QString> name = Ask().AskFileName(ScanSaveRequest(&chosenFilter));
    if (!name) {
        return;
    }
    const SaveTarget target = ScanSaveTarget(PathFromUser(*name), chosenFilter);
    if (!MayReplace(target, PathFromUser(*name), true)) {
        return;
    }
    const std::vector<std::uint8_t> profile =
        DeviceProfile(*scanMemory_, Ask(), scannedDevice_, std::nullopt, scanned_->layout.depth);
    Reason failed;
    {
        const WaitCursor wait;
        failed = SaveScan(target, *scanned_, scannedResolution_, profile);
    }
    if (failed) {
        Ask().ShowMessage(kCannotSave, MessageButtons::Ok, MessageIcon::Default,
                          ReasonLine(target.path, failed));
        return;
    }
    scanSaved_ = true;
}
