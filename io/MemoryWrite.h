// The in-memory twin of the safe replacement, for tests and fuzzers: the
// contents are written at their positions into a buffer that is kept only
// when they succeed.
#pragma once

#include "io/AtomicWrite.h"

#include <cstdint>
#include <mutex>
#include <vector>

class MemoryFile {
public:
    // Replaces Bytes() with what `contents` writes; on failure (false from the
    // contents) the old bytes stay. Gaps left between pieces read as zero.
    WriteOutcome Replace(const PositionedContents& contents);

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};
