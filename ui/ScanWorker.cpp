// The worker publishes its progress and its end through atomics; a timer on
// the calling thread reads them, so no Qt object is touched off its thread.
#include "ui/ScanWorker.h"

#include <QEventLoop>
#include <QTimer>

#include <thread>

namespace {

constexpr int kProgressPollMs = 20; // well inside the 50 ms a repaint may take

} // namespace

ScanOutcome ScanOnWorker(const SaneSession& session, const ScanSettings& settings,
                         std::atomic<bool>& cancel, const std::function<void(int)>& progress,
                         const std::function<void(ScanOutcome&)>& finish) {
    std::atomic<int> done{0};
    std::atomic<bool> finished{false};
    ScanOutcome outcome;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (progress) {
            progress(done.load());
        }
        if (finished.load()) {
            loop.quit();
        }
    });
    std::thread worker([&] {
        outcome = RunScanJob(session, settings, cancel, [&](double fraction) {
            done = static_cast<int>(fraction * kScanProgressSteps);
        });
        if (finish) {
            finish(outcome);
        }
        finished = true;
    });
    poll.start(kProgressPollMs);
    loop.exec();
    worker.join();
    return outcome;
}
