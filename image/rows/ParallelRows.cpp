// Runs claimed from one atomic counter by std::threads joined before returning.
#include "image/rows/ParallelRows.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

bool ForRowChunks(std::int32_t rows, std::int32_t rowsPerChunk, int workers,
                  const std::function<bool(int, std::int32_t, std::int32_t)>& part) {
    if (rows <= 0) {
        return true;
    }
    const std::int64_t perChunk = std::max(rowsPerChunk, 1);
    const std::int64_t chunks = (rows + perChunk - 1) / perChunk;
    const std::int64_t cores = std::max(1u, std::thread::hardware_concurrency());
    const int threads = static_cast<int>(
        std::clamp<std::int64_t>(std::min<std::int64_t>(workers, cores), 1, chunks));
    std::atomic<std::int64_t> next{0}; // wide enough to pass the count once per worker
    std::atomic<bool> failed{false};
    const auto work = [&](int worker) {
        while (!failed) {
            const std::int64_t chunk = next++;
            if (chunk >= chunks) {
                return;
            }
            const auto begin = static_cast<std::int32_t>(chunk * perChunk);
            const auto end =
                static_cast<std::int32_t>(std::min<std::int64_t>(rows, begin + perChunk));
            if (!part(worker, begin, end)) {
                failed = true;
            }
        }
    };
    std::vector<std::thread> started;
    for (int worker = 1; worker < threads; ++worker) {
        try {
            started.emplace_back(work, worker);
        } catch (const std::system_error&) {
            break; // the workers already running share the rest
        }
    }
    work(0);
    for (std::thread& thread : started) {
        thread.join();
    }
    return !failed;
}

bool ForRowRanges(std::int32_t rows, std::int64_t pixelsPerRow,
                  const std::function<bool(std::int32_t, std::int32_t)>& part) {
    if (pixelsPerRow <= 0) {
        return true; // a zero-width image may still claim 2^31 - 1 rows
    }
    const bool split = std::int64_t{rows} * pixelsPerRow >= kParallelMinPixels;
    const int workers = split ? kMaxRowThreads : 1;
    const std::int32_t half = rows / kMaxRowThreads + rows % kMaxRowThreads;
    return ForRowChunks(
        rows, split ? half : rows, workers,
        [&](int, std::int32_t begin, std::int32_t end) { return part(begin, end); });
}
