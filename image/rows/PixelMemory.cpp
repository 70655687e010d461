// Checked malloc for image-sized blocks, their pages asked for in one go.
#include "image/rows/PixelMemory.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <limits>

namespace {

// Below this a block's first touches cost too little to matter.
constexpr std::uint64_t kPopulateMinBytes = std::uint64_t{16} << 20;
constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
// glibc's largest threshold for blocks mapped on their own.
constexpr int kMappedBlockBytes = 32 << 20;
constexpr int kKeptTopBytes = 128 << 20;

// Asks for 2 MiB pages over the block's whole 2 MiB spans, then has the
// kernel provide every page now, in one call, rather than one fault per
// 4 KiB as the kernels first write them: a 192 MB block costs one fault per
// 2 MiB instead of 49,152 (in this virtual machine about 10 us each, so
// 0.5 s against 20 ms). Only advice: a kernel without either leaves the
// faults to happen as before.
void Populate(std::uint8_t* block, std::uint64_t bytes) {
    const auto start = reinterpret_cast<std::uintptr_t>(block);
#ifdef MADV_HUGEPAGE
    const std::uintptr_t spanStart = (start + kHugePage - 1) / kHugePage * kHugePage;
    const std::uintptr_t spanEnd = (start + bytes) / kHugePage * kHugePage;
    if (spanEnd > spanStart) {
        ::madvise(reinterpret_cast<void*>(spanStart), spanEnd - spanStart, MADV_HUGEPAGE);
    }
#endif
#ifdef MADV_POPULATE_WRITE
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const std::uintptr_t first = (start + page - 1) / page * page;
    const std::uintptr_t end = (start + bytes) / page * page;
    if (end > first) {
        ::madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
    }
#endif
}

} // namespace

std::optional<MallocPtr<std::uint8_t>> AllocatePixelBlock(std::uint64_t count,
                                                          std::uint64_t elementBytes) {
    constexpr auto kMaxBlock =
        static_cast<std::uint64_t>(std::numeric_limits<std::ptrdiff_t>::max());
    if (elementBytes != 0 && count > kMaxBlock / elementBytes) {
        return std::nullopt;
    }
    const std::uint64_t bytes = count * elementBytes;
    MallocPtr<std::uint8_t> block(static_cast<std::uint8_t*>(std::malloc(bytes)));
    if (!block && bytes != 0) {
        return std::nullopt;
    }
    if (bytes >= kPopulateMinBytes) {
        Populate(block.get(), bytes);
    }
    return block;
}

void KeepFreedMemory() {
    mallopt(M_MMAP_THRESHOLD, kMappedBlockBytes);
    mallopt(M_TRIM_THRESHOLD, kKeptTopBytes);
}
