// The producer copies its rows into a few run buffers in turn; worker threads
// take the full ones in the order they were filled and hand them to the
// sink. Either side stopping tells the other.
#include "image/formats/RunRelay.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace {

struct RelayedRun {
    std::int32_t first = 0;
    std::int32_t count = 0;
    std::unique_ptr<std::uint8_t[]> rows;
};

class Relay {
public:
    Relay(std::int64_t rowBytes, std::int32_t rowsPerRun, std::int32_t height)
        : rowBytes_(rowBytes), rowsPerRun_(rowsPerRun), height_(height) {}

    // Takes `count` buffers; false when the memory cannot be had.
    bool Allocate(std::size_t count) {
        runs_.resize(count);
        for (RelayedRun& run : runs_) {
            run.rows.reset(new (std::nothrow) std::uint8_t[std::size_t(rowBytes_ * rowsPerRun_)]);
            if (!run.rows) {
                return false;
            }
            free_.push_back(&run);
        }
        return true;
    }

    // Producer side: the next rows, in order. False once the sink has failed.
    bool Add(std::int32_t first, std::int32_t count, const std::uint8_t* rows) {
        while (count > 0) {
            if (filling_ == nullptr && !StartRun(first)) {
                return false;
            }
            RelayedRun& run = *filling_;
            const std::int32_t n = std::min(count, rowsPerRun_ - run.count);
            std::memcpy(run.rows.get() + run.count * rowBytes_, rows, std::size_t(n * rowBytes_));
            run.count += n;
            first += n;
            rows += n * rowBytes_;
            count -= n;
            if (run.count == rowsPerRun_ || run.first + run.count == height_) {
                HandOn();
            }
        }
        return true;
    }

    // Producer side: no more rows; `complete` when all came, so that the
    // workers hand on what is left, else they stop.
    void Finish(bool complete) {
        const std::lock_guard lock(mutex_);
        if (complete && filling_ != nullptr && filling_->count > 0) {
            ready_.push_back(filling_);
        }
        filling_ = nullptr;
        finished_ = true;
        stopped_ = stopped_ || !complete;
        changed_.notify_all();
    }

    // Worker side: runs to the sink until there are no more.
    void Work(const RowRunSink& sink) {
        std::unique_lock lock(mutex_);
        while (true) {
            changed_.wait(lock, [&] { return stopped_ || finished_ || !ready_.empty(); });
            if (stopped_ || ready_.empty()) {
                return;
            }
            RelayedRun* run = ready_.front();
            ready_.pop_front();
            lock.unlock();
            const bool ok = sink(run->first, run->count, run->rows.get());
            lock.lock();
            free_.push_back(run);
            sinkFailed_ = sinkFailed_ || !ok;
            stopped_ = stopped_ || !ok;
            changed_.notify_all();
        }
    }

    bool SinkFailed() {
        const std::lock_guard lock(mutex_);
        return sinkFailed_;
    }

private:
    // Waits for a free buffer; false once the sink has failed.
    bool StartRun(std::int32_t first) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopped_ || !free_.empty(); });
        if (stopped_) {
            return false;
        }
        filling_ = free_.front();
        free_.pop_front();
        filling_->first = first;
        filling_->count = 0;
        return true;
    }

    void HandOn() {
        const std::lock_guard lock(mutex_);
        ready_.push_back(filling_);
        filling_ = nullptr;
        changed_.notify_all();
    }

    std::int64_t rowBytes_;
    std::int32_t rowsPerRun_;
    std::int32_t height_;
    std::vector<RelayedRun> runs_;
    RelayedRun* filling_ = nullptr; // only the producer touches it between hand-ons
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<RelayedRun*> free_;
    std::deque<RelayedRun*> ready_;
    bool finished_ = false;
    bool stopped_ = false;
    bool sinkFailed_ = false;
};

// One buffer being filled while each worker's sink has one.
constexpr std::size_t kFillingRuns = 1;

} // namespace

Reason RelayRuns(const RowShape& shape, const RowProducer& produce, const RowRunSink& sink,
                 std::int32_t rowsPerRun, std::int64_t minPixels) {
    const RunRequest inOrder{};
    const std::int64_t runs = rowsPerRun > 0 ? (shape.Height + rowsPerRun - 1) / rowsPerRun : 0;
    const std::int64_t cores = std::max(1U, std::thread::hardware_concurrency());
    const auto workers = static_cast<std::size_t>(std::min(cores, runs));
    Relay relay(shape.RowBytes(), rowsPerRun, shape.Height);
    if (std::int64_t{shape.Width} * shape.Height < minPixels || workers < 2 ||
        !relay.Allocate(workers + kFillingRuns)) {
        return produce(sink, inOrder);
    }
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < workers; ++t) {
        try {
            threads.emplace_back([&] { relay.Work(sink); });
        } catch (const std::system_error&) {
            break; // the workers already running share the runs
        }
    }
    if (threads.empty()) {
        return produce(sink, inOrder);
    }
    const Reason failed =
        produce([&](std::int32_t first, std::int32_t count,
                    const std::uint8_t* rows) { return relay.Add(first, count, rows); },
                inOrder);
    relay.Finish(!failed);
    for (std::thread& thread : threads) {
        thread.join();
    }
    if (failed && failed.Code != ReasonCode::WriteFailed) {
        return failed;
    }
    return failed || relay.SinkFailed() ? Reason(ReasonCode::WriteFailed) : Reason();
}
