// The worker publishes its progress and its end through atomics; a timer on
// the calling thread reads them, so no Qt object is touched off its thread.
#include "ui/ScanWorker.h"

#include <QEventLoop>
#include <QTimer>

#include <thread>

namespace {

constexpr int kProgressPollMs = 20; // well inside the 50 ms a repaint may take

} // namespace

void RunOnWorker(const std::function<void()>& job, const std::function<void()>& poll) {
    std::atomic<bool> finished{false};
    QEventLoop loop;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        poll();
        if (finished.load()) {
            loop.quit();
        }
    });
    std::thread worker([&] {
        job();
        finished = true;
    });
    timer.start(kProgressPollMs);
    loop.exec();
    worker.join();
}

ScanOutcome ScanOnWorker(const SaneSession& session, const ScanSettings& settings,
                         std::atomic<bool>& cancel, const std::function<void(int)>& progress,
                         const std::function<void(ScanOutcome&)>& finish) {
    std::atomic<int> done{0};
    ScanOutcome outcome;
    RunOnWorker(
        [&] {
            outcome = RunScanJob(session, settings, cancel, [&](double fraction) {
                done = static_cast<int>(fraction * kScanProgressSteps);
            });
            if (finish) {
                finish(outcome);
            }
        },
        [&] {
            if (progress) {
                progress(done.load());
            }
        });
    return outcome;
}
