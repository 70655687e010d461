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
