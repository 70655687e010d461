// Where a streamed conversion writes: an output asked for only once the input
// has been checked, then filled piece by piece at chosen positions, by
// several threads at once. The tool's output is a file replaced safely; the
// fuzzer and the tests keep theirs in memory.
#pragma once

#include "io/AtomicWrite.h"

#include <cstdint>
#include <functional>
#include <span>

class ChunkSink {
public:
    // Writes all of `bytes` at `position`; threads may call it at the same
    // time for disjoint ranges. False fails the whole output.
    virtual bool WriteAt(std::int64_t position, std::span<const std::uint8_t> bytes) = 0;

protected:
    ~ChunkSink() = default;
};

// Writes every byte of the output through the sink; false fails it.
using ChunkContents = std::function<bool(ChunkSink&)>;

class StreamOutput {
public:
    virtual ~StreamOutput() = default;

    // Makes an output of `size` bytes, all of which `contents` writes. Ok;
    // CannotOpen when the output cannot be had at all; WriteFailed when
    // `contents` fails or the output cannot be completed, and then nothing
    // of it is kept (an old file stays as it was).
    virtual WriteResult Write(std::int64_t size, const ChunkContents& contents) = 0;
};
