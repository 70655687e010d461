// Two-way split of row ranges over std::thread.
#include "image/ParallelRows.h"

#include <system_error>
#include <thread>

namespace {

constexpr std::int32_t kMaxThreads = 2;

} // namespace

bool ForRowRanges(std::int32_t rows, std::int64_t pixelsPerRow,
                  const std::function<bool(std::int32_t, std::int32_t)>& part) {
    if (pixelsPerRow <= 0) {
        return true; // a zero-width image may still claim 2^31 - 1 rows
    }
    const bool worthSplitting = rows >= kMaxThreads &&
                                std::int64_t{rows} * pixelsPerRow >= kParallelMinPixels &&
                                std::thread::hardware_concurrency() >= kMaxThreads;
    if (!worthSplitting) {
        return part(0, rows);
    }
    const std::int32_t middle = rows / 2;
    bool secondOk = false;
    std::thread second;
    try {
        second = std::thread([&] { secondOk = part(middle, rows); });
    } catch (const std::system_error&) {
        return part(0, rows); // no thread to be had: do it all here
    }
    const bool firstOk = part(0, middle);
    second.join();
    return firstOk && secondOk;
}
