// Pages from a document feeder, one after another until it is empty: each
// page handed to its own use (a file, an image), as a front end asks.
#pragma once

#include "scan/ScanJob.h"

#include <cstddef>
#include <functional>
#include <optional>

struct BatchPage {
    std::size_t index = 0; // 0 for the first page
    SampleLayout layout;
    std::optional<ScanResolution> resolution; // dots per inch, when the device names it
};

// Reads one page through `read` and keeps it; its reason is the page's (a
// use that fails, or is cancelled, must leave nothing of the page behind).
using BatchPageUse = std::function<Reason(const BatchPage& page, const PageReader& read)>;
// A page was read whole and its use succeeded.
using BatchPageDone = std::function<void(std::size_t index)>;
// Pages finished so far, and the share 0..1 of the page being read.
using BatchProgress = std::function<void(std::size_t pagesDone, double fraction)>;

struct BatchCallbacks {
    BatchPageUse use;
    BatchPageDone done;     // may be empty
    BatchProgress progress; // may be empty
};

struct BatchOutcome {
    // None when the feeder ran empty after one page or more. Otherwise:
    // SANE_STATUS_NO_DOCS's reason when the first page found no document,
    // Cancelled, Unsupported (with settingRefused) for a flatbed source,
    // or the failure of a page; the pages finished before it are kept.
    ScanOutcome scan; // its image stays empty
    std::size_t pages = 0;
};

// Opens and sets up the device as RunScanJob does, then scans pages until
// the device reports SANE_STATUS_NO_DOCS before a page's first row. A source
// named a flatbed is refused: it never runs out and would give the same
// page forever. `cancel` ends the batch between pages and within one.
BatchOutcome RunScanBatch(const SaneSession& session, const ScanSettings& settings,
                          const std::atomic<bool>& cancel, const BatchCallbacks& callbacks);
