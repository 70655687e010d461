// Checked malloc for image-sized blocks, their pages asked for in one go.
#include "image/PixelMemory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <limits>

namespace {

// Below this a block's first touches cost too little to matter.
constexpr std::uint64_t kPopulateMinBytes = std::uint64_t{16} << 20;

// Has the kernel provide the block's whole pages now, in one call, rather
// than one page fault at a time as the kernels first write them: half the
// cost per page, more in a virtual machine. Only advice: a kernel that does
// not know it leaves the faults to happen as before.
void Populate(std::uint8_t* block, std::uint64_t bytes) {
#ifdef MADV_POPULATE_WRITE
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t first = (start + page - 1) / page * page;
    const std::uintptr_t end = (start + bytes) / page * page;
    if (end > first) {
        ::madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
    }
#else
    (void)block;
    (void)bytes;
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
