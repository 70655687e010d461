// Splits per-row work over two threads when there is enough of it; the call
// returns only when all parts are done.
#pragma once

#include <cstdint>
#include <functional>

// Below this many pixels a second thread costs more than it saves.
inline constexpr std::int64_t kParallelMinPixels = std::int64_t{1} << 18;

// Calls part(begin, end) on disjoint row ranges covering [0, rows); each part
// returns false to report a failure. True when every part succeeded. Rows
// without pixels need no work: part is not called for them. Parts may run at
// the same time, so they must touch disjoint memory.
bool ForRowRanges(std::int32_t rows, std::int64_t pixelsPerRow,
                  const std::function<bool(std::int32_t begin, std::int32_t end)>& part);
