// A producer thread fills a few run buffers in turn; the calling thread
// empties them in the same order. Either side stopping early tells the other.
#include "image/formats/RowWriter.h"

#include <array>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// Enough for the producer to fill one run while the encoder takes another.
constexpr std::size_t kSlots = 3;

struct Run {
    std::int32_t first = 0;
    std::int32_t count = 0;
    std::vector<std::uint8_t> rows;
};

class RunQueue {
public:
    // Producer side: waits for a free slot and copies the run in; false once
    // the consumer has stopped.
    bool Push(std::int32_t first, std::int32_t count, const std::uint8_t* rows,
              std::int64_t bytes) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopped_ || filled_ < kSlots; });
        if (stopped_) {
            return false;
        }
        Run& run = slots_[(next_ + filled_) % kSlots];
        lock.unlock();
        // Only this thread writes a free slot; the consumer waits for `filled_`.
        run.first = first;
        run.count = count;
        run.rows.assign(rows, rows + bytes);
        lock.lock();
        ++filled_;
        changed_.notify_all();
        return true;
    }

    // Producer side: no more runs, for the given reason.
    void Finish(Reason why) {
        const std::lock_guard lock(mutex_);
        finished_ = true;
        why_ = std::move(why);
        changed_.notify_all();
    }

    // Consumer side: the oldest filled run, or null when the producer has
    // finished and all runs are taken.
    const Run* Front() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return finished_ || filled_ > 0; });
        return filled_ > 0 ? &slots_[next_] : nullptr;
    }

    void Pop() {
        const std::lock_guard lock(mutex_);
        next_ = (next_ + 1) % kSlots;
        --filled_;
        changed_.notify_all();
    }

    // Consumer side: no more runs wanted.
    void Stop() {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
        changed_.notify_all();
    }

    Reason Why() {
        const std::lock_guard lock(mutex_);
        return why_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::array<Run, kSlots> slots_;
    std::size_t next_ = 0;
    std::size_t filled_ = 0;
    bool finished_ = false;
    bool stopped_ = false;
    Reason why_;
};

using WriteRow = std::function<bool(std::int32_t, const std::uint8_t*)>;

bool WriteRun(std::int32_t first, std::int32_t count, const std::uint8_t* rows,
              std::int64_t rowBytes, const WriteRow& writeRow) {
    for (std::int32_t k = 0; k < count; ++k) {
        if (!writeRow(first + k, rows + k * rowBytes)) {
            return false;
        }
    }
    return true;
}

// The producer's reason, unless only the row writer failed.
Reason ProducerReason(Reason failed) {
    return failed.Code == ReasonCode::WriteFailed ? Reason() : failed;
}

} // namespace

Reason ProduceRowByRow(const RowShape& shape, const RowProducer& produce,
                       const WriteRow& writeRow) {
    const std::int64_t rowBytes = shape.RowBytes();
    RunQueue queue;
    const auto producer = [&] {
        queue.Finish(produce(
            [&](std::int32_t first, std::int32_t count, const std::uint8_t* rows) {
                return queue.Push(first, count, rows, count * rowBytes);
            },
            RunRequest{}));
    };
    std::thread thread;
    try {
        thread = std::thread(producer);
    } catch (const std::system_error&) {
        return ProducerReason(produce(
            [&](std::int32_t first, std::int32_t count, const std::uint8_t* rows) {
                return WriteRun(first, count, rows, rowBytes, writeRow);
            },
            RunRequest{}));
    }
    bool written = true;
    while (const Run* run = queue.Front()) {
        written = WriteRun(run->first, run->count, run->rows.data(), rowBytes, writeRow);
        queue.Pop();
        if (!written) {
            queue.Stop();
            break;
        }
    }
    thread.join();
    return written ? ProducerReason(queue.Why()) : Reason();
}

Reason WriteThrough(const Replacement& output, const WriterContents& contents) {
    Reason own;
    const WriteOutcome written = output([&](PositionedWriter& writer) {
        Reason failed = contents(writer);
        if (failed && failed.Code != ReasonCode::WriteFailed) {
            own = std::move(failed);
            return false;
        }
        return !failed;
    });
    if (own) {
        return own;
    }
    return written.Result == WriteResult::Ok ? Reason() : written.Why;
}

Reason WriteInOrder(const Replacement& output, const SequentialContents& contents) {
    return WriteThrough(output, [&](PositionedWriter& writer) {
        std::int64_t position = 0;
        return contents([&](std::span<const std::uint8_t> bytes) {
            if (!writer.WriteAt(position, bytes)) {
                return false;
            }
            position += static_cast<std::int64_t>(bytes.size());
            return true;
        });
    });
}
