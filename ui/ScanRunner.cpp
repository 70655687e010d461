// The progress dialog stays up from the scan's start to its end (between a
// batch's pages too), so no key meant for it reaches the window.
#include "ui/ScanRunner.h"

#include "ui/ScanProgress.h"
#include "ui/ScanWorker.h"

#include <QAbstractButton>
#include <QSlider>
#include <QTabBar>

#include <vector>

namespace {

const QString kScanning = QStringLiteral("スキャンしています...");
const QString kBatchProgress = QStringLiteral("スキャンしています... (%1 ページ目)");

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

// The runner's cancel flag points at a running scan's own for its lifetime.
class RunningScan {
public:
    RunningScan(std::atomic<bool>*& slot, std::atomic<bool>& cancel) : slot_(slot) {
        slot_ = &cancel;
    }
    ~RunningScan() { slot_ = nullptr; }
    RunningScan(const RunningScan&) = delete;
    RunningScan& operator=(const RunningScan&) = delete;

private:
    std::atomic<bool>*& slot_;
};

} // namespace

ScanOutcome ScanRunner::Scan(const SaneSession& session, const ScanSettings& settings,
                             const std::function<void(ScanOutcome&)>& finish) {
    std::atomic<bool> cancel{false};
    const DisabledControls disabled(window_);
    ScanProgressDialog dialog(window_, kScanning, cancel);
    const RunningScan running(cancel_, cancel);
    return ScanOnWorker(
        session, settings, cancel, [&](int done) { dialog.setValue(done); }, finish);
}

BatchOutcome ScanRunner::Batch(const SaneSession& session, const ScanSettings& settings,
                               const BatchPageUse& use) {
    std::atomic<bool> cancel{false};
    std::atomic<int> done{0};
    std::atomic<std::size_t> pages{0};
    const DisabledControls disabled(window_);
    ScanProgressDialog dialog(window_, kBatchProgress.arg(1), cancel);
    const RunningScan running(cancel_, cancel);
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
    return outcome;
}

void ScanRunner::Stop() {
    stopped_ = true;
    if (cancel_ != nullptr) {
        *cancel_ = true;
    }
}
