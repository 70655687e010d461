// A stream output kept in memory, for the tests and the fuzzer. It records
// where every piece went, so that a conversion writing outside its output,
// writing a byte twice or leaving one unwritten is caught; and it can fail
// its n-th write, as a full disk would.
#pragma once

#include "cli/StreamOutput.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <mutex>
#include <utility>
#include <vector>

namespace clitest {

inline constexpr std::int64_t kNeverFails = std::numeric_limits<std::int64_t>::max();

// Pieces are copied outside the lock, so the workers still write at once.
class RecordingSink final : public ChunkSink {
public:
    RecordingSink(std::int64_t size, std::int64_t failAt)
        : bytes_(static_cast<std::size_t>(size)), failAt_(failAt) {}

    bool WriteAt(std::int64_t position, std::span<const std::uint8_t> bytes) override {
        const auto size = static_cast<std::int64_t>(bytes_.size());
        const auto count = static_cast<std::int64_t>(bytes.size());
        {
            const std::lock_guard lock(mutex_);
            if (++writes_ >= failAt_) {
                return false;
            }
            if (position < 0 || position > size || count > size - position) {
                stray_ = true;
                return false;
            }
            pieces_.emplace_back(position, count);
        }
        std::memcpy(bytes_.data() + position, bytes.data(), bytes.size());
        return true;
    }

    // Every piece inside the output, none overlapping, and all of it covered.
    bool Tiled() {
        std::sort(pieces_.begin(), pieces_.end());
        std::int64_t end = 0;
        for (const auto& [position, count] : pieces_) {
            if (position != end) {
                return false;
            }
            end += count;
        }
        return !stray_ && end == static_cast<std::int64_t>(bytes_.size());
    }

    std::int64_t Writes() const { return writes_; }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
    std::int64_t failAt_;
    std::mutex mutex_;
    std::int64_t writes_ = 0;
    bool stray_ = false;
    std::vector<std::pair<std::int64_t, std::int64_t>> pieces_;
};

class MemoryOutput final : public StreamOutput {
public:
    // The `failAt`-th write (counting from 1) and every later one fail.
    explicit MemoryOutput(std::int64_t failAt = kNeverFails) : failAt_(failAt) {}

    WriteResult Write(std::int64_t size, const ChunkContents& contents) override {
        ++asked_;
        RecordingSink sink(size, failAt_);
        const bool written = contents(sink);
        writes_ = sink.Writes();
        tiled_ = sink.Tiled();
        if (!written) {
            return WriteResult::WriteFailed;
        }
        bytes_ = sink.Take();
        return WriteResult::Ok;
    }

    // How often an output was asked for.
    int Asked() const { return asked_; }
    // The writes made into the last output, failed ones included.
    std::int64_t Writes() const { return writes_; }
    // Whether the last output was written whole, each byte once.
    bool Tiled() const { return tiled_; }
    // The last output, when it was written; empty otherwise.
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::int64_t failAt_;
    int asked_ = 0;
    std::int64_t writes_ = 0;
    bool tiled_ = false;
    std::vector<std::uint8_t> bytes_;
};

} // namespace clitest
