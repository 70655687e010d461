// The one road from stored rows to output rows: runs of rows fetched from a
// source and put through a kernel, shared out over threads, each thread with
// its own buffers.
#pragma once

#include "image/Outcome.h"
#include "image/kernels/RowKernels.h"
#include "image/rows/ParallelRows.h"
#include "image/rows/StoredRows.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// About this many bytes of rows are read, converted and written at a time:
// small enough to stay in the cache between the three steps.
inline constexpr std::int64_t kRunBytes = std::int64_t{1} << 20;

struct PipelineOptions {
    std::int64_t RunBytes = kRunBytes;
    // Rows per run when not 0, in place of RunBytes' share: a writer's bands.
    std::int32_t RowsPerRun = 0;
    int Workers = kMaxRowThreads;
    // Smaller images stay on one thread (tests lower it to split small ones).
    std::int64_t MinPixelsToSplit = kParallelMinPixels;
    bool Wide = true; // false keeps 24-bit rows on the portable kernel
    // Where each run is read to, given its first row, in place of the
    // workers' own scratch: the caller's memory of ScratchBytes(count) bytes
    // for the run (a reader that can read the rows where they are to stay).
    std::function<std::uint8_t*(std::int32_t first)> ReadInto;
};

class RowRuns {
public:
    // Plans the runs and takes each worker's buffers: scratch for the
    // source's reads and `outRowBytes` of output per row (0 when the output
    // is written in place). Rows already in memory are split in halves.
    // NoMemory when the buffers cannot be had. The source must have rows.
    static Outcome<RowRuns> Plan(const RowSource& source, std::int64_t outRowBytes,
                                 const PipelineOptions& options);

    // step(first, count, rows, out): stored rows first .. first + count - 1
    // at `rows` (Stride apart), and the worker's output buffer.
    using Step = std::function<bool(std::int32_t first, std::int32_t count,
                                    const std::uint8_t* rows, std::uint8_t* out)>;

    // Fetches every run and hands it to `step`; the first failure stops the
    // rest. The reason of a failed read, ReasonCode::WriteFailed when a step
    // failed, None when all went through.
    Reason Run(const Step& step) const;

private:
    struct Buffers {
        std::unique_ptr<std::uint8_t[]> scratch;
        std::unique_ptr<std::uint8_t[]> out;
    };
    RowRuns(const RowSource& source, std::int32_t rowsPerRun, std::vector<Buffers> buffers,
            std::function<std::uint8_t*(std::int32_t)> readInto)
        : source_(&source), rowsPerRun_(rowsPerRun), buffers_(std::move(buffers)),
          readInto_(std::move(readInto)) {}

    const RowSource* source_;
    std::int32_t rowsPerRun_;
    std::vector<Buffers> buffers_;
    std::function<std::uint8_t*(std::int32_t)> readInto_;
};
