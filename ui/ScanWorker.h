// A scan job on a worker thread while the calling thread's event loop keeps
// turning, so the window paints and its cancel button is heard.
#pragma once

#include "scan/ScanJob.h"

#include <atomic>
#include <functional>

inline constexpr int kScanProgressSteps = 1000;

// Runs `job` on a worker thread while the calling thread's event loop turns;
// `poll` is called on the calling thread every few milliseconds until the
// job has ended.
void RunOnWorker(const std::function<void()>& job, const std::function<void()>& poll);

// Runs the job, then `finish` on the worker (work on the page that would
// otherwise hold up the window); `progress` is called on the calling thread
// with 0..kScanProgressSteps. Setting `cancel` ends the scan early.
ScanOutcome ScanOnWorker(const SaneSession& session, const ScanSettings& settings,
                         std::atomic<bool>& cancel, const std::function<void(int)>& progress,
                         const std::function<void(ScanOutcome&)>& finish = {});
