// Reads from a block of memory with the same short-read rules as a file, or
// from the file itself.
#include "image/rows/ByteSource.h"

#include "io/File.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

std::int64_t MemorySource::Length() const {
    return static_cast<std::int64_t>(bytes_.size());
}

std::int64_t MemorySource::ReadAt(std::int64_t position, void* buffer, std::size_t size) const {
    if (position < 0) {
        return -1;
    }
    const auto start = static_cast<std::uint64_t>(position);
    if (start >= bytes_.size()) {
        return 0;
    }
    const std::size_t count = std::min<std::uint64_t>(size, bytes_.size() - start);
    if (count > 0) {
        std::memcpy(buffer, bytes_.data() + start, count);
    }
    return static_cast<std::int64_t>(count);
}

std::int64_t FileSource::Length() const {
    return file_.Length();
}

std::int64_t FileSource::ReadAt(std::int64_t position, void* buffer, std::size_t size) const {
    return file_.ReadAt(position, buffer, size);
}

Reason ReadAll(const ByteSource& source, std::int64_t position, void* buffer, std::int64_t size) {
    errno = 0;
    const std::int64_t count = source.ReadAt(position, buffer, static_cast<std::size_t>(size));
    if (count < 0) {
        return {ReasonCode::ReadFailed, errno};
    }
    return count < size ? Reason(ReasonCode::Truncated) : Reason();
}
