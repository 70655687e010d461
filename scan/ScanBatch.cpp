// A feeder says it is empty by SANE_STATUS_NO_DOCS from sane_start (or a
// first sane_read) of the page after the last one; that ends a batch well.
// Only the first page finding none makes it a failure: nothing was scanned.
// Pages follow each other without sane_cancel, which is kept for the end:
// to a feeder it means the batch is over.
#include "scan/ScanBatch.h"

#include "scan/PreparedScan.h"
#include "scan/ScanSource.h"

namespace {

// sane_cancel once the batch is over, however it ended.
class BatchEnd {
public:
    explicit BatchEnd(SaneDevice& device) : device_(device) {}
    ~BatchEnd() { sane_cancel(device_.Handle()); }
    BatchEnd(const BatchEnd&) = delete;
    BatchEnd& operator=(const BatchEnd&) = delete;

private:
    SaneDevice& device_;
};

bool FoundNoDocument(const Reason& reason, bool rowsCame) {
    return !rowsCame && reason.Code == ReasonCode::DeviceError &&
           reason.Value == SANE_STATUS_NO_DOCS;
}

Reason FlatbedRefused(SaneDevice& device) {
    std::string offered;
    for (const std::string& name : SourcesOf(device)) {
        offered += (offered.empty() ? "" : ", ") + name;
    }
    return {ReasonCode::Unsupported, 0,
            "source: a batch needs a document feeder, not " +
                device.Text(kSourceOption).value_or("") + " (the device offers " + offered + ")"};
}

// One page of the batch: its reason, and whether any row of it came.
Reason ScanOne(SaneDevice& device, const ScanSettings& settings, const ScanOutcome& outcome,
               std::size_t index, const std::atomic<bool>& cancel, const BatchCallbacks& callbacks,
               bool& rowsCame) {
    const ScanProgress progress = [&](double fraction) {
        if (callbacks.progress) {
            callbacks.progress(index, fraction);
        }
    };
    const PageUse use = [&](const SampleLayout& layout, const PageReader& read) {
        return callbacks.use({index, layout, outcome.resolution}, [&](const PageRowSink& sink) {
            return read([&](std::span<std::uint8_t> rows) {
                rowsCame = true;
                return sink(rows);
            });
        });
    };
    return ScanThroughCurves(device, settings, outcome.curvesInSoftware, cancel, progress, use,
                             AfterPage::NextPage);
}

} // namespace

BatchOutcome RunScanBatch(const SaneSession& session, const ScanSettings& settings,
                          const std::atomic<bool>& cancel, const BatchCallbacks& callbacks) {
    BatchOutcome batch;
    std::optional<SaneDevice> device = PrepareScan(session, settings, batch.scan);
    if (!device) {
        return batch;
    }
    if (IsFlatbedSource(*device)) {
        batch.scan.reason = FlatbedRefused(*device);
        batch.scan.settingRefused = true;
        return batch;
    }
    const BatchEnd end(*device);
    for (;; ++batch.pages) {
        bool rowsCame = false;
        const Reason reason =
            ScanOne(*device, settings, batch.scan, batch.pages, cancel, callbacks, rowsCame);
        if (reason) {
            const bool empty = FoundNoDocument(reason, rowsCame) && batch.pages > 0;
            batch.scan.reason = empty ? Reason{} : reason;
            return batch;
        }
        if (callbacks.done) {
            callbacks.done(batch.pages);
        }
    }
}
