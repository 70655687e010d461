// An output of one block of memory, reused from one iteration to the next,
// so that a benchmark of a writer times the writing and not the file system.
#pragma once

#include "io/AtomicWrite.h"

#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace benchsupport {

class BlockOutput final : private PositionedWriter {
public:
    explicit BlockOutput(std::size_t size) : bytes_(size) {}
    WriteOutcome operator()(const PositionedContents& contents) {
        return contents(*this) ? WriteOutcome{} : WriteOutcome{WriteResult::WriteFailed, {}};
    }

private:
    bool WriteAt(std::int64_t position, std::span<const std::uint8_t> bytes) override {
        std::memcpy(bytes_.data() + position, bytes.data(), bytes.size());
        return true;
    }

    std::vector<std::uint8_t> bytes_;
};

} // namespace benchsupport
