// Positioned writes into a growing buffer under a lock.
#include "io/MemoryWrite.h"

#include <cstring>

namespace {

class BufferWriter final : public PositionedWriter {
public:
    bool WriteAt(std::int64_t position, std::span<const std::uint8_t> bytes) override {
        if (position < 0) {
            return false;
        }
        const std::lock_guard lock(mutex_);
        const auto end = static_cast<std::size_t>(position) + bytes.size();
        if (end > bytes_.size()) {
            bytes_.resize(end);
        }
        if (!bytes.empty()) {
            std::memcpy(bytes_.data() + position, bytes.data(), bytes.size());
        }
        return true;
    }

    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::mutex mutex_;
    std::vector<std::uint8_t> bytes_;
};

} // namespace

WriteOutcome MemoryFile::Replace(const PositionedContents& contents) {
    BufferWriter writer;
    if (!contents(writer)) {
        return {WriteResult::WriteFailed, Reason(ReasonCode::WriteFailed)};
    }
    bytes_ = writer.Take();
    return {};
}
