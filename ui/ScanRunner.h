// A scan, or a feeder's batch, on a worker thread while a progress dialog,
// modal over the window, turns the event loop: the window keeps painting,
// its buttons, sliders and tabs are disabled meanwhile, and closing the
// window stops the scan.
#pragma once

#include "scan/ScanBatch.h"

#include <atomic>
#include <functional>

class QWidget;

class ScanRunner {
public:
    explicit ScanRunner(QWidget* window) : window_(window) {}

    // Scans, then runs `finish` on the worker on the outcome (work on the
    // page that would otherwise hold up the window).
    ScanOutcome Scan(const SaneSession& session, const ScanSettings& settings,
                     const std::function<void(ScanOutcome&)>& finish = {});
    // A feeder's pages until it is empty, each handed to `use` on the
    // worker; the progress says which page is being read.
    BatchOutcome Batch(const SaneSession& session, const ScanSettings& settings,
                       const BatchPageUse& use);

    // The window goes: a running scan stops, and its outcome is for no one.
    void Stop();
    bool Stopped() const { return stopped_; }

private:
    QWidget* window_;
    std::atomic<bool>* cancel_ = nullptr; // the running scan's
    bool stopped_ = false;
};
