// Two batches take turns: one is filled with rows on the calling thread while
// the other is encoded by one task per core, each task taking the next strip
// not yet taken. A batch is emitted in order once all its strips are encoded.
#include "image/formats/ParallelStrips.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <future>
#include <system_error>
#include <thread>

namespace {

// Strips in flight per core: enough that a slow strip does not idle the rest.
constexpr std::int32_t kStripsPerCore = 4;

std::int32_t Cores() {
    return static_cast<std::int32_t>(std::max(1U, std::thread::hardware_concurrency()));
}

} // namespace

struct ParallelStrips::Batch {
    std::int32_t firstStrip = 0;
    std::int32_t rows = 0; // rows gathered so far
    // The row above, then the batch's rows; left uninitialised but for the
    // first batch's row above (zeros), as every other byte is copied in
    // before it is read.
    std::unique_ptr<std::uint8_t[]> buffer;
    std::vector<EncodedStrip> encoded;    // one per strip of the batch
    std::vector<std::future<bool>> tasks; // running encodes
    std::atomic<std::int32_t> next{0};    // next strip of the batch to encode
};

ParallelStrips::ParallelStrips(const StripPlan& plan, StripEncode encode, StripEmit emit)
    : plan_(plan), encode_(std::move(encode)), emit_(std::move(emit)),
      batchStrips_(Cores() * kStripsPerCore), filling_(std::make_unique<Batch>()),
      encoding_(std::make_unique<Batch>()) {
    const auto rowBytes = static_cast<std::size_t>(plan_.rowBytes);
    const auto batchRows = static_cast<std::size_t>(batchStrips_) * plan_.rowsPerStrip;
    for (Batch* batch : {filling_.get(), encoding_.get()}) {
        batch->buffer.reset(new std::uint8_t[rowBytes * (batchRows + 1)]);
        batch->encoded.resize(static_cast<std::size_t>(batchStrips_));
    }
    std::memset(filling_->buffer.get(), 0, rowBytes);
}

ParallelStrips::~ParallelStrips() {
    for (auto& task : encoding_->tasks) {
        task.wait(); // the tasks refer to this object's batches
    }
}

std::int32_t ParallelStrips::RowsPerStrip(std::int64_t rowBytes, std::int64_t targetBytes,
                                          std::int32_t height) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        targetBytes / std::max<std::int64_t>(rowBytes, 1), 1, std::max(height, 1)));
}

bool ParallelStrips::AddRow(const std::uint8_t* row) {
    if (failed_) {
        return false;
    }
    Batch& batch = *filling_;
    const auto rowBytes = static_cast<std::size_t>(plan_.rowBytes);
    std::memcpy(batch.buffer.get() + rowBytes * static_cast<std::size_t>(batch.rows + 1), row,
                rowBytes);
    ++batch.rows;
    ++nextRow_;
    if (batch.rows == batchStrips_ * plan_.rowsPerStrip || nextRow_ == plan_.height) {
        failed_ = !Launch();
    }
    return !failed_;
}

bool ParallelStrips::Finish() {
    if (!failed_ && filling_->rows > 0) {
        failed_ = !Launch();
    }
    if (!failed_) {
        failed_ = !Collect();
    }
    return !failed_ && nextRow_ == plan_.height;
}

// Emits the batch being encoded, then sets the filled one encoding.
bool ParallelStrips::Launch() {
    if (!Collect()) {
        return false;
    }
    std::swap(filling_, encoding_);
    Batch& batch = *encoding_;
    const std::int32_t strips = (batch.rows + plan_.rowsPerStrip - 1) / plan_.rowsPerStrip;
    batch.next = 0;
    const auto work = [this, &batch, strips] {
        const auto rowBytes = static_cast<std::size_t>(plan_.rowBytes);
        bool ok = true;
        for (std::int32_t s = batch.next++; ok && s < strips; s = batch.next++) {
            const std::int32_t first = s * plan_.rowsPerStrip;
            const std::int32_t rows = std::min(plan_.rowsPerStrip, batch.rows - first);
            const std::uint8_t* above = batch.buffer.get() + rowBytes * std::size_t(first);
            ok = encode_(batch.firstStrip + s, {above + rowBytes, rowBytes * std::size_t(rows)},
                         above, batch.encoded[std::size_t(s)]);
        }
        return ok;
    };
    const std::int32_t tasks = std::min(Cores(), strips);
    for (std::int32_t t = 0; t < tasks; ++t) {
        try {
            batch.tasks.push_back(std::async(std::launch::async, work));
        } catch (const std::system_error&) {
            batch.tasks.push_back(std::async(std::launch::deferred, work)); // no thread: inline
        }
    }
    // The next batch starts where this one ends, its row above being this
    // one's last row.
    Batch& next = *filling_;
    const auto rowBytes = static_cast<std::size_t>(plan_.rowBytes);
    next.firstStrip = batch.firstStrip + strips;
    std::memcpy(next.buffer.get(), batch.buffer.get() + rowBytes * std::size_t(batch.rows),
                rowBytes);
    next.rows = 0;
    return true;
}

// Waits for the batch being encoded and emits its strips in order.
bool ParallelStrips::Collect() {
    Batch& batch = *encoding_;
    bool ok = true;
    for (auto& task : batch.tasks) {
        ok = task.get() && ok;
    }
    batch.tasks.clear();
    const std::int32_t strips = (batch.rows + plan_.rowsPerStrip - 1) / plan_.rowsPerStrip;
    for (std::int32_t s = 0; ok && s < strips; ++s) {
        ok = emit_(batch.firstStrip + s, batch.encoded[std::size_t(s)]);
    }
    batch.rows = 0;
    return ok;
}
