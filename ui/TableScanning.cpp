// A batch's page is written once it is whole, on the worker that read it;
// a cancel or a failure keeps the pages finished before it and nothing of
// the page in progress. A document is written once the batch has ended with
// a page or more; a first page that fails writes nothing.
#include "ui/TableScanning.h"

#include "image/SampleOutput.h"
#include "io/NumberedFiles.h"
#include "platform/AskUser.h"
#include "platform/WaitCursor.h"
#include "scan/ScanPage.h"
#include "scan/ScanSource.h"
#include "ui/BatchPages.h"
#include "ui/ScanFiles.h"
#include "ui/ScanRunner.h"
#include "ui/UserPath.h"

namespace {

const QString kScanned = QStringLiteral("スキャンしました。");
const QString kPagesScanned = QStringLiteral("%1 ページをスキャンしました。");
const QString kBatchStopped = QStringLiteral("スキャンを中止しました。");

// A page collected whole in memory before its file is touched.
Reason Collected(SampleImage& image, const BatchPage& page, const PageReader& read) {
    return CollectInto(image)(page.layout, read);
}

QString Lines(const QString& first, const QString& second) {
    return second.isEmpty() ? first : first + QLatin1Char('\n') + second;
}

} // namespace

bool FeedsPages(const ScanSettings& settings) {
    for (const auto& [name, value] : settings.options) {
        if (name == kSourceOption) {
            return !NamesFlatbed(value);
        }
    }
    return false;
}

void TableScanning::Run(const SaneSession& session, const ScanSettings& settings) {
    const bool feeder = FeedsPages(settings);
    const std::optional<SaveTarget> target = AskTarget(feeder);
    if (!target) {
        return;
    }
    if (!feeder) {
        OnePage(session, settings, *target);
    } else if (EntryOf(target->format).OpenPages != nullptr) {
        IntoDocument(session, settings, *target);
    } else {
        IntoPages(session, settings, *target);
    }
}

// A batch writes numbered pages, never the name itself, and asks about the
// pages already there before it starts; a single page, or a document of a
// batch's pages, is asked about here when its name is there.
std::optional<SaveTarget> TableScanning::AskTarget(bool feeder) {
    int chosenFilter = -1;
    FileDialogRequest request = ScanSaveRequest(&chosenFilter);
    request.overwritePrompt = !feeder;
    const std::optional<QString> name = ask_.AskFileName(request);
    if (!name) {
        return std::nullopt;
    }
    const SaveTarget target = ScanSaveTarget(PathFromUser(*name), chosenFilter);
    const bool numbered = feeder && EntryOf(target.format).OpenPages == nullptr;
    if (!numbered && !MayReplaceFile(ask_, target, PathFromUser(*name), request.overwritePrompt)) {
        return std::nullopt;
    }
    return target;
}

void TableScanning::OnePage(const SaneSession& session, const ScanSettings& settings,
                            const SaveTarget& target) {
    const ScanOutcome outcome = runner_.Scan(session, settings);
    if (runner_.Stopped() || !ScanSucceeded(ask_, outcome)) {
        return;
    }
    const std::vector<std::uint8_t> profile =
        DeviceProfile(memory_, ask_, outcome.device, settings.curves, outcome.image.layout.depth);
    if (const Reason failed = SaveScan(target, outcome.image, outcome.resolution, profile)) {
        TellCannotSave(ask_, target.path, failed);
        return;
    }
    ask_.ShowMessage(kScanned, MessageButtons::Ok, MessageIcon::Information,
                     WithNarrowNegativeNote(PathToUser(target.path), outcome.narrowNegative));
}

void TableScanning::IntoPages(const SaneSession& session, const ScanSettings& settings,
                              const SaveTarget& target) {
    const std::optional<int> first = AskFirstPageNumber(ask_, target.path);
    if (!first) {
        return;
    }
    Reason saveFailure;
    std::filesystem::path failedPage;
    const BatchProfiles profiles = ProfilesForBatch(memory_, ask_, settings);
    const BatchOutcome batch =
        runner_.Batch(session, settings, [&](const BatchPage& page, const PageReader& read) {
            SampleImage image;
            if (Reason reason = Collected(image, page, read)) {
                return reason;
            }
            SaveTarget pageTarget = target;
            pageTarget.path = PageFileName(target.path, *first + static_cast<int>(page.index));
            saveFailure = SaveScan(pageTarget, image, page.resolution, profiles.For(image));
            failedPage = saveFailure ? pageTarget.path : failedPage;
            return saveFailure;
        });
    if (runner_.Stopped()) {
        return;
    }
    const int last = *first + static_cast<int>(batch.pages) - 1;
    TellBatchEnd(
        batch, saveFailure, failedPage,
        Lines(KeptPagesLine(target.path, *first, batch.pages), OlderPagesLine(target.path, last)));
}

void TableScanning::IntoDocument(const SaneSession& session, const ScanSettings& settings,
                                 const SaveTarget& target) {
    const std::unique_ptr<PageWriter> pages = EntryOf(target.format).OpenPages();
    Reason saveFailure;
    bool dpiTold = false;
    const BatchProfiles profiles = ProfilesForBatch(memory_, ask_, settings);
    const BatchOutcome batch =
        runner_.Batch(session, settings, [&](const BatchPage& page, const PageReader& read) {
            SampleImage image;
            if (Reason reason = Collected(image, page, read)) {
                return reason;
            }
            saveFailure =
                AddScanPage(*pages, target, image, page.resolution, profiles.For(image), dpiTold);
            return saveFailure;
        });
    if (runner_.Stopped()) {
        return;
    }
    std::size_t kept = 0;
    if (pages->Pages() > 0) {
        const WaitCursor wait;
        const Reason written = FinishDocument(*pages, target.path);
        kept = written ? 0 : pages->Pages();
        saveFailure = written ? written : saveFailure;
    }
    TellBatchEnd(batch, saveFailure, target.path, KeptDocumentLine(target.path, kept));
}

void TableScanning::TellBatchEnd(const BatchOutcome& batch, const Reason& saveFailure,
                                 const std::filesystem::path& failed, const QString& kept) {
    const QString details = WithNarrowNegativeNote(kept, batch.scan.narrowNegative);
    if (saveFailure) {
        TellCannotSave(ask_, failed, saveFailure, details);
    } else if (batch.scan.reason.Code == ReasonCode::Cancelled) {
        ask_.ShowMessage(kBatchStopped, MessageButtons::Ok, MessageIcon::Information, details);
    } else if (batch.scan.reason) {
        TellCannotScan(ask_, batch.scan, details);
    } else {
        ask_.ShowMessage(kPagesScanned.arg(batch.pages), MessageButtons::Ok,
                         MessageIcon::Information, details);
    }
}
