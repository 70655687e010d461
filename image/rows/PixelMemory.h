// malloc'd blocks for whole images, owned until handed over with release().
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>

struct FreeDeleter {
    void operator()(void* block) const noexcept { std::free(block); }
};

template <typename T> using MallocPtr = std::unique_ptr<T, FreeDeleter>;

// count x elementBytes bytes from malloc; nullopt when the product overflows
// or malloc fails. A zero-byte block is a success whose pointer may be null.
// The pages of a large block are provided at once (see the .cpp).
std::optional<MallocPtr<std::uint8_t>> AllocatePixelBlock(std::uint64_t count,
                                                          std::uint64_t elementBytes);

// Called once at start-up. The writers take and free buffers of up to tens
// of megabytes for every band, strip and page (libjpeg-turbo's working
// buffers, the batches of rows, qpdf's copies of a page's image), and glibc
// would hand each back to the system and fault it in again the next time,
// at about 10 us a page here: a third of a PDF's time. Freed blocks up to
// 32 MiB now stay in the process for the next one, and so does free memory
// at a heap's top up to 128 MiB; whole images above that are mapped apart
// and returned as before.
void KeepFreedMemory();
