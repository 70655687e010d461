// "MemAvailable:   <n> kB" in /proc/meminfo.
#include "image/rows/MemoryAvailable.h"

#include <fstream>
#include <limits>
#include <string>

namespace {

constexpr const char* kMemInfo = "/proc/meminfo";
constexpr const char* kAvailableKey = "MemAvailable:";
constexpr std::int64_t kKibibyte = 1024;
constexpr std::uint64_t kPreviewBytesPerPixel = 4; // 0xFFRRGGBB

} // namespace

std::int64_t AvailableMemoryBytes() {
    std::ifstream info(kMemInfo);
    std::string key;
    std::int64_t kib = 0;
    while (info >> key) {
        if (key == kAvailableKey && info >> kib) {
            return kib > std::numeric_limits<std::int64_t>::max() / kKibibyte ? -1
                                                                              : kib * kKibibyte;
        }
        info.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    return -1;
}

Reason CheckMemoryFor(std::int64_t bytes) {
    const std::int64_t available = AvailableMemoryBytes();
    if (available >= 0 && bytes > available) {
        return {ReasonCode::TooLarge, bytes};
    }
    return {};
}

std::int64_t WindowImageBytes(std::int32_t width, std::int32_t height,
                              std::int32_t keptBytesPerPixel) {
    // Both below 2^31: the product of the three stays below 2^65 only in
    // unsigned terms, so it is divided first.
    const std::uint64_t pixels = std::uint64_t(width) * std::uint64_t(height);
    const std::uint64_t perPixel = std::uint64_t(keptBytesPerPixel) + kPreviewBytesPerPixel;
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (pixels > kMax / perPixel) {
        return std::numeric_limits<std::int64_t>::max();
    }
    return static_cast<std::int64_t>(pixels * perPixel);
}
