// Random-access bytes for the readers: a file or a block of memory, read at
// absolute positions so that two threads may read one source at once.
#pragma once

#include "io/Reason.h"

#include <cstddef>
#include <cstdint>
#include <span>

class File;

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Total length in bytes; -1 when it cannot be had.
    virtual std::int64_t Length() const = 0;
    // Up to `size` bytes at `position`; the count read (short only at the end),
    // or -1 on an error. Must be safe to call from several threads at once.
    virtual std::int64_t ReadAt(std::int64_t position, void* buffer, std::size_t size) const = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::int64_t Length() const override;
    std::int64_t ReadAt(std::int64_t position, void* buffer, std::size_t size) const override;

private:
    std::span<const std::uint8_t> bytes_;
};

// An open file, read at absolute positions; the file stays open meanwhile.
class FileSource final : public ByteSource {
public:
    explicit FileSource(const File& file) : file_(file) {}
    std::int64_t Length() const override;
    std::int64_t ReadAt(std::int64_t position, void* buffer, std::size_t size) const override;

private:
    const File& file_;
};

// Reads exactly `size` bytes at `position`: ReadFailed (Value = errno) on an
// error, Truncated when the source ends first, None when all were read.
Reason ReadAll(const ByteSource& source, std::int64_t position, void* buffer, std::int64_t size);
