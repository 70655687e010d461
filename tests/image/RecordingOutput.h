// An output replaced as a whole, kept in memory, for the tests and the
// fuzzer. It records where every piece went, so that an apply writing a byte
// twice or leaving a gap is caught; and it can fail its n-th write, as a
// full disk would.
#pragma once

#include "io/AtomicWrite.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <mutex>
#include <utility>
#include <vector>

namespace bmptest {

inline constexpr std::int64_t kNeverFails = std::numeric_limits<std::int64_t>::max();

// Pieces are copied under the lock; the tests are small.
class RecordingWriter final : public PositionedWriter {
public:
    explicit RecordingWriter(std::int64_t failAt) : failAt_(failAt) {}

    bool WriteAt(std::int64_t position, std::span<const std::uint8_t> bytes) override {
        const std::lock_guard lock(mutex_);
        if (++writes_ >= failAt_ || position < 0) {
            return false;
        }
        const auto end = static_cast<std::size_t>(position) + bytes.size();
        bytes_.resize(std::max(bytes_.size(), end));
        std::copy(bytes.begin(), bytes.end(), bytes_.begin() + position);
        pieces_.emplace_back(position, static_cast<std::int64_t>(bytes.size()));
        return true;
    }

    // Pieces from 0 on, each starting where the one before ended.
    bool Tiled() {
        std::sort(pieces_.begin(), pieces_.end());
        std::int64_t end = 0;
        for (const auto& [position, count] : pieces_) {
            if (position != end) {
                return false;
            }
            end += count;
        }
        return end == static_cast<std::int64_t>(bytes_.size());
    }

    std::int64_t Writes() const { return writes_; }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::int64_t failAt_;
    std::mutex mutex_;
    std::int64_t writes_ = 0;
    std::vector<std::uint8_t> bytes_;
    std::vector<std::pair<std::int64_t, std::int64_t>> pieces_;
};

// Use as a Replacement through std::ref.
class RecordingOutput {
public:
    // The `failAt`-th write (counting from 1) and every later one fail.
    explicit RecordingOutput(std::int64_t failAt = kNeverFails) : failAt_(failAt) {}

    WriteOutcome operator()(const PositionedContents& contents) {
        ++asked_;
        RecordingWriter writer(failAt_);
        const bool written = contents(writer);
        writes_ = writer.Writes();
        tiled_ = writer.Tiled();
        if (!written) {
            return {WriteResult::WriteFailed, Reason(ReasonCode::DiskFull)};
        }
        bytes_ = writer.Take();
        return {};
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

} // namespace bmptest
