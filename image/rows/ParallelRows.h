// The one way rows are shared out over threads: runs of rows claimed in order
// by whichever thread is free; the call returns only when all are done.
#pragma once

#include <cstdint>
#include <functional>

// Below this many pixels a second thread costs more than it saves.
inline constexpr std::int64_t kParallelMinPixels = std::int64_t{1} << 18;
inline constexpr int kMaxRowThreads = 2;

// Calls part(worker, begin, end) on the runs [0, n), [n, 2n), ... covering
// [0, rows) for n = rowsPerChunk, on up to `workers` threads (this one is
// worker 0; fewer when the processor has fewer cores, there are fewer runs,
// or a thread cannot be started). A part returning false stops the runs not
// yet begun. True when every part succeeded. Parts may run at the same time,
// so they must touch disjoint memory (or per-worker buffers).
bool ForRowChunks(
    std::int32_t rows, std::int32_t rowsPerChunk, int workers,
    const std::function<bool(int worker, std::int32_t begin, std::int32_t end)>& part);

// Two halves on two threads when the image has kParallelMinPixels or more,
// all rows in one part otherwise. Rows without pixels need no work: part is
// not called for them.
bool ForRowRanges(std::int32_t rows, std::int64_t pixelsPerRow,
                  const std::function<bool(std::int32_t begin, std::int32_t end)>& part);
