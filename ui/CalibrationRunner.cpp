// The worker hands its result back through the owner's event loop; a
// result posted while the runner goes is dropped with it by Qt.
#include "ui/CalibrationRunner.h"

#include <QMetaObject>

CalibrationRunner::~CalibrationRunner() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

void CalibrationRunner::Request(CalibrationJob job) {
    if (running_) {
        waiting_ = std::move(job);
        return;
    }
    Start(std::move(job));
}

void CalibrationRunner::Start(CalibrationJob job) {
    if (worker_.joinable()) {
        worker_.join();
    }
    running_ = true;
    worker_ = std::thread([this, job = std::move(job)] {
        CalibrationOutcome outcome =
            Calibrate(*job.scan, job.chart, *job.reference, job.corners, job.description);
        QMetaObject::invokeMethod(
            this, [this, job, outcome = std::move(outcome)] { Done(job, outcome); },
            Qt::QueuedConnection);
    });
}

// A result a newer request overtook is still shown (the corners moved on,
// the colours follow as they can), and the newer one starts.
void CalibrationRunner::Done(const CalibrationJob& job, const CalibrationOutcome& outcome) {
    running_ = false;
    if (waiting_) {
        CalibrationJob next = std::move(*waiting_);
        waiting_.reset();
        Start(std::move(next));
    }
    if (Finished) {
        Finished(job, outcome);
    }
}
