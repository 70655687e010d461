// A byte source over memory that gives out part-way through a load, as a file
// cut short or failing under the reader does; for tests and the BMP fuzzer.
#pragma once

#include "image/rows/ByteSource.h"

#include <atomic>
#include <cstdint>
#include <span>

namespace bmptest {

// Reads like the bytes it wraps up to its `failAt`-th read (counting from 1);
// that read and every later one fail, with an error or with one byte fewer
// than asked. Safe to read from two threads at once, as the reader does.
class GivingOutSource final : public ByteSource {
public:
    GivingOutSource(std::span<const std::uint8_t> bytes, std::int64_t failAt, bool shortRead)
        : inner_(bytes), failAt_(failAt), shortRead_(shortRead) {}
    std::int64_t Length() const override { return inner_.Length(); }
    std::int64_t ReadAt(std::int64_t position, void* buffer, std::size_t size) const override {
        if (++calls_ < failAt_) {
            return inner_.ReadAt(position, buffer, size);
        }
        if (!shortRead_ || size == 0) {
            return -1;
        }
        return inner_.ReadAt(position, buffer, size - 1);
    }
    // The reads asked of it so far.
    std::int64_t Calls() const { return calls_.load(); }

private:
    MemorySource inner_;
    std::int64_t failAt_;
    bool shortRead_;
    mutable std::atomic<std::int64_t> calls_{0};
};

} // namespace bmptest
