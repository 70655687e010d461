// Runs of a fixed number of rows handed to a heavy sink on every core, from
// a producer that makes its rows in order on one thread.
#pragma once

#include "image/formats/RowWriter.h"
#include "image/rows/ParallelRows.h"

// Meets a request for runs of `rowsPerRun` rows: the producer (asked for its
// rows in order) fills a few buffers of that many rows in turn on the calling
// thread, and each full one goes to the sink on a thread of its own, so that
// the sink's work runs on every core beside the producer's. An image of
// fewer than `minPixels`, or a processor of one core, goes straight through
// on the calling thread. The producer's reason, else WriteFailed when the
// sink failed, else None.
Reason RelayRuns(const RowShape& shape, const RowProducer& produce, const RowRunSink& sink,
                 std::int32_t rowsPerRun, std::int64_t minPixels = kParallelMinPixels);
